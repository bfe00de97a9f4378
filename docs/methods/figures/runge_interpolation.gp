# Runge's phenomenon: the interpolating polynomials through N equally spaced
# points (left) and N Chebyshev nodes (right) of 1 / (1 + x^2), N = 5, 11, 21.
#   python3 runge_interpolation.py --curves curves.txt
#   gnuplot -e "data='curves.txt'; out='runge-interpolation.png'" runge_interpolation.gp
set terminal pngcairo size 1200,500 font ",11"
set output out
set multiplot layout 1,2
set xrange [-5:5]
set yrange [-1:2]
set xlabel "x"
set ylabel "value"
set key top right
set title "through N equally spaced points (N = 21 leaves the plot: its largest error is 59.8)" noenhanced
plot data using 1:2 with lines lw 3 lc rgb "black" title "1 / (1 + x^2)", \
     data using 1:3 with lines lw 2 lc rgb "#4c72b0" title "N = 5", \
     data using 1:4 with lines lw 2 lc rgb "#dd8452" title "N = 11", \
     data using 1:5 with lines lw 2 lc rgb "#c44e52" title "N = 21"
set title "through N Chebyshev nodes: the error falls as N grows" noenhanced
plot data using 1:2 with lines lw 3 lc rgb "black" title "1 / (1 + x^2)", \
     data using 1:6 with lines lw 2 lc rgb "#4c72b0" title "N = 5", \
     data using 1:7 with lines lw 2 lc rgb "#dd8452" title "N = 11", \
     data using 1:8 with lines lw 2 lc rgb "#c44e52" title "N = 21"
unset multiplot
