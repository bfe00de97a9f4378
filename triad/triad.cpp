// The waveform of a three-note chord as a sum of sines, written to triad.dat.
// The notes come from a twelve-note just-intonation table on 440 Hz and are
// taken one octave down: 264, 309.375 and 396 Hz. The file holds 300 periods
// of the root note, 100 samples per period: 30000 records "t value".
//
// Deliberate: pi as 3.14159265, each frequency as (440 * numerator) / denominator.
#include <cmath>
#include <iostream>

#include "data_file.h"
#include "program.h"
#include "text_line.h"

namespace {
const ProgramHelp kHelp = {
    "triad", "",
    "waveform of a three-note chord",
    "Synthesises a three-note chord (264, 309.375 and 396 Hz, from a twelve-note\n"
    "just-intonation table on 440 Hz, one octave down) as a sum of sines,\n"
    "sampled 100 times per period of the root note over 300 periods. Asks\n"
    "nothing.\n"
    "\n"
    "Writes:\n"
    "  standard output  \"froot = 264; fthree = 309.375; ffive = 396\"\n"
    "  triad.dat        \"<time> <value>\", 30000 lines\n",
    "triad.dat could not be opened or written, or another run is writing\n"
    "     it; standard output could not be written"};
}  // namespace

int main(int argc, char** argv) {
  start_program(argc, argv, kHelp);
  const double numerator[12] = {1, 25, 9, 6, 5, 4, 45, 3, 8, 5, 9, 15};
  const double denominator[12] = {1, 24, 8, 5, 4, 3, 32, 2, 5, 3, 5, 8};
  double note[12];
  for (int n = 0; n < 12; n++) note[n] = (440 * numerator[n]) / denominator[n];

  const double froot = note[3] / 2;
  const double fthree = note[6] / 2;
  const double ffive = note[10] / 2;
  const double pi = 3.14159265;

  const double T = 1 / froot;
  const double duration = 300 * T;
  const double dt = T / 100;
  // The quotient comes out slightly above 30000 in double: 30000 samples.
  const int count = static_cast<int>(duration / dt);

  DataFile file(kHelp.name, "triad.dat");
  if (!file.is_open()) return 1;

  TextLine line;
  line << "froot = " << froot << "; fthree = " << fthree << "; ffive = " << ffive;
  print_line(line);

  for (int i = 0; i < count; i++) {
    double t = i * dt;
    double v = sin(((pi * 2) * froot) * t);
    v = v + sin(((pi * 2) * fthree) * t);
    v = v + sin(((pi * 2) * ffive) * t);
    file.line(t, static_cast<float>(v));
  }

  return file.close() ? 0 : 1;
}
