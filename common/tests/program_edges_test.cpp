// Every program of the suite at the edges a user meets beyond its dialogue:
// arguments, closed or failing standard streams, a second run on the same
// Data file, answers that are not numbers of the kind asked for. Each test
// is one behaviour, checked across all the programs it applies to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "programs.h"
#include "run_program.h"

namespace {

std::vector<std::string> command(const SuiteProgram& p, std::vector<std::string> arguments) {
  std::vector<std::string> argv = {program_path(p.name)};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

RunResult run_started(const SuiteProgram& p, const std::string& input, const Workspace& dir,
                      const StartedWith& start) {
  return run_started_with(command(p, {}), input, dir, start, 60);
}

RunResult run_plain(const SuiteProgram& p, const std::string& input, const Workspace& dir) {
  return run_command(command(p, {}), input, dir);
}

// The read end of a FIFO, under the lock a running program holds on its
// Data file, and a thread that reads everything written to it until the
// object goes (a writer that has not opened it yet reads as no data).
class HeldFifo {
 public:
  explicit HeldFifo(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    if (fd_ < 0 || flock(fd_, LOCK_EX | LOCK_NB) != 0)
      throw std::system_error(errno, std::generic_category(), "lock " + path);
    reader_ = std::thread([this] {
      char buffer[65536];
      for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got > 0) {
          drained_ += static_cast<std::size_t>(got);
        } else if (done_) {
          return;
        } else {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      }
    });
  }
  ~HeldFifo() {
    finish();
    close(fd_);
  }
  HeldFifo(const HeldFifo&) = delete;
  HeldFifo& operator=(const HeldFifo&) = delete;

  // Once the writer has ended: reads what it left in the FIFO, stops, and
  // says how many bytes came through in all.
  std::size_t finish() {
    done_ = true;
    if (reader_.joinable()) reader_.join();
    return drained_;
  }

 private:
  int fd_;
  std::atomic<bool> done_{false};
  std::atomic<std::size_t> drained_{0};
  std::thread reader_;
};

// The names of the files a run left in its folder.
std::vector<std::string> files_in(const Workspace& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  return names;
}

// A Data file holds numbers only: nothing of the console's text (prompts,
// labels, messages) may land in it, and it ends in a whole line.
void expect_only_whole_lines_of_numbers(const SuiteProgram& p, const Workspace& dir) {
  for (const std::string& name : p.data_files) {
    if (!dir.exists(name)) continue;
    std::string text = dir.read(name);
    EXPECT_EQ(text.find_first_not_of("0123456789.-+e naif\n"), std::string::npos)
        << p.name << ": " << name << " holds more than numbers:\n" << text.substr(0, 200);
    if (!text.empty()) {
      EXPECT_EQ(text.back(), '\n') << p.name << ": " << name;
    }
  }
}

void expect_empty_data_files(const SuiteProgram& p, const Workspace& dir) {
  for (const std::string& name : p.data_files)
    if (dir.exists(name)) {
      EXPECT_EQ(dir.read(name), "") << p.name << ": " << name;
    }
}

// What a program prints when its first answer is refused: what it prints
// when the input ends before it, its first prompt and a line end.
std::string first_prompt_line(const SuiteProgram& p) {
  Workspace dir;
  return run_plain(p, "", dir).out;
}

TEST(ProgramArguments, HelpAndVersionAnswerOnStandardOutputAndTouchNoFile) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p)) continue;
    Workspace dir;
    RunResult help = run_command(command(p, {"--help"}), "", dir);
    EXPECT_EQ(help.status, 0) << p.name;
    EXPECT_EQ(help.err, "") << p.name;
    EXPECT_EQ(help.out.rfind("Usage: " + p.name + " [OPTION]", 0), 0u) << p.name << help.out;
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos) << p.name;
    for (const std::string& name : p.data_files)
      EXPECT_NE(help.out.find(name), std::string::npos) << p.name << " --help names " << name;

    RunResult short_help = run_command(command(p, {"-h"}), "", dir);
    EXPECT_EQ(short_help.status, 0) << p.name;
    EXPECT_EQ(short_help.out, help.out) << p.name;

    RunResult version = run_command(command(p, {"--version"}), "", dir);
    EXPECT_EQ(version.status, 0) << p.name;
    EXPECT_EQ(version.out, p.name + " (numlab) " NUMLAB_VERSION "\n");
    EXPECT_TRUE(files_in(dir).empty()) << p.name << " touched a file";
  }
}

