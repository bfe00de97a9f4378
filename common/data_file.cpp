#include "data_file.h"

#include <cerrno>
#include <cstring>
#include <iostream>

namespace {

// The system's reason for the last failure; a stream that fails without
// setting errno (it should not happen on Linux) still gets a readable text.
const char* reason(int error) {
  return error != 0 ? std::strerror(error) : "unknown error";
}

}  // namespace

DataFile::DataFile(const char* program, const char* name)
    : program_(program), name_(name) {
  errno = 0;
  stream_.open(name, std::ios::out | std::ios::trunc);
  opened_ = stream_.is_open();
  if (!opened_) {
    std::cerr << program_ << ": cannot open " << name_
              << " for writing: " << reason(errno) << std::endl;
  }
}

void DataFile::note_failure() {
  // Only the first failure is kept: it carries the reason. Once the stream
  // has failed, later writes do nothing and leave errno meaningless.
  if (!stream_ && write_error_ == 0) write_error_ = errno != 0 ? errno : EIO;
}

bool DataFile::close() {
  if (!opened_) return false;
  errno = 0;
  stream_.close();
  note_failure();
  opened_ = false;
  if (write_error_ != 0) {
    std::cerr << program_ << ": cannot write " << name_ << ": "
              << reason(write_error_) << std::endl;
    return false;
  }
  return true;
}
