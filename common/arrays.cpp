#include "arrays.h"

#include <unistd.h>

std::size_t physical_memory() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return static_cast<std::size_t>(-1);
  return static_cast<std::size_t>(pages) * static_cast<std::size_t>(page_size);
}
