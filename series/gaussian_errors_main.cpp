// Histogram of Gaussian samples with square-root errors, the samples from
// ROOT's TRandom (seed 65539).
#include <TRandom.h>

#include "gaussian_errors.h"
#include "program.h"

namespace {
const ProgramHelp kHelp = {
    "gaussian_errors", "",
    "histogram of Gaussian samples with square-root errors",
    "Draws N Gaussian samples of the given centroid and standard deviation\n"
    "(ROOT's TRandom, seed 65539) and sorts them into a histogram of " STRINGIFY(HISTOGRAM_BINS) " equal\n"
    "bins over centroid +- 4 standard deviations; samples beyond either end\n"
    "count into the end bin. Each bin's error is the square root of its count,\n"
    "or 1 for an empty bin.\n"
    "\n"
    "Asks for, in this order (answers separated by blanks or line ends):\n"
    "  the number of samples, a whole number (0 or less draws none)\n"
    "  the centroid, a number\n"
    "  the standard deviation, a number; a negative one runs the edges\n"
    "    downward: bin 0 then starts at centroid + 4 |deviation| and covers\n"
    "    the samples just below it, and each line's edge is its bin's upper end\n"
    "\n"
    "Writes:\n"
    "  standard output      the prompts, then " STRINGIFY(HISTOGRAM_BINS) " lines\n"
    "                       \"<lower edge> <count> <error>\"\n"
    "  gaussian_errors.dat  the same " STRINGIFY(HISTOGRAM_BINS) " lines; emptied before the questions\n",
    "gaussian_errors.dat could not be opened or written, or another run is\n"
    "     writing it; an answer was not a number of the kind asked for;\n"
    "     standard output could not be written",
    ANSWER_USAGE_ERRORS "; edges\n"
    "     beyond a float's range (the centroid +- 4 standard deviations)"};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  TRandom random(65539);
  return run_gaussian_errors([&random](double mean, double sigma) { return random.Gaus(mean, sigma); });
}
