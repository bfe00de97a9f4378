#include "text_line.h"

TextLine& TextLine::operator<<(double value) {
  // The longest %.6g text is "-1.23457e-308": 13 characters.
  char digits[32];
  append(digits, std::to_chars(digits, digits + sizeof digits, value,
                               std::chars_format::general, 6)
                     .ptr);
  return *this;
}

void TextLine::end(std::ostream& out) {
  text_.push_back('\n');
  out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  out.flush();
  text_.clear();
}
