// Deliberate: the bin of a sample from (g - lo) / w in double; counts shown
// as float.
#pragma once

#include "console.h"
#include "data_file.h"

// gaussian_errors' whole run: N Gaussian samples of the typed centroid and
// sigma sorted into 100 bins over centroid +- 4 sigma (samples beyond either
// end count into the end bin), written as lower edge, count and error
// (sqrt(count), or 1 for an empty bin) to standard output and to
// gaussian_errors.dat. `gaus(mean, sigma)` draws a sample; it is called
// directly, not through a std::function, since the run is little else.
// Returns the exit status.
template <class Draw>
int run_gaussian_errors(Draw&& gaus);

// The histogram's bins: 100 over centroid +- 4 sigma. Written once, here:
// the bin rule, the bin width and the help text all take it from this.
#define HISTOGRAM_BINS 100
constexpr int kHistogramBins = HISTOGRAM_BINS;

// The bin of a sample at q bin widths above the histogram's lower end:
// the truncation of q within 0..99; a q below 0, or not a number, is bin 0,
// one at or above 99 (infinity too) is bin 99. Decided in double, so that no
// value, however far out, is converted to an int it does not fit.
inline int histogram_bin(double q) {
  if (!(q >= 0)) return 0;  // below the histogram, or not a number
  if (q >= kHistogramBins - 1) return kHistogramBins - 1;
  return static_cast<int>(q);
}

// The run apart from its generator.
class GaussianErrors {
 public:
  // Opens gaussian_errors.dat, and empties it, before any question.
  GaussianErrors();

  // Asks for the number of samples, the centroid and the standard
  // deviation. Refused, after the message, when the run must end: an answer
  // refused, or edges beyond a float's range (status 2), so that no edge is
  // converted to a float it does not fit.
  Answer ask();

  int samples() const { return N_; }
  double centroid() const { return centroid_; }
  double sigma() const { return sigma_; }

  void add(double g) {
    double q = (g - lo_) / w_;
    int k = histogram_bin(q);
    count_[k] = count_[k] + 1;  // exact: a float count would stop at 2^24
  }

  // Writes the table. Returns the exit status.
  int finish();

 private:
  static constexpr int kBins = kHistogramBins;
  DataFile file_;
  int N_ = 0;
  double centroid_ = 0;
  double sigma_ = 0;
  double w_ = 0;
  double lo_ = 0;
  // Whole counts, exact past 2^24 = 16,777,216, where a float count stops
  // growing; written as float, the same bytes up to 2^24.
  long long count_[kBins] = {};
};

template <class Draw>
int run_gaussian_errors(Draw&& gaus) {
  GaussianErrors run;
  if (Answer answer = run.ask(); !answer) return answer.status;
  for (int i = 0; i < run.samples(); i++) run.add(gaus(run.centroid(), run.sigma()));
  return run.finish();
}
