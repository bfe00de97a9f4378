#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform.h"

namespace platform {

void set_up_standard_streams() {
  for (int fd = 0; fd <= 2; fd++) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is fd itself, since the ones below are open.
    const int null = open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (null < 0) _exit(1);  // no /dev/null: nothing safe to run with
    if (null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

void silence_standard_output() {
  const int null = open("/dev/null", O_WRONLY);
  if (null < 0) _exit(1);
  dup2(null, standard_output);
  dup2(null, standard_error);
  if (null > standard_error) close(null);
}

int open_for_writing(const char* name, int& error) {
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  error = fd < 0 ? errno : 0;
  return fd;
}

Claim lock_data_file(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return Claim::shared_device;
  // A file system without locks (ENOLCK) only loses the protection.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return Claim::busy;
  return Claim::claimed;
}

int empty_data_file(int fd) { return cut_data_file(fd, 0); }

int cut_data_file(int fd, long long size) {
  return ::ftruncate(fd, static_cast<off_t>(size)) != 0 ? errno : 0;
}

int write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int close_file(int fd) { return ::close(fd) == 0 ? 0 : errno; }

void exit_at_once(int status) { _exit(status); }

std::size_t physical_memory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return static_cast<std::size_t>(-1);
  return static_cast<std::size_t>(pages) * static_cast<std::size_t>(page_size);
}

}  // namespace platform
