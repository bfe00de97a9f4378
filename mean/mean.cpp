// Prints the arithmetic mean of the numbers on standard input. Reading stops
// at the end of the input or at the first token that is not a number; with
// no number read the mean is 0/0, printed as the stream prints a NaN.
#include <iostream>

int main() {
  double sum = 0;
  long long count = 0;  // 64 bits: more than 2^31 - 1 values must not overflow
  double value = 0;
  while (std::cin >> value) {
    sum = value + sum;
    count += 1;
  }
  std::cout << sum / static_cast<double>(count) << std::endl;
  return 0;
}
