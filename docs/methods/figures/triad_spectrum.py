#!/usr/bin/env python3
"""Each note's amplitude in triad.dat, read off its discrete Fourier transform.

30000 samples at 26400 per second span 1.13636 s, so the transform's bins
are 0.88 Hz apart: 264 Hz and 396 Hz fall on bins 300 and 450, but the
third, 309.375 Hz, falls between bins, at 351.5625. The amplitude is read
three ways: at the nearest bin with no window, at the nearest bin with a
Hann window, and at the note's own frequency with a Hann window.
With --spectrum FILE it writes instead the spectrum from 240 to 420 Hz, one
line per bin: "frequency plain hann", the amplitudes with no window and with
a Hann window, which triad_spectrum.gp draws.
Usage: triad_spectrum.py [--spectrum FILE] [triad.dat]
"""
import cmath
import math
import sys

arguments = sys.argv[1:]
spectrum = None
if arguments[:1] == ["--spectrum"]:
    spectrum, arguments = arguments[1], arguments[2:]
values = [float(line.split()[1]) for line in open(arguments[0] if arguments else "triad.dat")]
n = len(values)
hann = [0.5 - 0.5 * math.cos(2 * math.pi * k / n) for k in range(n)]


def amplitude(bin_, window):
    total = sum(w * v * cmath.exp(-2j * math.pi * bin_ * k / n)
                for k, (w, v) in enumerate(zip(window, values)))
    return 2 * abs(total) / sum(window)


flat = [1.0] * n
if spectrum:
    with open(spectrum, "w") as out:
        for bin_ in range(round(240 * n / 26400), round(420 * n / 26400) + 1):
            out.write("%.6g %.6g %.6g\n" % (bin_ * 26400 / n, amplitude(bin_, flat), amplitude(bin_, hann)))
    sys.exit(0)
print("note     bin       plain at bin  Hann at bin  Hann at the note")
for hz in (264, 309.375, 396):
    exact = hz * n / 26400
    near = round(exact)
    print("%-8g %-9g %-13.3f %-12.3f %.3f"
          % (hz, exact, amplitude(near, flat), amplitude(near, hann), amplitude(exact, hann)))
