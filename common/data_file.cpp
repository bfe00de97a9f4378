#include "data_file.h"

#include <cstring>
#include <iostream>

#include "platform.h"

DataFile::DataFile(const char* program, const char* name)
    : program_(program), name_(name) {
  // Opened without emptying it: the file is emptied only once this run holds
  // its lock, so a second run never empties the table a first is writing.
  int error = 0;
  fd_ = platform::open_for_writing(name, error);
  if (fd_ < 0) {
    refuse("cannot open " + name_ + " for writing: " + std::strerror(error));
    return;
  }
  switch (platform::claim_data_file(fd_, error)) {
    case platform::Claim::claimed:
    case platform::Claim::shared_device:
      return;
    case platform::Claim::busy:
      refuse(name_ + " is being written by another run; try again when it has finished");
      return;
    case platform::Claim::failed:
      refuse("cannot open " + name_ + " for writing: " + std::strerror(error));
      return;
  }
}

void DataFile::refuse(const std::string& why) {
  std::cerr << program_ << ": " << why << std::endl;
  if (fd_ >= 0) platform::close_file(fd_);
  fd_ = -1;
}

DataFile::~DataFile() {
  if (fd_ >= 0) platform::close_file(fd_);
}

bool DataFile::close() {
  if (fd_ < 0) return false;
  // A file system may report a lost write only when the file is closed.
  const int close_error = platform::close_file(fd_);
  if (write_error_ == 0) write_error_ = close_error;
  fd_ = -1;
  if (write_error_ != 0) {
    std::cerr << program_ << ": cannot write " << name_ << ": "
              << std::strerror(write_error_) << std::endl;
    return false;
  }
  return true;
}
