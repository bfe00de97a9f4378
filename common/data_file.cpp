#include "data_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

DataFile::DataFile(const char* program, const char* name)
    : program_(program), name_(name) {
  fd_ = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    std::cerr << program_ << ": cannot open " << name_
              << " for writing: " << std::strerror(errno) << std::endl;
  }
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
