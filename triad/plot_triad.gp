# triad.dat: the first five periods of the chord's root note (264 Hz).
#   gnuplot -e "data='triad.dat'; out='triad.png'" plot_triad.gp
set terminal pngcairo size 800,600 font ",11"
set output out
period = 1.0 / 264
set xlabel "time (ms)"
set ylabel "amplitude (sum of three unit sines)"
set title "triad: 264 + 309.375 + 396 Hz, the first five periods of the root"
set key top right
set xrange [0:5 * period * 1000]
set yrange [-3.2:3.2]
plot data using ($1 * 1000):2 every ::0::500 with lines lw 1.5 lc rgb "#4c72b0" title "waveform, 100 samples per root period"
