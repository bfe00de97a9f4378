#include "data_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

DataFile::DataFile(const char* program, const char* name)
    : program_(program), name_(name) {
  // Opened without truncation: the file is emptied only once this run holds
  // its lock, so a second run never empties the table a first is writing.
  fd_ = ::open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    const char* reason = std::strerror(errno);
    refuse("cannot open " + name_ + " for writing: " + reason);
    return;
  }
  // Only a regular file is locked and emptied. A device such as /dev/null
  // or /dev/full is shared by every program that writes to it and has
  // nothing to empty.
  struct stat status;
  if (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) return;
  // A file system without locks (ENOLCK) only loses the protection.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    refuse(name_ + " is being written by another run; try again when it has finished");
    return;
  }
  if (::ftruncate(fd_, 0) != 0) {
    const char* reason = std::strerror(errno);
    refuse("cannot open " + name_ + " for writing: " + reason);
  }
}

void DataFile::refuse(const std::string& why) {
  std::cerr << program_ << ": " << why << std::endl;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

DataFile::~DataFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool DataFile::close() {
  if (fd_ < 0) return false;
  // A file system may report a lost write only when the file is closed.
  if (::close(fd_) != 0 && write_error_ == 0) write_error_ = errno;
  fd_ = -1;
  if (write_error_ != 0) {
    std::cerr << program_ << ": cannot write " << name_ << ": "
              << std::strerror(write_error_) << std::endl;
    return false;
  }
  return true;
}
