// A Data file: a plain-text table written one record per line, fields
// separated by a single blank, every line ended by std::endl (which flushes).
//
// Opening truncates the file. A file that cannot be opened, or a write that
// fails later (a full disk), is reported on standard error as one line naming
// the program, the file and the system's reason, so a run never loses its
// table without a word.
#pragma once

#include <fstream>
#include <string>

#include "text_line.h"

class DataFile {
 public:
  // Opens `name` in the working directory for output with truncation.
  // On failure prints "<program>: cannot open <name> for writing: <reason>".
  DataFile(const char* program, const char* name);

  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  bool is_open() const { return opened_; }

  // Writes the fields separated by " " and ends the line as std::endl does
  // (one write of the line, then a flush). Each field is formatted as the
  // stream would format it on its own (see TextLine).
  template <class First, class... Rest>
  void line(const First& first, const Rest&... rest) {
    line_ << first;
    ((line_ << ' ' << rest), ...);
    line_.end(stream_);
    note_failure();
  }

  // Closes the file. Returns false, after printing
  // "<program>: cannot write <name>: <reason>", if any write failed.
  bool close();

 private:
  void note_failure();

  std::string program_;
  std::string name_;
  std::ofstream stream_;
  TextLine line_;
  bool opened_ = false;
  int write_error_ = 0;
};
