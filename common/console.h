// Console prompts: a prompt line on standard output, then one typed read
// from standard input.
//
// A read that finds no value of the expected type (a word, an empty input,
// a number beyond the type's range) is reported on standard error as
// "<program>: expected a whole number for <what>" (or "a number" for a
// floating-point value), and the caller ends the run with status 1.
#pragma once

#include <iostream>
#include <type_traits>

// Reads one value with >>. Returns false, after reporting, if the read failed.
template <class T>
bool read_value(const char* program, const char* what, T& value) {
  if (std::cin >> value) return true;
  std::cerr << program << ": expected "
            << (std::is_integral_v<T> ? "a whole number" : "a number")
            << " for " << what << std::endl;
  return false;
}

// Writes the prompt and a line end, then reads the value.
template <class T>
bool prompt_value(const char* program, const char* prompt, const char* what,
                  T& value) {
  std::cout << prompt << std::endl;
  return read_value(program, what, value);
}
