# poly_deriv's derivative: its rms error against the step h, on log scales.
# The central difference's own error is h^2 exactly for this cubic; the
# noise it amplifies grows as 1/h; their sum in quadrature is smallest
# between the two.
#   python3 deriv_noise.py --table > theory.txt
#   bash deriv_errors.sh > measured.txt
#   gnuplot -e "theory='theory.txt'; measured='measured.txt'; out='deriv-errors.png'" deriv_errors.gp
# theory: lines "h rms bias noise"; measured: lines "h rms"
set terminal pngcairo size 800,600 font ",11"
set output out
set logscale xy
set format y "10^{%T}"
set xlabel "h, the step"
set ylabel "rms error of the derivative"
set title "poly_deriv's central differences: truncation against noise" noenhanced
set key bottom right noenhanced
set yrange [1e-3:2e3]
set xrange [0.001:2]
plot theory using 1:3 with lines dt 2 lw 2 lc rgb "#dd8452" title "truncation, h^2", \
     theory using 1:4 with lines dt 2 lw 2 lc rgb "#55a868" title "noise, expected from the grid (about 0.79 / h)", \
     theory using 1:2 with lines lw 2 lc rgb "#555555" title "both, in quadrature: least at h = 0.82", \
     measured using 1:2 with points pt 7 ps 1.2 lc rgb "#4c72b0" title "poly_deriv, one run a step"