TEST(ProgramArguments, AnyOtherArgumentIsAUsageError) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p)) continue;
    // One operand more than the program takes (gas_relax takes two) is as
    // unknown as an option.
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"-x"}, {"1", "1", "1"}, {"--help=1"}}) {
      Workspace dir;
      RunResult run = run_command(command(p, arguments), p.input, dir);
      EXPECT_EQ(run.status, 2) << p.name << " " << arguments.back();
      EXPECT_EQ(run.out, "") << p.name;
      EXPECT_EQ(run.err, p.name + ": unknown argument '" + arguments.back() + "'; try --help\n");
      EXPECT_TRUE(files_in(dir).empty()) << p.name << " touched a file";
    }
  }
}

TEST(StandardStreams, ClosedStandardErrorKeepsMessagesOutOfDataFiles) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.answers == 0) continue;
    Workspace dir;
    RunResult run = run_started(p, "x\n", dir, {{STDERR_FILENO}});
    EXPECT_EQ(run.status, 1) << p.name;
    EXPECT_EQ(run.out, first_prompt_line(p)) << p.name;
    expect_empty_data_files(p, dir);
  }
}

TEST(StandardStreams, ClosedStandardInputIsAReadErrorWhereAnAnswerIsNeeded) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p)) continue;
    Workspace dir;
    RunResult run = run_started(p, "", dir, {{STDIN_FILENO}});
    if (p.answers == 0 && p.input.empty()) continue;  // reads nothing
    // mean too: its first read fails, which is no mean, not the mean of
    // nothing.
    EXPECT_EQ(run.status, 1) << p.name;
    EXPECT_EQ(run.err, p.name + ": cannot read standard input: Bad file descriptor\n");
    expect_empty_data_files(p, dir);
  }
}

// Standard output closed, on a full disk, or a pipe nobody reads while
// SIGPIPE is ignored: the run stops at its first line with one line naming
// the reason, and its Data files hold whole lines of numbers only. Programs
// that ask get a count that would run for minutes.
TEST(StandardStreams, EveryWayStandardOutputFailsIsReported) {
  StartedWith closed, full, reader_gone;
  closed.closed = {STDOUT_FILENO};
  full.full_output = true;
  reader_gone.reader_gone = reader_gone.sigpipe_ignored = true;
  const struct {
    StartedWith how;
    const char* reason;
  } failures[] = {{closed, "Bad file descriptor"},
                  {full, "No space left on device"},
                  {reader_gone, "Broken pipe"}};
  for (const auto& failure : failures) {
    for (const SuiteProgram& p : suite_programs()) {
      if (!built(p)) continue;
      Workspace dir;
      RunResult run =
          run_started(p, p.answers == 0 ? p.input : "100000000\n0\n1\n", dir, failure.how);
      EXPECT_EQ(run.status, 1) << p.name << ", " << failure.reason;
      EXPECT_EQ(run.err, p.name + ": cannot write standard output: " + failure.reason + "\n");
      expect_only_whole_lines_of_numbers(p, dir);
    }
  }
}

TEST(StandardStreams, ReaderGoneWithSigpipeAtItsDefaultEndsQuietly) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p)) continue;
    Workspace dir;
    StartedWith broken;
    broken.reader_gone = true;
    RunResult run = run_started(p, p.input, dir, broken);
    EXPECT_EQ(run.status, 128 + SIGPIPE) << p.name;
    EXPECT_EQ(run.err, "") << p.name;
  }
}

