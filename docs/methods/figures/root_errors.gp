# The distance from the root 0.5 of root_step's cubic against the iteration,
# on a log scale, for bisection, the secant method and Newton's method from
# the same bracket [0.2, 0.9] (Newton from its middle): one bit an
# iteration, order 1.618 and order 2.
#   python3 root_methods.py --errors errors.txt
#   gnuplot -e "data='errors.txt'; out='root-errors.png'" root_errors.gp
# data: lines "k bisection secant newton", "-" once a method has stopped
set terminal pngcairo size 800,600 font ",11"
set output out
set datafile missing "-"
set logscale y
set format y "10^{%T}"
set yrange [1e-13:1]
set xlabel "iteration"
set ylabel "distance of the latest point from the root 0.5"
set title "three root finders from the bracket [0.2, 0.9], each until |f| <= 1e-10" noenhanced
set key top right noenhanced
plot data using 1:2 with linespoints pt 7 lw 2 lc rgb "#4c72b0" title "bisection, one bit an iteration", \
     data using 1:3 with linespoints pt 5 lw 2 lc rgb "#dd8452" title "secant, order 1.618", \
     data using 1:4 with linespoints pt 9 ps 1.4 lw 2 lc rgb "#c44e52" title "Newton, order 2", \
     0.7 * 2 ** -x with lines dt 2 lc rgb "#555555" title "0.7 / 2^k, the bracket's half-width"
