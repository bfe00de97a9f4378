# pendulum's scan: the period about each pivot against the movable mass's
# position, from the program's standard output (1000 lines "L2 T2 T1", then
# the best position and its period).
#   gnuplot -e "data='stdout.txt'; out='pendulum-periods.png'" pendulum_periods.gp
set terminal pngcairo size 800,600 font ",11"
set output out
best = real(system(sprintf("awk '/^L2 position/ {print $4}' '%s'", data)))
period = real(system(sprintf("awk '/^Predicted period/ {print $5}' '%s'", data)))
set xlabel "position of the movable mass, L2 (m)"
set ylabel "period of small oscillations (s)"
set title sprintf("pendulum: the periods agree at L2 = %g, T = %g s", best, period)
set key top left Left reverse
set arrow from best, graph 0 to best, graph 1 nohead dt 2 lc rgb "#555555"
plot data every ::0::999 using 1:2 with lines lw 2 lc rgb "#4c72b0" title "about the second pivot, T2", \
     data every ::0::999 using 1:3 with lines lw 2 lc rgb "#c44e52" title "about the first pivot, T1"
