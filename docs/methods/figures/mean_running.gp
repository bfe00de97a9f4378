# mean of the first n exponential samples against n: the sample mean closes
# in on the true mean 1 as 1 / sqrt(n).
#   gnuplot -e "data='running_mean.txt'; out='mean-running.png'" mean_running.gp
# data: lines "n mean", as mean_running.sh writes them
set terminal pngcairo size 800,600 font ",11"
set output out
set logscale x
set xlabel "n, the number of samples averaged"
set ylabel "mean of the first n samples"
set title "mean of random_expo's samples: the error shrinks as 1 / sqrt(n)" noenhanced
set key top right
set yrange [0:2]
plot data using 1:2 with linespoints pt 7 lw 2 lc rgb "#4c72b0" title "mean", \
     [1:100000] 1 + 1 / sqrt(x) with lines dt 2 lc rgb "#555555" title "1 +- 1 / sqrt(n), one standard error" noenhanced, \
     [1:100000] 1 - 1 / sqrt(x) with lines dt 2 lc rgb "#555555" notitle, \
     1 with lines lc rgb "#c44e52" title "true mean, 1"
