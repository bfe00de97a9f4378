// Console prompts: a prompt line on standard output, then one answer read
// from standard input.
//
// Answers are separated by any white space (blanks, line ends, CRLF). Each
// answer is one token, and the whole token must be a number of the kind
// asked for:
//   - a whole number (an int): decimal digits with an optional sign, or a
//     decimal number that is exactly a whole number, such as 1e6 or 2.5e3;
//     2.9, 1o0, 12abc, 1,000 and 0x10 are refused, and so is one beyond int;
//   - a number (a double): a finite decimal number, such as -1.5 or 2e-3;
//     nan, inf, hexadecimal and values beyond double are refused.
// A refused answer is reported on standard error as one line,
//   "<program>: expected a whole number for <what>, not '<token>'"
// ("a number" for a double; "<what>" names the field), or, when the input
// ended first, the same line without the token; the caller then ends the
// run with status 1.
//
// An answer is read up to kLongestAnswer characters and no further: no
// number needs more, and a longer one (a stream of zeros, say) would
// otherwise be gathered in memory without end. The character past the bound
// refuses it at once with
//   "<program>: the answer for <what> is too long: more than 4096 characters"
// and the caller ends the run with status 2.
#pragma once

#include <cstddef>
#include <iostream>
#include <streambuf>
#include <string>

// The outcome of reading one token as a number.
enum class Parsed { Ok, NotANumber, OutOfRange };

Parsed parse_whole_number(const std::string& token, int& value);
Parsed parse_number(const std::string& token, double& value);

// The token as an error line quotes it: every byte outside printable ASCII
// (control characters, DEL and every byte above 0x7f) escaped as \xNN, so
// that nothing a user typed can drive their terminal, and a long token cut
// to its first 40 characters and "...".
std::string quoted_token(const std::string& token);

#define LONGEST_ANSWER 4096
constexpr std::size_t kLongestAnswer = LONGEST_ANSWER;

// A number written into a help text: STRINGIFY(LONGEST_ANSWER) is "4096".
#define STRINGIFY_TOKEN(x) #x
#define STRINGIFY(x) STRINGIFY_TOKEN(x)

// What a program that asks says of status 2 in its --help.
#define ANSWER_USAGE_ERRORS \
  "an unknown argument, or an answer longer than " STRINGIFY(LONGEST_ANSWER) " characters"

// The white space that separates answers, as `stream >>` skips it in the C
// locale: blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool is_answer_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One token from `in`: white space skipped, then every character up to the
// next white space or the end. `TooLong` once the token would pass `limit`
// characters: the rest of it is left unread.
enum class Token { Read, Ended, TooLong };
Token read_token(std::streambuf& in, std::string& token, std::size_t limit);

// The outcome of asking: the answer taken (true), or refused with the exit
// status the run ends with, 1 for an answer that is missing or not a number
// of the kind asked for, 2 for one too long to be a number.
struct Answer {
  int status = 0;
  explicit operator bool() const { return status == 0; }
};

// Reads one answer from std::cin into `value`. Refused, after reporting,
// when the answer is missing, not a number of its kind, or too long.
Answer read_value(const char* program, const char* what, int& value);
Answer read_value(const char* program, const char* what, double& value);

// Writes the prompt and a line end, then reads the answer.
template <class T>
Answer prompt_value(const char* program, const char* prompt, const char* what, T& value) {
  std::cout << prompt << std::endl;
  return read_value(program, what, value);
}