TEST(DataFiles, AFileAnotherRunIsWritingIsRefusedAndLeftAlone) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p)) continue;
    for (const std::string& name : p.data_files) {
      Workspace dir;
      const std::string earlier = "1 2 3\n4 5 6\n";
      {
        LockedFile busy(dir.file(name), earlier);
        RunResult run = run_plain(p, p.input, dir);
        EXPECT_EQ(run.status, 1) << p.name << " " << name;
        EXPECT_EQ(run.out, "") << p.name << " refuses before anything else";
        EXPECT_EQ(run.err, p.name + ": " + name +
                               " is being written by another run; try again when it has "
                               "finished\n");
        EXPECT_EQ(dir.read(name), earlier) << p.name << " " << name;
      }
      RunResult free_again = run_plain(p, p.input, dir);
      EXPECT_EQ(free_again.status, 0) << p.name << " once the file is free: " << free_again.err;
      EXPECT_NE(dir.read(name), earlier) << p.name << " " << name;
    }
  }
}

// A program of several Data files claims them all before it empties any:
// one busy or blocked by a folder leaves every other as it was, an earlier
// run's finished table included.
TEST(DataFiles, ARefusedRunLeavesEveryDataFileAsItWas) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.data_files.size() < 2) continue;
    for (const std::string& blocked : p.data_files) {
      for (bool busy : {true, false}) {
        Workspace dir;
        const std::string earlier = "1 2 3\n4 5 6\n";
        for (const std::string& name : p.data_files)
          if (name != blocked) std::ofstream(dir.file(name)) << earlier;
        std::optional<LockedFile> lock;
        if (busy) {
          lock.emplace(dir.file(blocked), earlier);
        } else {
          std::filesystem::create_directory(dir.file(blocked));
        }
        RunResult run = run_plain(p, p.input, dir);
        const std::string how = p.name + ", " + blocked + (busy ? " busy" : " a folder");
        EXPECT_EQ(run.status, 1) << how;
        EXPECT_EQ(split_lines(run.err).size(), 1u) << how << ": " << run.err;
        for (const std::string& name : p.data_files) {
          if (name != blocked) {
            EXPECT_EQ(dir.read(name), earlier) << how << ": " << name;
          }
        }
      }
    }
  }
}

TEST(DataFiles, ADeviceIsSharedNotLocked) {
  // Two runs may both write to /dev/null: a Data file that is not a regular
  // file is neither locked nor emptied, so a lock someone holds on it stops
  // nothing. A FIFO in the test's own folder stands for the device, with the
  // lock held on it here and everything written to it read.
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p)) continue;
    for (const std::string& name : p.data_files) {
      Workspace dir;
      ASSERT_EQ(mkfifo(dir.file(name).c_str(), 0600), 0);
      HeldFifo held(dir.file(name));
      RunResult run = run_plain(p, p.input, dir);
      EXPECT_EQ(run.status, 0) << p.name << " " << name << ": " << run.err;
      EXPECT_GT(held.finish(), 0u) << p.name << " wrote its " << name << " through the lock";
    }
  }
}

// The input with its first answer replaced.
std::string with_first_answer(const SuiteProgram& p, const std::string& answer) {
  return answer + p.input.substr(p.input.find('\n'));
}

TEST(StrictNumbers, TokensThatAreNotWholeNumbersAreRefused) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.answers == 0) continue;
    for (const std::string token : {"2.9", "1o0", "12abc", "1,000", "0x10", "1e", "--3", "5.5e-1"}) {
      Workspace dir;
      RunResult run = run_command(command(p, {}), with_first_answer(p, token), dir);
      EXPECT_EQ(run.status, 1) << p.name << " " << token;
      EXPECT_EQ(run.out, first_prompt_line(p)) << p.name << " " << token;
      EXPECT_EQ(run.err.rfind(p.name + ": expected a whole number for ", 0), 0u) << run.err;
      EXPECT_NE(run.err.find(", not '" + token + "'\n"), std::string::npos) << run.err;
      expect_empty_data_files(p, dir);
    }
  }
}

TEST(StrictNumbers, ALongTokenIsShortenedInItsMessage) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.answers == 0) continue;
    Workspace dir;
    // The longest answer still read whole.
    RunResult run = run_command(command(p, {}), std::string(4096, 'a') + "\n", dir);
    EXPECT_EQ(run.status, 1) << p.name;
    EXPECT_NE(run.err.find(", not '" + std::string(40, 'a') + "...'\n"), std::string::npos)
        << run.err.substr(0, 200);
    EXPECT_LT(run.err.size(), 160u) << p.name;
  }
}

