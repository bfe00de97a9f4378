#include "run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string make_temp_dir() {
  std::string pattern = (fs::temp_directory_path() / "numlab-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  return pattern;
}

void write_all(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return;  // the program stopped reading (EPIPE): that is its right
    done += static_cast<size_t>(n);
  }
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
  // Captured output goes to files outside the program's working folder, so
  // the folder holds only what the program itself wrote.
  Workspace capture;
  std::string out_path = capture.file("stdout");
  std::string err_path = capture.file("stderr");

  int in_pipe[2];
  if (pipe(in_pipe) != 0)
    throw std::system_error(errno, std::generic_category(), "pipe");

  pid_t pid = fork();
  if (pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
  if (pid == 0) {
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(dir.path().c_str()) != 0) _exit(126);
    dup2(in_pipe[0], STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    close(in_pipe[0]);
    close(in_pipe[1]);
    close(out);
    close(err);
    alarm(timeout_seconds);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }

  close(in_pipe[0]);
  // A program that exits before reading all its input must not kill the test.
  auto old_handler = signal(SIGPIPE, SIG_IGN);
  write_all(in_pipe[1], input);
  close(in_pipe[1]);
  signal(SIGPIPE, old_handler);

  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }

  RunResult result;
  if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) result.status = 128 + WTERMSIG(wait_status);
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

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
