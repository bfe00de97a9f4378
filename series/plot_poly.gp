# poly_deriv's poly.dat: the noisy values with their noise deviations as error
# bars, over the clean cubic (x - 1)(x - 2)(x - 3).
#   gnuplot -e "data='poly.dat'; out='poly.png'" plot_poly.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
f(x) = x**3 - 6 * x**2 + 11 * x - 6
set xlabel "x"
set ylabel "f(x)"
set title sprintf("poly\\_deriv: %d noisy points of x^3 - 6x^2 + 11x - 6 from %g to %g", STATS_records, STATS_min, STATS_max)
set key top left
set samples 400
set offsets graph 0.02, graph 0.02, graph 0.05, graph 0.05
plot data using 1:2:3 with yerrorbars pt 7 ps 0.4 lc rgb "#4c72b0" title "noisy value, error bar = noise deviation", \
     f(x) with lines lw 2 lc rgb "#c44e52" title "clean cubic"
