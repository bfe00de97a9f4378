// Generated bad input for every program that reads standard input, run
// against the sanitizer build (ctest label "fuzz"). For each input the
// program must finish within the time bound, exit with 0 or 1 (or 2 where
// the input asks what cannot be carried out: a token longer than any
// answer may be, a range or histogram beyond its number type), write no
// sanitizer report, explain an exit status of 1 in exactly one line on
// standard error (and say nothing there otherwise), and leave its Data file
// empty or ending in a whole line.
//
// Half the runs start as a user starts them. The rest start with one of
// the standard descriptors closed, with SIGPIPE ignored and nobody reading
// standard output (status 1, one line naming the broken pipe), with the
// Data file held by another run (status 1, the file left as it was), or
// with arbitrary arguments (status 0 for --help and --version, else 2 and
// the unknown argument named, no file touched).
//
// The inputs come from a fixed seed, so a failure reproduces. Counts that
// would run for minutes are capped here, by the generator, never by the
// programs: an input whose count reads as more than the program's cap is
// drawn again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "console.h"
#include "programs.h"
#include "run_program.h"

namespace {

const int kInputsPerProgram = 10000;
const unsigned kSecondsPerRun = 60;

enum class Field { Int, Double };

struct Target {
  std::string program;
  std::vector<Field> fields;  // what the program reads, in order
  std::string data_file;      // "" when it writes none
  long count_cap;             // largest first-field count to run
};

void PrintTo(const Target& t, std::ostream* os) { *os << t.program; }

// Every program of the suite that reads standard input, with the largest
// count the fuzzer lets it run: a few hundred samples or points, more where
// a count costs little, any division size.
std::vector<Target> targets() {
  std::vector<Target> list;
  for (const SuiteProgram& p : suite_programs()) {
    if (p.input.empty()) continue;
    Target t{p.name, {}, p.data_files.empty() ? "" : p.data_files[0], 300};
    if (p.answers == 0) {
      t.fields.assign(12, Field::Double);  // mean: numbers until they stop
      t.count_cap = LONG_MAX;
    } else {
      t.fields.assign(p.answers, Field::Double);
      t.fields[0] = Field::Int;  // the count or the division size
    }
    if (p.name == "gaussian_errors") t.count_cap = 10000;
    if (p.name == "root_step") t.count_cap = LONG_MAX;
    list.push_back(t);
  }
  return list;
}

// How a run is started besides its input.
enum Start { AsUsual, ClosedDescriptor, ReaderGone, BusyDataFile, Arguments, kStarts };

const char* const kArguments[] = {"--help", "-h", "--version", "--bogus", "-", "--", "-x",
                                  "100", "", "--help=1", "-hv", "--versio", "\x01\xff"};

// The kinds of input every program gets.
enum Kind { RandomBytes, Empty, LongLine, Words, SignsAndExponents, NanAndInf, Limits, Sizes, kKinds };

const char* const kWords[] = {"abc", "ten", "-", "+", ".", "e5", "0x1A", "x", "count", "--1", "1,5", "\xc3\xa9"};
const char* const kSignedNumbers[] = {"+3", "-2", "1e3", "-1.5e-3", "3.", ".5", "1e", "+-1", "-0", "+0.0",
                                      "2E+2", "-7e0", "12abc", "0.1e1"};
const char* const kNanInf[] = {"nan", "inf", "-inf", "NaN", "infinity", "+nan", "INF", "-nan"};
const char* const kLimits[] = {"2147483647", "2147483648", "-2147483648", "-2147483649",
                               "1.7976931348623157e308", "1e309", "-1e309", "4.9e-324", "1e-400",
                               "9223372036854775807", "99999999999999999999", "-1.7976931348623157e308"};
const char* const kSizes[] = {"0", "1", "-1", "5000", "5001", "10000", "10001", "2147483647"};

class InputGenerator {
 public:
  explicit InputGenerator(unsigned seed) : engine_(seed) {}

  Start start() { return pick(2) == 0 ? AsUsual : static_cast<Start>(1 + pick(kStarts - 1)); }

