#include "text_line.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "platform.h"

NumberText::NumberText(double value) {
  // Infinities and NaNs as a default stream writes them with glibc: "inf",
  // "-inf", "nan", "-nan" (a NaN with its sign bit set, such as 0.0 / 0.0 on
  // x86-64). Written here, since C++ libraries spell them differently.
  if (!std::isfinite(value)) {
    const char* text = std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan")
                                         : (value < 0 ? "-inf" : "inf");
    size_ = static_cast<unsigned>(std::strlen(text));
    std::memcpy(digits_, text, size_);
    return;
  }
  // The general format with a precision is defined as printf's %.6g, which
  // is what a default stream writes.
  size_ = static_cast<unsigned>(
      std::to_chars(digits_, digits_ + sizeof digits_, value, std::chars_format::general, 6).ptr -
      digits_);
}

void TextLine::too_long() {
  throw std::length_error("TextLine: a line longer than 255 characters");
}

void TextLine::end(std::ostream& out) {
  text_[size_++] = '\n';
  out.write(text_, static_cast<std::streamsize>(size_));
  out.flush();
  size_ = 0;
}

int TextLine::end(int fd) {
  text_[size_++] = '\n';
  const int error = platform::write_all(fd, text_, size_);
  size_ = 0;
  return error;
}
