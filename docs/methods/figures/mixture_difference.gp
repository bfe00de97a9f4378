# gas_mixture's temperature difference, heavy less light, on a log scale
# against the theory's exp(-0.32 tau), tau in collisions per particle, with
# the spread that the finite gas leaves it in equilibrium: 10000 particles
# a species at T = 2, the total energy fixed, scatter T_h - T_l by
# 2 x 2 / sqrt(3 x 10000) = 0.023.
#   gnuplot -e "data='gas_mixture.dat'; out='mixture-difference.png'" mixture_difference.gp
# data: gas_mixture.dat, lines "tau light heavy light_theory heavy_theory"
set terminal pngcairo size 800,600 font ",11"
set output out
set logscale y
set yrange [0.002:3]
set xlabel "tau, collisions per particle"
set ylabel "T_heavy - T_light (absolute value)" noenhanced
set title "gas_mixture: the temperature difference falls as exp(-2 beta tau), 2 beta = 0.32" noenhanced
set key top right noenhanced
spread = 2 * 2 / sqrt(3 * 10000)
plot data using 1:(abs($3 - $2)) with points pt 7 ps 0.6 lc rgb "#4c72b0" title "simulation", \
     data using 1:($5 - $4) with lines lw 2 lc rgb "#c44e52" title "theory from each step's cell populations", \
     2 * exp(-0.32 * x) with lines dt 2 lw 2 lc rgb "#555555" title "2 exp(-0.32 tau)", \
     spread with lines dt 3 lw 2 lc rgb "#55a868" title "the equilibrium spread, 0.023"
