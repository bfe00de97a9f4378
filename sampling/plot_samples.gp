# A sampler's random_dist.dat as a normalised histogram, with the density the
# sampler targets drawn over it.
#   gnuplot -e "data='random_dist.dat'; out='random_dist.png'; sampler='random_expo'" plot_samples.gp
# sampler: random_boxmuller, random_clt, random_expo, random_sum2 or random_reject
# (or program, as the main job names it)
if (!exists("sampler")) sampler = program
set terminal pngcairo size 800,600 font ",11"
set output out
set key top right

stats data using 1 nooutput
n = STATS_records
normal(x, m, s) = exp(-(x - m)**2 / (2 * s * s)) / (s * sqrt(2 * pi))

if (sampler eq "random_boxmuller" || sampler eq "random_reject") {
  lo = -0.2; hi = 2.2
  density(x) = normal(x, 1, 0.3)
  target = "normal, mean 1, standard deviation 0.3"
  set key top left Left reverse
} else {
  if (sampler eq "random_clt") {
    lo = -4.5; hi = 4.5
    density(x) = normal(x, 0, 1)
    target = "standard normal"
    set key top left Left reverse
  } else {
    if (sampler eq "random_expo") {
      lo = 0; hi = 8
      density(x) = x < 0 ? 0 : exp(-x)
      target = "exponential, mean 1"
    } else {
      lo = 0; hi = 2
      density(x) = x < 0 || x > 2 ? 0 : (x < 1 ? x : 2 - x)
      target = "triangular on 0 to 2"
    }
  }
}

bins = 80
width = (hi - lo) / (1.0 * bins)  # in floating point: gnuplot divides integers exactly as C
bin(x) = lo + width * (floor((x - lo) / width) + 0.5)
set xrange [lo:hi]
set samples 400
set offsets 0, 0, graph 0.12, 0  # room for the key above the peak
set style fill solid 0.4 border
set xlabel "sample value"
set ylabel "probability density"
set title sprintf("%s: %d samples from seed 1", sampler, n) noenhanced
plot data using (bin($1)):(1.0 / (n * width)) smooth frequency with boxes lc rgb "#4c72b0" title "samples", \
     density(x) with lines lw 2 lc rgb "#c44e52" title target
