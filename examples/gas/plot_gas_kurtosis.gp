# gas_kurtosis.dat: the kurtosis of one velocity component as the gas relaxes,
# from 1.8 (every particle at one speed) to 3 (Maxwell-Boltzmann).
#   gnuplot -e "data='gas_kurtosis.dat'; out='gas_kurtosis.png'" plot_gas_kurtosis.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
set xlabel "time (collisions per particle)"
set ylabel "kurtosis of the x velocity component"
set title sprintf("gas\\_relax: hard-sphere gas relaxing over %.0f collisions per particle", STATS_max)
set key center right
set yrange [1.6:3.4]
plot data using 1:2 with linespoints pt 7 ps 0.5 lc rgb "#4c72b0" title "simulation", \
     3 with lines dt 2 lw 2 lc rgb "#c44e52" title "Maxwell-Boltzmann (3)", \
     1.8 with lines dt 3 lw 2 lc rgb "#55a868" title "one speed, random directions (1.8)"
