# poly_deriv's deriv.dat: central differences of the noisy values, over the
# exact derivative 3x^2 - 12x + 11.
#   gnuplot -e "data='deriv.dat'; out='deriv.png'" plot_deriv.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
set xlabel "x"
set ylabel "f'(x)"
set title sprintf("poly\\_deriv: derivative by central differences at %d points", STATS_records)
set key top left
set samples 400
set offsets graph 0.02, graph 0.02, graph 0.05, graph 0.05
plot data using 1:2 with points pt 7 ps 0.4 lc rgb "#4c72b0" title "central difference of the noisy values", \
     3 * x**2 - 12 * x + 11 with lines lw 2 lc rgb "#c44e52" title "exact derivative 3x^2 - 12x + 11"
