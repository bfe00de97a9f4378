// pendulum end to end: the documented lines, then the physics of a
// reversible pendulum.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

std::vector<std::string> pendulum_lines() {
  Workspace dir;
  RunResult run = run_program(program_path("pendulum"), "", dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  return split_lines(run.out);
}

struct Step {
  double L2, T2, T1;
};

Step parse(const std::string& line) {
  std::istringstream in(line);
  Step step{};
  in >> step.L2 >> step.T2 >> step.T1;
  return step;
}

// Known lines: the first, last and best lines required of pendulum, which
// the periods T = 2 pi sqrt((d^2 + k^2) / (g d)) reproduce by hand.
TEST(Pendulum, FirstLastAndBestLines) {
  std::vector<std::string> lines = pendulum_lines();
  ASSERT_EQ(lines.size(), 1002u);
  EXPECT_EQ(lines[0], "0.5 1.9689 1.97894");
  EXPECT_EQ(lines[376], "0.594 2.00509 2.00508");
  EXPECT_EQ(lines[999], "0.74975 2.07115 2.06071");
  EXPECT_EQ(lines[1000], "L2 position = 0.594 L1 position = 0.560523");
  EXPECT_EQ(lines[1001], "Predicted period T = 2.00509");
}

TEST(Pendulum, ScanRunsInSteadyStepsOfAQuarterMillimetre) {
  std::vector<std::string> lines = pendulum_lines();
  ASSERT_EQ(lines.size(), 1002u);
  for (int i = 0; i < 1000; i++) {
    EXPECT_NEAR(parse(lines[i]).L2, 0.5 + 0.00025 * i, 5e-6) << "step " << i;
  }
}

// Where d1 d2 = k^2 the periods about both pivots are equal, and each equals
// that of a simple pendulum as long as the distance between the pivots:
// T = 2 pi sqrt((d^2 + d1 d2) / (g d)) = 2 pi sqrt((d1 + d2) / g).
TEST(Pendulum, PeriodsAgreeWhereTheyShouldAndMatchTheEquivalentLength) {
  std::vector<std::string> lines = pendulum_lines();
  ASSERT_EQ(lines.size(), 1002u);
  Step best = parse(lines[376]);
  EXPECT_NEAR(best.T1, best.T2, 1e-4 * best.T2);
  const double equivalent = 2 * M_PI * std::sqrt(0.999 / 9.81);
  EXPECT_NEAR(equivalent, 2.00506, 1e-5);
  EXPECT_NEAR(best.T2, equivalent, 1e-4 * equivalent);

  // The difference T2 - T1 changes sign once, near the chosen step.
  int sign_changes = 0;
  double previous = parse(lines[0]).T2 - parse(lines[0]).T1;
  for (int i = 1; i < 1000; i++) {
    Step step = parse(lines[i]);
    double difference = step.T2 - step.T1;
    if (difference != 0 && previous != 0 && (difference > 0) != (previous > 0)) {
      sign_changes++;
      EXPECT_NEAR(i, 376, 5) << "sign change at step " << i;
    }
    if (difference != 0) previous = difference;
  }
  EXPECT_EQ(sign_changes, 1);
}

}  // namespace
