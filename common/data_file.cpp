#include "data_file.h"

#include <cstring>
#include <iostream>

#include "platform.h"

DataFile::DataFile(const char* program, const char* name, Emptying emptying)
    : program_(program), name_(name), emptying_(emptying) {
  // Opened without emptying it: the file is emptied only once this run holds
  // its lock, so a second run never empties the table a first is writing.
  int error = 0;
  fd_ = platform::open_for_writing(name, error);
  if (fd_ < 0) {
    refuse("cannot open " + name_ + " for writing: " + std::strerror(error));
    return;
  }
  switch (platform::lock_data_file(fd_)) {
    case platform::Claim::claimed:
      locked_ = true;
      break;
    case platform::Claim::shared_device:
      break;
    case platform::Claim::busy:
      refuse(name_ + " is being written by another run; try again when it has finished");
      return;
  }
  if (emptying_ == Emptying::now) empty();
}

bool DataFile::empty() {
  if (fd_ < 0) return false;
  const int error = locked_ ? platform::empty_data_file(fd_) : 0;
  if (error != 0) refuse("cannot open " + name_ + " for writing: " + std::strerror(error));
  return error == 0;
}

void DataFile::refuse(const std::string& why) {
  if (emptying_ == Emptying::together) {
    refusal_ = program_ + ": " + why;
  } else {
    std::cerr << program_ << ": " << why << std::endl;
  }
  abandon();
}

void DataFile::cut_to_whole_lines() {
  // A device (the null device, /dev/full) has no end to cut back.
  if (locked_) platform::cut_data_file(fd_, whole_bytes_);
}

void DataFile::abandon() {
  if (fd_ >= 0) platform::close_file(fd_);
  fd_ = -1;
}

bool claim_together(std::initializer_list<DataFile*> files) {
  DataFile* refused = nullptr;
  for (DataFile* file : files)
    if (!file->is_open() && refused == nullptr) refused = file;
  if (refused == nullptr) {
    for (DataFile* file : files) {
      if (!file->empty()) {
        refused = file;
        break;
      }
    }
  }
  if (refused == nullptr) return true;
  std::cerr << refused->refusal_ << std::endl;
  for (DataFile* file : files) file->abandon();
  return false;
}

DataFile::~DataFile() {
  if (fd_ >= 0) platform::close_file(fd_);
}

bool DataFile::close() { return close_together({this}); }

int DataFile::finish() {
  if (fd_ < 0) return -1;
  // A file system may report a lost write only when the file is closed.
  const int close_error = platform::close_file(fd_);
  if (write_error_ == 0) write_error_ = close_error;
  fd_ = -1;
  return write_error_;
}

bool close_together(std::initializer_list<DataFile*> files) {
  std::string names, reason;
  bool written = true, one_reason = true;
  int failed = 0;
  for (DataFile* file : files) {
    const int error = file->finish();
    if (error == 0) continue;
    written = false;
    if (error < 0) continue;  // never opened: its refusal was the report
    const std::string why = std::strerror(error);
    if (failed > 0 && why != reason) one_reason = false;
    names += (failed > 0 ? " and " : "") + file->name_;
    if (failed == 0) reason = why;
    failed++;
  }
  if (failed == 0) return written;
  // One line, however many files failed: one disk, most often one reason.
  std::cerr << (*files.begin())->program_ << ": cannot write ";
  if (one_reason) {
    std::cerr << names << ": " << reason;
  } else {
    const char* separator = "";
    for (DataFile* file : files) {
      if (file->write_error_ <= 0) continue;
      std::cerr << separator << file->name_ << ": " << std::strerror(file->write_error_);
      separator = "; ";
    }
  }
  std::cerr << std::endl;
  return written;
}
