# The largest interpolation error of 1 / (1 + x^2) on [-5, 5] against the
# number of nodes N, on a log scale: equally spaced nodes diverge, Chebyshev
# nodes converge at the rate rho^-N that the poles at +-i set.
#   python3 runge_interpolation.py --errors errors.txt
#   gnuplot -e "data='errors.txt'; out='runge-errors.png'" runge_errors.gp
# data: lines "N equal chebyshev rho^-N"
set terminal pngcairo size 800,600 font ",11"
set output out
set logscale y
set format y "10^{%T}"
set xlabel "N, the number of nodes"
set ylabel "largest error on [-5, 5]"
set title "interpolating 1 / (1 + x^2): equally spaced nodes against Chebyshev nodes" noenhanced
set key top left noenhanced
plot data using 1:2 with linespoints pt 7 lw 2 lc rgb "#c44e52" title "equally spaced", \
     data using 1:3 with linespoints pt 5 lw 2 lc rgb "#4c72b0" title "Chebyshev", \
     data using 1:4 with lines dt 2 lw 2 lc rgb "#555555" title "rho^-N, rho = (1 + sqrt 26) / 5 = 1.2198"