  int descriptor() { return static_cast<int>(pick(3)); }

  std::vector<std::string> arguments() {
    std::vector<std::string> list(1 + pick(3));
    for (std::string& argument : list)
      argument = pick(8) ? any(kArguments) : std::string(1 + pick(300), static_cast<char>('!' + pick(90)));
    return list;
  }

  std::string make(Kind kind, const std::vector<Field>& fields) {
    switch (kind) {
      case RandomBytes: {
        std::string bytes(pick(65), '\0');
        for (char& c : bytes) c = static_cast<char>(pick(256));
        return bytes;
      }
      case Empty:
        return pick(2) ? "" : "\n \t\n";
      case LongLine: {
        const char fill[] = {'9', ' ', 'x', '0', '-'};
        std::string line(50000 + pick(100000), fill[pick(5)]);
        return line + " 5\n1\n2\n";
      }
      default: {
        std::string text;
        for (size_t f = 0; f < fields.size(); f++) {
          text += token(kind, fields[f]);
          const char* separators[] = {" ", "\n", "\t", "  \n "};
          text += separators[pick(4)];
        }
        return text;
      }
    }
  }

 private:
  size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(engine_); }

  template <size_t N>
  const char* any(const char* const (&list)[N]) { return list[pick(N)]; }

  // One field: mostly of the chosen kind, sometimes an ordinary value so
  // that later fields are reached.
  std::string token(Kind kind, Field field) {
    if (pick(4) == 0) return field == Field::Int ? std::to_string(pick(40)) : std::to_string(pick(200) / 7.0 - 10);
    switch (kind) {
      case Words: return any(kWords);
      case SignsAndExponents: return any(kSignedNumbers);
      case NanAndInf: return any(kNanInf);
      case Limits: return any(kLimits);
      default: return any(kSizes);
    }
  }

  std::mt19937 engine_;
};

// The count the program will read from this input, read by the programs'
// own rule.
bool reads_count(const std::string& input, long& count) {
  std::istringstream in(input);
  std::string token;
  int value = 0;
  if (!(in >> token) || parse_whole_number(token, value) != Parsed::Ok) return false;
  count = value;
  return true;
}

bool acceptable(const Target& target, const std::string& input) {
  long count = 0;
  if (!reads_count(input, count)) return true;
  return count <= target.count_cap;
}

std::string shown(const std::string& input) {
  std::string out;
  for (char c : input.substr(0, 80)) {
    if (c == '\n') out += "\\n";
    else if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) out += "?";
    else out += c;
  }
  return input.size() > 80 ? out + "... (" + std::to_string(input.size()) + " bytes)" : out;
}

class InputFuzz : public testing::TestWithParam<Target> {};

// The exit status arguments lead to: the first one decides, since every
// target takes no operand.
int status_for(const std::vector<std::string>& arguments) {
  const std::string& first = arguments.front();
  return first == "--help" || first == "-h" || first == "--version" ? 0 : 2;
}

// Whether `input` may end a run with status 2: it holds a token longer than
// kLongestAnswer, or it goes to runge or gaussian_errors, which refuse a
// range or edges beyond a double or a float.
bool may_be_refused_as_too_large(const Target& target, const std::string& input) {
  if (target.program == "runge" || target.program == "gaussian_errors") return true;
  std::size_t run = 0;
  for (char c : input) {
    run = is_answer_space(c) ? 0 : run + 1;
    if (run > kLongestAnswer) return true;
  }
  return false;
}

