#include "text_line.h"

#include <stdexcept>

#include "write_all.h"

NumberText::NumberText(double value) {
  // The general format with a precision is defined as printf's %.6g, which
  // is what a default stream writes; "inf", "-inf", "nan" and "-nan" too.
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
  const int error = write_all(fd, text_, size_);
  size_ = 0;
  return error;
}
