# gas_diatomic.dat: the translational, rotational and vibrational
# temperatures of a gas of linear molecules started hot in translation,
# beside Jeans' and Landau and Teller's equations.
#   gnuplot -e "data='gas_diatomic.dat'; out='gas_diatomic.png'" plot_gas_diatomic.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
set xlabel "time (collisions per particle)"
set ylabel "temperature (K)"
set title sprintf("gas\\_diatomic: rotation (Z 5) and vibration (Z 20) over %.0f collisions per particle", STATS_max)
set key top right
set yrange [0:10500]
plot data using 1:2 with points pt 7 ps 0.4 lc rgb "#c44e52" title "translation, simulation", \
     data using 1:5 with lines lw 2 lc rgb "#c44e52" title "translation, theory", \
     data using 1:3 with points pt 7 ps 0.4 lc rgb "#4c72b0" title "rotation, simulation", \
     data using 1:6 with lines lw 2 lc rgb "#4c72b0" title "rotation, Jeans", \
     data using 1:4 with points pt 7 ps 0.4 lc rgb "#55a868" title "vibration, simulation", \
     data using 1:7 with lines lw 2 lc rgb "#55a868" title "vibration, Landau-Teller"