// What is wrong with a run, or "" when nothing is.
std::string problem_with(const Target& target, Start start, int closed,
                         const std::vector<std::string>& arguments, const std::string& input,
                         const RunResult& run, const Workspace& dir, const std::string& earlier) {
  if (run.err.find("Sanitizer") != std::string::npos ||
      run.err.find("runtime error") != std::string::npos)
    return "sanitizer report";
  const bool busy = start == BusyDataFile && !target.data_file.empty();
  if (start == Arguments) {
    const int expected = status_for(arguments);
    if (run.status != expected) return "exit status " + std::to_string(run.status);
    if (!std::filesystem::is_empty(dir.path())) return "a file touched despite the arguments";
    if (expected == 2 && run.err.rfind(target.program + ": unknown argument '", 0) != 0)
      return "no unknown-argument line";
  } else if (start == ReaderGone) {
    // mean reads all its input before it writes: a number too long is
    // refused before the broken pipe is met.
    const bool refused_first = run.status == 2 && may_be_refused_as_too_large(target, input);
    if (!refused_first &&
        (run.status != 1 || run.err != target.program + ": cannot write standard output: Broken pipe\n"))
      return "a reader gone must end the run with status 1 and one line";
  } else if (busy) {
    if (run.status != 1 || run.err.find("is being written by another run") == std::string::npos)
      return "a busy Data file must be refused";
    if (dir.read(target.data_file) != earlier) return "the busy Data file was changed";
  } else if (run.status != 0 && run.status != 1 &&
             !(run.status == 2 && may_be_refused_as_too_large(target, input))) {
    return "exit status " + std::to_string(run.status);
  }
  const bool stderr_seen = !(start == ClosedDescriptor && closed == STDERR_FILENO);
  if (stderr_seen && run.status != 0 &&
      (run.err.empty() || run.err.find('\n') != run.err.size() - 1))
    return "a failed run needs exactly one line on standard error";
  if (run.status == 0 && !run.err.empty()) return "standard error written on success";
  if (!target.data_file.empty() && dir.exists(target.data_file)) {
    std::string data = dir.read(target.data_file);
    if (!data.empty() && data.back() != '\n') return "partial line in " + target.data_file;
  }
  return "";
}

TEST_P(InputFuzz, EveryInputEndsCleanly) {
  const Target& target = GetParam();
  if (access(program_path(target.program).c_str(), X_OK) != 0)
    GTEST_SKIP() << target.program << " was not built";
  // A sanitizer's own exit codes, so that they cannot pass for status 1.
  setenv("ASAN_OPTIONS", "exitcode=86:detect_leaks=1", 1);
  setenv("UBSAN_OPTIONS", "exitcode=87:halt_on_error=1:print_stacktrace=1", 1);

  InputGenerator generator(20261208);
  int failures = 0, by_status[3] = {0, 0, 0};
  for (int i = 0; i < kInputsPerProgram && failures < 5; i++) {
    Kind kind = static_cast<Kind>(i % kKinds);
    std::string input;
    do input = generator.make(kind, target.fields);
    while (!acceptable(target, input));
    const Start start = generator.start();
    const int closed = generator.descriptor();
    std::vector<std::string> argv = {program_path(target.program)};
    std::vector<std::string> arguments;
    if (start == Arguments) {
      arguments = generator.arguments();
      argv.insert(argv.end(), arguments.begin(), arguments.end());
    }
    StartedWith how;
    if (start == ClosedDescriptor) how.closed = {closed};
    how.reader_gone = how.sigpipe_ignored = start == ReaderGone;

    Workspace dir;
    const std::string earlier = "1.5\n2.5\n";
    std::unique_ptr<LockedFile> busy;
    if (start == BusyDataFile && !target.data_file.empty())
      busy = std::make_unique<LockedFile>(dir.file(target.data_file), earlier);
    RunResult run = run_started_with(argv, input, dir, how, kSecondsPerRun);
    std::string problem = problem_with(target, start, closed, arguments, input, run, dir, earlier);
    if (!problem.empty()) {
      ADD_FAILURE() << target.program << ", input " << i << " '" << shown(input) << "', start "
                    << start << ": " << problem << "\nstandard error:\n" << run.err.substr(0, 2000);
      failures++;
    } else if (run.status >= 0 && run.status <= 2) {
      by_status[run.status]++;
    }
  }
  std::cout << target.program << ": " << by_status[0] << " runs ended with status 0, "
            << by_status[1] << " with status 1, " << by_status[2] << " with status 2" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Programs, InputFuzz, testing::ValuesIn(targets()),
                         [](const auto& info) { return info.param.program; });

}  // namespace
