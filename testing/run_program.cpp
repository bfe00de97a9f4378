#include "run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "platform.h"

namespace fs = std::filesystem;

namespace {

std::string make_temp_dir() {
  std::string pattern = (fs::temp_directory_path() / "numlab-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  return pattern;
}

}  // namespace

Workspace::Workspace() : path_(make_temp_dir()) {}

Workspace::~Workspace() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

bool Workspace::exists(const std::string& name) const {
  return fs::exists(file(name));
}

std::string Workspace::read(const std::string& name) const {
  return read_file(file(name));
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

RunResult run_program(const std::string& program, const std::string& input,
                      const Workspace& dir, unsigned timeout_seconds) {
  return run_command({program}, input, dir, timeout_seconds);
}

RunResult run_command(const std::vector<std::string>& argv, const std::string& input,
                      const Workspace& dir, unsigned timeout_seconds) {
  return run_started_with(argv, input, dir, StartedWith(), timeout_seconds);
}

namespace {

bool closes(const StartedWith& start, int fd) {
  return std::find(start.closed.begin(), start.closed.end(), fd) != start.closed.end();
}

}  // namespace

namespace {
// A pipe whose ends close on exec, so that only the descriptors the spawn
// actions name reach the program. pipe and fcntl, not pipe2, which macOS
// lacks; the tests start programs one at a time per process, so nothing
// can spawn between the two calls.
void open_pipe(int ends[2]) {
  if (pipe(ends) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  for (int k = 0; k < 2; k++)
    if (fcntl(ends[k], F_SETFD, FD_CLOEXEC) != 0)
      throw std::system_error(errno, std::generic_category(), "fcntl");
}
}  // namespace

RunResult run_started_with(const std::vector<std::string>& argv, const std::string& input,
                           const Workspace& dir, const StartedWith& start,
                           unsigned timeout_seconds) {
  // Captured output goes to files outside the program's working folder, so
  // the folder holds only what the program itself wrote.
  Workspace capture;
  std::string out_path = capture.file("stdout");
  std::string err_path = capture.file("stderr");

  int in_pipe[2];
  open_pipe(in_pipe);
  // A pipe whose reading end is closed before the program starts: its very
  // first write finds no reader.
  int out_pipe[2] = {-1, -1};
  if (start.reader_gone) {
    open_pipe(out_pipe);
    close(out_pipe[0]);
  }

  // posix_spawn rather than fork: a sanitized test process has a huge
  // address space, and copying its page tables for every run would cost
  // more than the run.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (closes(start, STDIN_FILENO)) {
    posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
  } else if (start.input_folder || start.input_file != nullptr) {
    const char* input = start.input_file != nullptr ? start.input_file : dir.path().c_str();
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input, O_RDONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, in_pipe[0], STDIN_FILENO);
  }
  if (closes(start, STDOUT_FILENO)) {
    posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
  } else if (start.reader_gone) {
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                     start.full_output ? "/dev/full" : out_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  if (closes(start, STDERR_FILENO)) {
    posix_spawn_file_actions_addclose(&actions, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
  // An ignored signal stays ignored across exec; a default one is set so.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  if (!start.sigpipe_ignored) sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  auto spawn_handler = signal(SIGPIPE, start.sigpipe_ignored ? SIG_IGN : SIG_DFL);

  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
  signal(SIGPIPE, spawn_handler);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(in_pipe[0]);
  if (out_pipe[1] >= 0) close(out_pipe[1]);
  if (spawned != 0) {
    close(in_pipe[1]);
    throw std::system_error(spawned, std::generic_category(), "posix_spawn " + argv[0]);
  }

  // A program that exits before reading all its input must not kill the test.
  auto old_handler = signal(SIGPIPE, SIG_IGN);
  // A failed write (EPIPE) means the program stopped reading: its right.
  platform::write_all(in_pipe[1], input.data(), input.size());
  close(in_pipe[1]);
  signal(SIGPIPE, old_handler);

  // Wait, killing a run that outlives its time bound so that a hung program
  // fails its test instead of hanging the suite.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  auto pause = std::chrono::microseconds(50);
  int wait_status = 0;
  bool killed = false;
  for (;;) {
    pid_t done = waitpid(pid, &wait_status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) throw std::system_error(errno, std::generic_category(), "waitpid");
    if (!killed && std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      killed = true;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(2000));
  }

  RunResult result;
  if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) result.status = 128 + WTERMSIG(wait_status);
  if (std::filesystem::exists(out_path)) result.out = read_file(out_path);
  if (std::filesystem::exists(err_path)) result.err = read_file(err_path);
  return result;
}

RunResult run_blocked(const std::string& program, const std::string& input,
                      const std::string& name, Blocked how) {
  Workspace dir;
  if (how == Blocked::ByDirectory) {
    fs::create_directory(dir.file(name));
  } else {
    fs::create_symlink("/dev/full", dir.file(name));
  }
  return run_program(program, input, dir);
}

LockedFile::LockedFile(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0 || flock(fd_, LOCK_EX | LOCK_NB) != 0)
    throw std::system_error(errno, std::generic_category(), "lock " + path);
}

LockedFile::~LockedFile() { close(fd_); }

std::string program_path(const std::string& name) {
  return std::string(NUMLAB_BIN_DIR) + "/" + name;
}

RunResult run_in_process(const std::function<int()>& body,
                         const std::string& input, const Workspace& dir) {
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  std::istringstream in(input);
  std::ostringstream out, err;
  auto* cin_buffer = std::cin.rdbuf(in.rdbuf());
  auto* cout_buffer = std::cout.rdbuf(out.rdbuf());
  auto* cerr_buffer = std::cerr.rdbuf(err.rdbuf());
  std::cin.clear();
  RunResult result;
  result.status = body();
  std::cin.rdbuf(cin_buffer);
  std::cout.rdbuf(cout_buffer);
  std::cerr.rdbuf(cerr_buffer);
  std::cin.clear();
  fs::current_path(previous);
  result.out = out.str();
  result.err = err.str();
  return result;
}
