# The triad's spectrum, each bin's amplitude on a log scale, with no window
# and with a Hann window: the root and the fifth fall on bins and stand
# alone either way; the third falls between two bins, and without a window
# it is read low and leaks into every bin around it.
#   python3 triad_spectrum.py --spectrum spectrum.txt triad.dat
#   gnuplot -e "data='spectrum.txt'; out='triad-spectrum.png'" triad_spectrum.gp
# data: lines "frequency plain hann"
set terminal pngcairo size 900,600 font ",11"
set output out
set logscale y
set format y "10^{%T}"
set yrange [1e-6:2]
set xrange [240:420]
set xlabel "frequency (Hz)"
set ylabel "amplitude"
set title "triad.dat's spectrum: 264, 309.375 and 396 Hz, bins 0.88 Hz apart" noenhanced
set key at 418,1.5e-4 box opaque noenhanced
plot data using 1:2 with linespoints pt 5 ps 0.5 lw 1 lc rgb "#c44e52" title "no window", \
     data using 1:3 with linespoints pt 7 ps 0.5 lw 1 lc rgb "#4c72b0" title "Hann window"
