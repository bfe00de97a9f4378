#include "text_line.h"

#include <unistd.h>

#include <cerrno>
#include <stdexcept>

NumberText::NumberText(double value) {
  const char* last = std::to_chars(digits_, digits_ + sizeof digits_, value,
                                   std::chars_format::general, 6)
                         .ptr;
  size_ = static_cast<unsigned>(last - digits_);
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
  const char* next = text_;
  size_t left = size_;
  int error = 0;
  while (left > 0) {
    ssize_t written = ::write(fd, next, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    next += written;
    left -= static_cast<size_t>(written);
  }
  size_ = 0;
  return error;
}
