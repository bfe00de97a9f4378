# gaussian_errors.dat: the histogram with its square-root error bars and the
# expected normal curve scaled to the bin width. The centroid and standard
# deviation are read back from the edges: the first edge is centroid - 4 sigma
# and the bins are 8 sigma / 100 wide.
#   gnuplot -e "data='gaussian_errors.dat'; out='gaussian_errors.png'" plot_gaussian_errors.gp
set terminal pngcairo size 800,600 font ",11"
set output out
stats data using 1 nooutput
first = STATS_min
width = (STATS_max - STATS_min) / 99
stats data using 2 nooutput
n = STATS_sum
sigma = 100 * width / 8
centroid = first + 4 * sigma
expected(x) = n * width * exp(-(x - centroid)**2 / (2 * sigma**2)) / (sigma * sqrt(2 * pi))
set xlabel "sample value (bin centre)"
set ylabel "samples per bin"
set title sprintf("gaussian\\_errors: %d samples, centroid %g, standard deviation %g", n, centroid, sigma)
set key top left Left reverse
set style fill solid 0.3 border
set samples 400
set offsets 0, 0, graph 0.15, 0  # room for the key above the peak
set xrange [first:first + 100 * width]
plot data using ($1 + width / 2):2 with boxes lc rgb "#4c72b0" title "count", \
     data using ($1 + width / 2):2:3 with yerrorbars pt 0 lc rgb "black" title "error sqrt(count)", \
     expected(x) with lines lw 2 lc rgb "#c44e52" title "expected: normal density x N x bin width"
