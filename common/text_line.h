// One line of text, built in memory exactly as a default-formatted
// std::ostream would write it, then handed over in one piece: to a stream,
// or straight to a file descriptor with one write(2), which is what
// `stream << ... << std::endl` comes down to without the layers between.
//
// Numbers come out byte for byte as `stream << value` gives them on a stream
// with its default settings in the "C" locale: integers in decimal, a double
// (or a float, which the stream widens to double) as printf's %g with 6
// significant digits, "inf", "-inf", "nan" and "-nan" included. Both go
// through std::to_chars, whose general format with a precision is defined
// as that same printf conversion; it skips the stream's locale and facet
// machinery, which costs several times more than the digits themselves
// when a program writes millions of lines.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstring>
#include <ostream>
#include <string_view>
#include <type_traits>

// A double's text as a default stream writes it, made once so that a
// program printing the same value twice pays for the digits once.
class NumberText {
 public:
  explicit NumberText(double value);

  const char* begin() const { return digits_; }
  const char* end() const { return digits_ + size_; }

 private:
  friend class TextLine;

  // The longest %.6g text is "-1.23457e-308": 13 characters.
  char digits_[16];
  unsigned size_;
};

class TextLine {
  template <class T>
  static constexpr bool is_whole_number =
      std::is_integral_v<T> && !std::is_same_v<T, bool> &&
      !std::is_same_v<T, char> && !std::is_same_v<T, signed char> &&
      !std::is_same_v<T, unsigned char> && !std::is_same_v<T, wchar_t> &&
      !std::is_same_v<T, char16_t> && !std::is_same_v<T, char32_t>;

 public:
  TextLine& operator<<(const char* text) {
    append(text, text + std::strlen(text));
    return *this;
  }

  TextLine& operator<<(char c) {
    append(&c, &c + 1);
    return *this;
  }

  // Whole numbers of any width. bool and the character types are not
  // numbers to a stream (it writes them as words or characters), so they
  // have no overload here rather than a wrong one.
  template <class Integer,
            std::enable_if_t<is_whole_number<Integer>, int> = 0>
  TextLine& operator<<(Integer value) {
    // Straight into the line, one place kept for the newline.
    auto [last, error] = std::to_chars(text_ + size_, text_ + kCapacity - 1, value);
    if (error != std::errc()) too_long();
    size_ = static_cast<size_t>(last - text_);
    return *this;
  }

  TextLine& operator<<(const NumberText& number) {
    // A number's text is short: a fixed-size copy of its whole buffer
    // (inlined, unlike a copy of a length known only at run time) where the
    // line has room, and the length then decides how much of it counts.
    if (kCapacity - 1 - size_ >= sizeof number.digits_) {
      std::memcpy(text_ + size_, number.digits_, sizeof number.digits_);
      size_ += number.size_;
    } else {
      append(number.begin(), number.end());
    }
    return *this;
  }

  TextLine& operator<<(double value) { return *this << NumberText(value); }

  TextLine& operator<<(float value) { return *this << static_cast<double>(value); }

  std::string_view text() const { return {text_, size_}; }

  // Writes the line and its newline to `out` as `out << ... << std::endl`
  // would: the whole line, then a flush. The line is empty again afterwards.
  void end(std::ostream& out);

  // Writes the line and its newline to the file descriptor `fd` at once,
  // retrying short or interrupted writes, and empties the line. Returns 0,
  // or the errno of the write that failed. Whatever else writes to `fd`
  // must have nothing left in its buffers.
  int end(int fd);

  // The characters the line holds so far, without its newline.
  size_t size() const { return size_; }

 private:
  // Lines here are a few labels and numbers; one longer than the buffer is
  // a programming error, refused with std::length_error rather than cut.
  static constexpr size_t kCapacity = 256;

  void append(const char* first, const char* last) {
    size_t size = static_cast<size_t>(last - first);
    // One place is kept for the newline that ends the line.
    if (size > kCapacity - 1 - size_) too_long();
    std::memcpy(text_ + size_, first, size);
    size_ += size;
  }

  [[noreturn]] static void too_long();

  char text_[kCapacity];
  size_t size_ = 0;
};
