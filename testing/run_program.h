// Running a built program the way a user does: in a fresh working folder,
// with its standard input piped in, its output captured.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A fresh, empty temporary folder, removed with everything in it when the
// object goes.
class Workspace {
 public:
  Workspace();
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  bool exists(const std::string& name) const;
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

struct RunResult {
  int status = -1;  // exit status, or 128 + signal number if killed
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `program` with `dir` as its working folder and `input` written to its
// standard input through a pipe. A run longer than `timeout_seconds` is
// killed (status 128 + 9), so a hung program fails its test instead of
// hanging the suite.
RunResult run_program(const std::string& program, const std::string& input,
                      const Workspace& dir, unsigned timeout_seconds = 120);

// The same for a command with arguments; argv[0] is an absolute path.
RunResult run_command(const std::vector<std::string>& argv, const std::string& input,
                      const Workspace& dir, unsigned timeout_seconds = 120);

// How a program is started, beyond its arguments and input: the standard
// streams it starts without or with broken, and its SIGPIPE disposition.
struct StartedWith {
  std::vector<int> closed;      // descriptors among 0, 1, 2 left closed
  bool full_output = false;     // standard output on /dev/full
  bool reader_gone = false;     // standard output a pipe nobody reads
  bool sigpipe_ignored = false; // SIGPIPE ignored (else at its default)
  bool input_folder = false;    // standard input a folder: every read fails
  const char* input_file = nullptr;  // standard input this file (/dev/zero, say)
};

RunResult run_started_with(const std::vector<std::string>& argv, const std::string& input,
                           const Workspace& dir, const StartedWith& start,
                           unsigned timeout_seconds = 120);

std::string read_file(const std::string& path);

// Splits text into lines; a final line end does not start an empty line.
std::vector<std::string> split_lines(const std::string& text);

// Runs `program` in a fresh folder where its Data file `name` cannot be
// written: a directory of that name stands in the way, or the name links to
// /dev/full, where every write fails as on a full disk.
enum class Blocked { ByDirectory, ByFullDisk };
RunResult run_blocked(const std::string& program, const std::string& input,
                      const std::string& name, Blocked how);

// A file written with `text` and held under the advisory lock that a
// running program of the suite holds on its Data file, until it goes.
class LockedFile {
 public:
  LockedFile(const std::string& path, const std::string& text);
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

 private:
  int fd_;
};

// Full path of one of the suite's built programs.
std::string program_path(const std::string& name);

// Runs `body` in this process the way run_program runs a program: `dir` as
// the working folder, `input` on std::cin, std::cout and std::cerr captured.
// For code whose generator a test replaces.
RunResult run_in_process(const std::function<int()>& body,
                         const std::string& input, const Workspace& dir);
