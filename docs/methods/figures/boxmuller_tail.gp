# random_boxmuller's far tails over the generator's whole period: the count
# in each 0.1-sigma bin beyond 4 sigma, on a log scale, against a normal's
# expectation for as many samples. The lower tail stops dead at 4.566 sigma;
# the upper one runs far above the normal out to 6.5 sigma.
#   python3 boxmuller_tail.py --histogram > tail.txt
#   gnuplot -e "data='tail.txt'; out='boxmuller-tail.png'" boxmuller_tail.gp
# data: lines "lower edge in sigma, count, normal expectation"
set terminal pngcairo size 900,600 font ",11"
set output out
set logscale y
set xrange [-7:7]
set yrange [0.01:100000]
set xlabel "(x - 1) / 0.3, in standard deviations"
set ylabel "samples per 0.1 sigma, over the whole period"
set title "Box-Muller's tails with u2 the state after u1, against a normal" noenhanced
set key top center noenhanced
set style fill solid 0.6 noborder
set boxwidth 0.1 absolute
plot data using ($1 + 0.05):($2 > 0 ? $2 : 1/0) with boxes lc rgb "#4c72b0" title "random_boxmuller, every state as u1" noenhanced, \
     data using ($1 + 0.05):3 with linespoints pt 7 ps 0.6 lw 2 lc rgb "#c44e52" title "normal, mean 1, sigma 0.3", \
     '+' using (-4.56621):(0.01):(0):(100000) with vectors nohead dt 2 lc rgb "#555555" title "its cut, 4.566 sigma below the mean"
