// Reversible pendulum balance scan. A uniform rod with two pivots P apart,
// symmetric about its centre, carries a fixed mass M1 beyond the second pivot
// and a movable mass M2 on the first pivot's side. For 1000 positions of M2
// the program prints the periods of small oscillation about either pivot,
//
//   T = 2 pi sqrt((d^2 + k^2) / (g d)),
//
// d the pivot's distance from the centre of mass, k the radius of gyration,
// then the position where d1 d2 - k^2 is smallest in magnitude: there the two
// periods agree. With pi taken as 3.14159265 that is L2 = 0.594, where the
// predicted period is 2.00509 s.
//
// Deliberate: pi as 3.14159265, 1.0 / 12, the order of each product, and
// M1 at P / 2 plus its two offsets 0.0135 and 0.047523 (L1 = 0.560523).
#include <cmath>
#include <iostream>

#include "program.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "pendulum", "",
    "balance scan of a reversible pendulum",
    "Scans the movable mass of a reversible pendulum (a 1.523 m rod with two\n"
    "pivots 0.999 m apart, a fixed mass beyond one pivot) over 1000 positions\n"
    "from 0.5 m in steps of 0.25 mm, and finds where the periods about the two\n"
    "pivots agree. Asks nothing and writes no file.\n"
    "\n"
    "Writes:\n"
    "  standard output  \"<position> <period about pivot 2> <period about pivot 1>\"\n"
    "                   per position, then \"L2 position = <best> L1 position =\n"
    "                   <fixed mass>\" and \"Predicted period T = <period>\"\n",
    "standard output could not be written"};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const double g = 9.81;
  const double pi = 3.14159265;
  const double M3 = 2.9;        // rod
  const double Lr = 1.523;      // rod length
  const double M1 = 1.35928;    // fixed mass
  const double M2 = 0.72705;    // movable mass
  const double P = 0.999;       // distance between the pivots
  const double twelfth = 1.0 / 12;
  const int steps = 1000;

  const double L1 = (P / 2 + 0.0135) + 0.047523;
  // The best step so far: its position and its period about the second pivot.
  double best_L2 = 0.5;
  double best_T2 = 0;
  double smallest = 1e99;

  TextLine line;
  for (int i = 0; i < steps; i++) {
    double L2 = 0.5 + (static_cast<double>(i) / 1000) * 0.25;
    double M = (M1 + M2) + M3;
    double c = (M1 * L1 - M2 * L2) / M;
    double d1 = P / 2 + c;
    double d2 = P / 2 - c;
    double I = (twelfth * M3 * Lr * Lr) + (M3 * c * c) +
               (M1 * (L1 - c) * (L1 - c)) + (M2 * (L2 + c) * (L2 + c));
    double k2 = I / M;
    double D = d2 * d1 - k2;
    double T2 = (2 * pi) * sqrt((d2 * d2 + k2) / (g * d2));
    double T1 = (2 * pi) * sqrt((d1 * d1 + k2) / (g * d1));
    if (fabs(D) < smallest) {
      smallest = fabs(D);
      best_L2 = L2;
      best_T2 = T2;
    }
    line << L2 << " " << T2 << " " << T1;
    print_line(line);
  }

  line << "L2 position = " << best_L2 << " L1 position = " << L1;
  print_line(line);
  line << "Predicted period T = " << best_T2;
  print_line(line);
  return 0;
}
