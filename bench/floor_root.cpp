// The floor of the two ROOT programs: the same TRandom::Gaus calls and the
// same write(2) calls, with the same bytes, as the program, and nothing else.
// The bytes are the program's own output from an earlier run.
//
//   floor_root gaussian_errors CONSOLE DATA N
//       3 prompt writes, N Gaus calls, then 100 x (console line, data line)
//   floor_root poly_deriv CONSOLE POLY DERIV N
//       3 prompt writes, N x (Gaus call, console line, poly.dat line), then
//       N - 2 x (console line, deriv.dat line)
#include <TRandom.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Lines {
  std::string text;
  size_t at = 0;
  explicit Lines(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) { std::perror(path); std::exit(2); }
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  void write_next(int fd) {
    size_t n = text.find('\n', at) + 1 - at;
    if (write(fd, text.data() + at, n) != static_cast<ssize_t>(n)) std::exit(3);
    at += n;
  }
};

int open_data(const char* name) {
  int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) { std::perror(name); std::exit(2); }
  return fd;
}

}  // namespace

int main(int argc, char** argv) {
  volatile double sink = 0;
  if (argc == 5 && std::strcmp(argv[1], "gaussian_errors") == 0) {
    Lines console(argv[2]), data(argv[3]);
    long n = std::atol(argv[4]);
    int fd = open_data("gaussian_errors.dat");
    for (int k = 0; k < 3; k++) console.write_next(1);
    TRandom random(65539);
    for (long i = 0; i < n; i++) sink = random.Gaus(0.0, 1.0);
    for (int k = 0; k < 100; k++) {
      console.write_next(1);
      data.write_next(fd);
    }
    close(fd);
  } else if (argc == 6 && std::strcmp(argv[1], "poly_deriv") == 0) {
    Lines console(argv[2]), poly(argv[3]), deriv(argv[4]);
    long n = std::atol(argv[5]);
    int poly_fd = open_data("poly.dat"), deriv_fd = open_data("deriv.dat");
    for (int k = 0; k < 3; k++) console.write_next(1);
    TRandom random(65539);
    for (long i = 0; i < n; i++) {
      sink = random.Gaus(0.0, 1.0);
      console.write_next(1);
      poly.write_next(poly_fd);
    }
    for (long i = 1; i < n - 1; i++) {
      console.write_next(1);
      deriv.write_next(deriv_fd);
    }
    close(poly_fd);
    close(deriv_fd);
  } else {
    std::fprintf(stderr, "usage: floor_root gaussian_errors CONSOLE DATA N\n"
                         "       floor_root poly_deriv CONSOLE POLY DERIV N\n");
    return 2;
  }
  (void)sink;
  return 0;
}
