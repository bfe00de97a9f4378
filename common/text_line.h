// One line of text, built in memory exactly as a default-formatted
// std::ostream would write it, then handed to a stream in one piece.
//
// Numbers come out byte for byte as `stream << value` gives them on a stream
// with its default settings in the "C" locale: integers in decimal, a double
// (or a float, which the stream widens to double) as printf's %g with 6
// significant digits, "inf", "-inf", "nan" and "-nan" included. std::to_chars
// makes the text: its general format with a precision is defined as that
// same printf conversion, and it skips the stream's locale and facet
// machinery, which costs several times more than the digits themselves when
// a program writes millions of lines.
#pragma once

#include <charconv>
#include <ostream>
#include <string>
#include <type_traits>

class TextLine {
  template <class T>
  static constexpr bool is_whole_number =
      std::is_integral_v<T> && !std::is_same_v<T, bool> &&
      !std::is_same_v<T, char> && !std::is_same_v<T, signed char> &&
      !std::is_same_v<T, unsigned char> && !std::is_same_v<T, wchar_t> &&
      !std::is_same_v<T, char16_t> && !std::is_same_v<T, char32_t>;

 public:
  TextLine& operator<<(const char* text) {
    text_.append(text);
    return *this;
  }

  TextLine& operator<<(char c) {
    text_.push_back(c);
    return *this;
  }

  // Whole numbers of any width. bool and the character types are not
  // numbers to a stream (it writes them as words or characters), so they
  // have no overload here rather than a wrong one.
  template <class Integer,
            std::enable_if_t<is_whole_number<Integer>, int> = 0>
  TextLine& operator<<(Integer value) {
    char digits[24];
    append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    return *this;
  }

  TextLine& operator<<(double value);

  TextLine& operator<<(float value) { return *this << static_cast<double>(value); }

  const std::string& text() const { return text_; }

  // Writes the line and its newline to `out` as `out << ... << std::endl`
  // would: the whole line, then a flush. The line is empty again afterwards,
  // keeping its storage for the next one.
  void end(std::ostream& out);

 private:
  void append(const char* first, const char* last) { text_.append(first, last); }

  std::string text_;
};
