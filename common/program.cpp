#include "program.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>

#include "console.h"
#include "text_line.h"
#include "platform.h"

namespace {

const char* program_name = "numlab";

// std::cout's buffer: everything written to it goes to descriptor 1 when the
// stream is flushed (every std::endl) or the buffer is full, and a failed
// write ends the program.
class CheckedOutput : public std::streambuf {
 public:
  CheckedOutput() { setp(buffer_, buffer_ + sizeof buffer_); }

  // Whether nothing written to the stream waits to go out.
  bool holds_nothing() const { return pptr() == pbase(); }

 protected:
  int_type overflow(int_type c) override {
    drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override {
    drain();
    return 0;
  }

 private:
  void drain() {
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_, buffer_ + sizeof buffer_);
    if (size == 0) return;
    if (int error = platform::write_all(platform::standard_output, buffer_, size)) standard_output_failed(error);
  }

  char buffer_[4096];
};

// The buffer start_program gave std::cout.
CheckedOutput* checked_output = nullptr;

// At exit: whatever std::cout still holds goes out, and standard output is
// closed, so that an error the system reports only then is not lost.
void close_standard_output() {
  std::cout.flush();
  const int error = platform::close_file(platform::standard_output);
  if (error != 0 && error != EBADF) standard_output_failed(error);
}

void print_help(const ProgramHelp& help, const std::vector<ValueOption>* options) {
  std::cout << "Usage: " << help.name << " [OPTION]" << help.operands << "\n"
            << help.summary << "\n\n"
            << help.description << "\n"
            << "Options:\n";
  if (options != nullptr)
    for (const ValueOption& option : *options) std::cout << option.help;
  std::cout << "  -h, --help     print this help and exit\n"
               "      --version  print the program's name and the suite's version and exit\n"
               "\n"
               "Exit status:\n"
               "  0  the run completed\n"
               "  1  "
            << help.failures << "\n"
            << "  2  " << help.usage_errors << "\n"
            << std::flush;
}

[[noreturn]] void usage_error(const ProgramHelp& help, const std::string& argument) {
  std::cerr << help.name << ": unknown argument '" << quoted_token(argument) << "'; try --help"
            << std::endl;
  std::exit(2);
}

// The option that `argument` names ("--name" or "--name=value"), if any.
ValueOption* value_option(const std::string& argument, std::vector<ValueOption>* options) {
  if (options == nullptr) return nullptr;
  for (ValueOption& option : *options) {
    const std::string name = option.name;
    if (argument == name || argument.compare(0, name.size() + 1, name + "=") == 0) return &option;
  }
  return nullptr;
}

}  // namespace

std::vector<const char*> start_program(int argc, char** argv, const ProgramHelp& help,
                                       int max_operands, std::vector<ValueOption>* options) {
  program_name = help.name;
  platform::set_up_standard_streams();
  // Never released: std::cout is flushed at exit, after static objects go.
  checked_output = new CheckedOutput;
  std::cout.rdbuf(checked_output);
  std::atexit(close_standard_output);

  std::vector<const char*> operands;
  for (int k = 1; k < argc; k++) {
    const std::string argument = argv[k];
    if (argument == "-h" || argument == "--help") {
      print_help(help, options);
      std::exit(0);
    }
    if (argument == "--version") {
      std::cout << help.name << " (numlab) " << NUMLAB_VERSION << std::endl;
      std::exit(0);
    }
    if (ValueOption* option = value_option(argument, options)) {
      const size_t equals = argument.find('=');
      if (equals != std::string::npos) {
        option->value = argv[k] + equals + 1;
      } else if (k + 1 < argc) {
        option->value = argv[++k];
      } else {
        usage_error(help, argument);
      }
      continue;
    }
    const bool option = argument.size() > 1 && argument[0] == '-';
    if (option || static_cast<int>(operands.size()) == max_operands) usage_error(help, argument);
    operands.push_back(argv[k]);
  }
  return operands;
}

void print_line(TextLine& line) {
  // With nothing waiting in std::cout's own buffer, the line goes straight
  // to descriptor 1: the same one write(2) that `std::cout << line <<
  // std::endl` makes, without the stream's layers. Otherwise (a prompt
  // without its line end is waiting, or a test has given std::cout another
  // buffer) it goes through the stream, as before.
  if (checked_output != nullptr && std::cout.rdbuf() == checked_output && std::cout.good() &&
      checked_output->holds_nothing()) {
    if (int error = line.end(platform::standard_output)) standard_output_failed(error);
  } else {
    line.end(std::cout);
  }
}

void standard_output_failed(int error) {
  std::string message = std::string(program_name) + ": cannot write standard output: " +
                        std::strerror(error) + "\n";
  platform::write_all(platform::standard_error, message.data(), message.size());
  platform::exit_at_once(1);
}
