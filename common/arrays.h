// An array sized by a count the user typed.
#pragma once

#include <cstddef>
#include <iostream>
#include <new>
#include <vector>

#include "platform.h"

// Sizes `array` to `count` elements. An array that would not fit in the
// machine's physical memory, or whose allocation fails, is reported as
// "<program>: <count> data points do not fit in memory" and false is
// returned: a clear error at once, not an out-of-memory kill midway.
template <class T>
bool allocate_array(const char* program, int count, std::vector<T>& array) {
  const std::size_t n = static_cast<std::size_t>(count);
  bool fits = n <= platform::physical_memory() / sizeof(T);
  if (fits) {
    try {
      array.resize(n);
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
