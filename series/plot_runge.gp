# runge.dat: the tabulated points of 1 / (1 + x^2) on the function itself.
#   gnuplot -e "data='runge.dat'; out='runge.png'" plot_runge.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
set xlabel "x"
set ylabel "1 / (1 + x^2)"
set title sprintf("runge: %d points from %g to %g", STATS_records, STATS_min, STATS_max)
set key top right
set samples 400
set offsets graph 0.02, graph 0.02, graph 0.05, graph 0.05
plot 1 / (1 + x**2) with lines lw 2 lc rgb "#c44e52" title "1 / (1 + x^2)", \
     data using 1:2 with points pt 7 ps 0.6 lc rgb "#4c72b0" title "table"
