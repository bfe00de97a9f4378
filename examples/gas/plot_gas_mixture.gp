# gas_mixture.dat: the temperatures of the light and the heavy species as
# they relax to the common one, beside what theory predicts.
#   gnuplot -e "data='gas_mixture.dat'; out='gas_mixture.png'" plot_gas_mixture.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
set xlabel "time (collisions per particle)"
set ylabel "temperature (m <v^2> / 3)"
set title sprintf("gas\\_mixture: masses 1 and 4 relaxing to one temperature over %.1f collisions per particle", STATS_max)
set key top right
set yrange [0.8:3.2]
plot data using 1:3 with points pt 7 ps 0.6 lc rgb "#c44e52" title "heavy (mass 4), simulation", \
     data using 1:5 with lines lw 2 lc rgb "#c44e52" title "heavy, theory", \
     data using 1:2 with points pt 7 ps 0.6 lc rgb "#4c72b0" title "light (mass 1), simulation", \
     data using 1:4 with lines lw 2 lc rgb "#4c72b0" title "light, theory", \
     2 with lines dt 2 lw 1 lc rgb "#555555" title "common temperature (2)"
