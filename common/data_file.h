// A Data file: a plain-text table written one record per line, fields
// separated by a single blank, every line written out as soon as it ends
// (as std::endl would flush it), with one system write per line.
//
// Opening empties the file, once the run holds a lock on it: a
// file that another running program of the suite is writing is refused, and
// left as it is. A file that cannot be opened, or a write that
// fails later (a full disk), is reported on standard error as one line naming
// the program, the file and the system's reason, so a run never loses its
// table without a word.
#pragma once

#include <initializer_list>
#include <string>

#include "text_line.h"

class DataFile {
 public:
  // When the file is emptied: now, or when claim_together empties a
  // program's Data files at once, every one of them open and locked first.
  enum class Emptying { now, together };

  // Opens `name` in the working directory for output, locks it and (now)
  // empties it. On failure prints "<program>: cannot open <name> for
  // writing: <reason>", or "<program>: <name> is being written by another
  // run; ..." (together: keeps the message for claim_together to print).
  DataFile(const char* program, const char* name, Emptying emptying = Emptying::now);

  // Closes a file that close() was not called for, without a report.
  ~DataFile();

  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  bool is_open() const { return fd_ >= 0; }

  // Writes the fields separated by " " and ends the line. Each field is
  // formatted as a default stream would format it on its own (see
  // TextLine). After a failed write the file takes no more lines, so it
  // never holds a table with a gap in it, and is cut back to its last
  // whole line (a full disk may take part of a line), so that no cut
  // number reads as data.
  template <class First, class... Rest>
  void line(const First& first, const Rest&... rest) {
    if (fd_ < 0 || write_error_ != 0) return;
    line_ << first;
    ((line_ << ' ' << rest), ...);
    const long long bytes = static_cast<long long>(line_.size()) + 1;
    write_error_ = line_.end(fd_);
    if (write_error_ == 0) {
      whole_bytes_ += bytes;
    } else {
      cut_to_whole_lines();
    }
  }

  // Closes the file. Returns false, after printing
  // "<program>: cannot write <name>: <reason>", if any write failed.
  bool close();

 private:
  friend bool claim_together(std::initializer_list<DataFile*> files);
  friend bool close_together(std::initializer_list<DataFile*> files);

  // Closes the file with no report: the error of its first failed write, 0
  // when every line was written, -1 when it was not open.
  int finish();

  // Reports "<program>: <why>" and leaves the file closed: no line is
  // written to it.
  void refuse(const std::string& why);
  // Empties the file once it is locked: false, after the report, if it
  // cannot be.
  bool empty();
  // Closes the file as it is, with no report.
  void abandon();
  // After a failed write: the file back to the lines written whole.
  void cut_to_whole_lines();

  std::string program_;
  std::string name_;
  int fd_ = -1;
  bool locked_ = false;  // a regular file under this run's lock, to empty
  Emptying emptying_;
  std::string refusal_;  // with Emptying::together, the report kept
  TextLine line_;
  int write_error_ = 0;
  long long whole_bytes_ = 0;  // the lines written whole, in bytes
};

// A program's several Data files, claimed as one: every file is opened and
// locked before any is emptied, so that a refused run (one of them cannot
// be opened, or another run is writing it) leaves all of them as they were,
// and a run started while another closes its files one by one cannot empty
// a file the other has finished. Each file is made with Emptying::together.
// Returns true with every file open and empty; otherwise prints the first
// refusal, closes every file as it was, and returns false.
bool claim_together(std::initializer_list<DataFile*> files);

// A program's several Data files, closed as one: every file is closed, and
// the ones whose writes failed are reported in one line,
// "<program>: cannot write <name> and <name>: <reason>" (each file with its
// own reason when they differ). Returns whether every file was written.
bool close_together(std::initializer_list<DataFile*> files);
