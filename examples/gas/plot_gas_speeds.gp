# gas_speeds.dat: the final speed histogram over the Maxwell-Boltzmann density
# of the same energy.
#   gnuplot -e "data='gas_speeds.dat'; out='gas_speeds.png'" plot_gas_speeds.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
width = (STATS_max - STATS_min) / (STATS_records - 1)
set xlabel "speed (initial speed = 1)"
set ylabel "probability density"
set title "gas\\_relax: speeds at the end of the run"
set key top right
set style fill solid 0.4 border
plot data using 1:2:(width) with boxes lc rgb "#4c72b0" title "simulation", \
     data using 1:3 with lines lw 2 lc rgb "#c44e52" title "Maxwell-Boltzmann, same energy"
