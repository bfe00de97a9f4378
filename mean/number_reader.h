// Numbers read from a stream one after another, the way mean has always
// read them: as the GNU C++ library's `stream >> double` does, whatever C++
// library the program is built with.
#pragma once

#include <cstddef>
#include <streambuf>

// Skips white space, then takes the longest run of characters that can
// continue a decimal number: an optional sign; digits with at most one
// decimal point; then, after at least one digit, an 'e' or 'E', an optional
// sign and digits. The run is converted by strtod. Returns false, and reads
// no further, when the run is empty, is not wholly a number ("-", ".",
// "1e"), or overflows to an infinity; a run that underflows is taken (as 0
// or a subnormal). Otherwise the next read starts right after the run:
// "3-4" is 3, then -4; "1.5x" is 1.5, then a refusal at "x". So nan, inf
// and 0x10 (which is 0, then a refusal at "x10") stop the reading.
//
// A run is read up to `limit` characters: one that goes on past them is
// refused as TooLong at once, its rest unread, so that no input, however
// long, is gathered in memory.
enum class NumberRead { Number, Stop, TooLong };
NumberRead read_number(std::streambuf& in, double& value, std::size_t limit);
