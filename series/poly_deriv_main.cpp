// Noisy cubic and its derivative, with Gaussian noise from ROOT's TRandom
// (seed 65539).
#include <TRandom.h>

#include "points_and_range.h"
#include "poly_deriv.h"
#include "program.h"

namespace {
const ProgramHelp kHelp = {
    "poly_deriv", "",
    "noisy cubic and its derivative by central differences",
    "Samples the cubic x^3 - 6x^2 + 11x - 6 at N evenly spaced points from the\n"
    "lower range in steps of (upper - lower) / N, adds Gaussian noise of\n"
    "standard deviation sqrt|f| to each value (ROOT's TRandom, seed 65539), and\n"
    "estimates the derivative of the noisy series by central differences at\n"
    "the points 1 to N - 2.\n"
    POINTS_AND_RANGE_HELP
    "\n"
    "Writes:\n"
    "  standard output  the prompts, \"X-value: <x> F(x): <noisy f>\" per point,\n"
    "                   then \"X-value: <x> F'(x): <derivative>\" per inner point\n"
    "  poly.dat         \"<x> <noisy f> <noise deviation>\" per point\n"
    "  deriv.dat        \"<x> <derivative>\" per inner point\n"
    "  Both files are emptied before the questions.\n",
    "poly.dat or deriv.dat could not be opened or written, or another run is\n"
    "     writing it; an answer was not a number of the kind asked for, or the\n"
    "     number of points is negative or too large for memory; standard output\n"
    "     could not be written",
    ANSWER_USAGE_ERRORS};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  TRandom random(65539);
  return run_poly_deriv([&random](double mean, double sigma) { return random.Gaus(mean, sigma); });
}