// No number needs more than 4096 characters: the 4097th refuses the answer
// at once, with status 2, before anything is drawn or written, whichever
// answer it is, and however much more input follows (the old reader took
// /dev/zero's endless token into memory until the run was killed).
TEST(StrictNumbers, AnAnswerPastTheBoundIsRefusedAtOnce) {
  const std::string too_long(4097, '1');
  const std::string tail = " is too long: more than 4096 characters\n";
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.answers == 0) continue;
    std::string last_too_long = p.input;
    last_too_long.erase(last_too_long.rfind('\n', last_too_long.size() - 2) + 1);
    last_too_long += too_long + "\n";
    struct {
      const char* where;
      std::string input;
      const char* input_file;
    } cases[] = {
        {"first answer", with_first_answer(p, too_long), nullptr},
        {"last answer", p.answers == 1 ? with_first_answer(p, "0" + too_long) : last_too_long,
         nullptr},
        {"/dev/zero", "", "/dev/zero"},
    };
    for (const auto& c : cases) {
      Workspace dir;
      StartedWith start;
      start.input_file = c.input_file;
      RunResult run = run_started_with(command(p, {}), c.input, dir, start, 60);
      EXPECT_EQ(run.status, 2) << p.name << ", " << c.where << ": " << run.err;
      EXPECT_EQ(run.err.rfind(p.name + ": the answer for ", 0), 0u) << p.name << ": " << run.err;
      EXPECT_TRUE(run.err.size() > tail.size() &&
                  run.err.compare(run.err.size() - tail.size(), tail.size(), tail) == 0)
          << p.name << ", " << c.where << ": " << run.err;
      EXPECT_EQ(run.out.find("Random number"), std::string::npos) << p.name;
      EXPECT_EQ(run.out.find("X-value"), std::string::npos) << p.name;
      expect_empty_data_files(p, dir);
    }
  }
}

TEST(StrictNumbers, WholeNumbersInExponentFormCountAsWritten) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.answers == 0) continue;
    const std::string n = p.input.substr(0, p.input.find('\n'));
    Workspace plain_dir;
    RunResult plain = run_command(command(p, {}), p.input, plain_dir);
    ASSERT_EQ(plain.status, 0) << p.name;
    for (const std::string& form :
         {n + "e0", n + "0e-1", "0." + n + "e" + std::to_string(n.size()), "+" + n + ".000"}) {
      Workspace dir;
      RunResult run = run_command(command(p, {}), with_first_answer(p, form), dir);
      EXPECT_EQ(run.status, 0) << p.name << " " << form << ": " << run.err;
      EXPECT_EQ(run.out, plain.out) << p.name << " " << form;
      for (const std::string& name : p.data_files)
        EXPECT_EQ(dir.read(name), plain_dir.read(name)) << p.name << " " << form;
    }
  }
}

TEST(StrictNumbers, AnswersMaySpreadOverLinesOrShareOneWithCrlfEnds) {
  for (const SuiteProgram& p : suite_programs()) {
    if (!built(p) || p.answers < 2) continue;
    Workspace plain_dir, one_line_dir, crlf_dir;
    RunResult plain = run_command(command(p, {}), p.input, plain_dir);
    std::string one_line = p.input, crlf;
    for (char& c : one_line)
      if (c == '\n') c = ' ';
    for (char c : p.input) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    RunResult on_one_line = run_command(command(p, {}), one_line, one_line_dir);
    RunResult with_crlf = run_command(command(p, {}), crlf, crlf_dir);
    EXPECT_EQ(plain.status, 0) << p.name;
    EXPECT_EQ(on_one_line.out, plain.out) << p.name;
    EXPECT_EQ(with_crlf.out, plain.out) << p.name;
    EXPECT_EQ(with_crlf.status, 0) << p.name << with_crlf.err;
  }
}

}  // namespace
