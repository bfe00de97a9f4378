# root_bisect's sweep: the steps the grid search takes against the division
# size, for every size that finds all three roots, on logarithmic axes.
#   gnuplot -e "data='stdout.txt'; out='root_bisect-steps.png'" root_bisect_steps.gp
set terminal pngcairo size 800,600 font ",11"
set output out
set logscale xy
set xlabel "division size d (grid points per stride)"
set ylabel "steps"
set key top right
# The walk costs about 2 steps per examined point, 20000 / d; each root's
# bisection halves a bracket of 0.0008 d until |f| <= 1e-10, about
# log2(0.0008 d |f'(root)| / 1e-10) iterations of 7 steps.
bisection(d) = 7 * (log(0.0008 * d * 11.31e10) + log(0.0008 * d * 2.9e10) + log(0.0008 * d * 3.9e10)) / log(2)
set title "root\\_bisect: steps to find all three roots"
plot data using 1:2 with points pt 7 ps 0.4 lc rgb "#4c72b0" title "measured", \
     [1:2000] 20000 / x + bisection(x) with lines lw 2 lc rgb "#c44e52" title "walk 20000 / d + bisection", \
     [1:2000] 20000 / x with lines dt 2 lc rgb "#555555" title "walk alone"
