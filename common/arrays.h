// Arrays sized by a count the user typed.
#pragma once

#include <cstddef>
#include <iostream>
#include <new>

#include "platform.h"

// Sizes every array to `count` elements. Arrays that together would not fit
// in the machine's physical memory, or whose allocation fails, are reported
// as "<program>: <count> data points do not fit in memory" and false is
// returned: a clear error at once, not an out-of-memory kill midway.
template <class... Arrays>
bool allocate_arrays(const char* program, int count, Arrays&... arrays) {
  const std::size_t n = static_cast<std::size_t>(count);
  const std::size_t bytes_per_point = (sizeof(typename Arrays::value_type) + ...);
  bool fits = n <= platform::physical_memory() / bytes_per_point;
  if (fits) {
    try {
      (arrays.resize(n), ...);
    } catch (const std::bad_alloc&) {
      fits = false;
    }
  }
  if (!fits) {
    std::cerr << program << ": " << count << " data points do not fit in memory"
              << std::endl;
  }
  return fits;
}
