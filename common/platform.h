// The one place the programs call the operating system. POSIX systems use
// platform_posix.cpp, Windows platform_windows.cpp; nothing else in the
// programs includes a system header.
//
// Files are plain C descriptors (0, 1 and 2 are the standard streams), and
// errors are errno values, which std::strerror turns into the reason a
// message gives.
#pragma once

#include <cstddef>

namespace platform {

constexpr int standard_output = 1;
constexpr int standard_error = 2;

// Puts the standard streams in order before a program reads or writes:
// - one of 0, 1 and 2 that the program was started without is opened on
//   the null device, so that a Data file never takes its number and a
//   message meant for the terminal never lands in a table; it is opened so
//   that using it fails (reading at 0, writing at 1 and 2), as using a
//   closed stream would;
// - on Windows, standard output and standard error are set to binary mode,
//   so that a line ends in "\n" alone, as on every other system (standard
//   input stays in text mode: an answer typed at the console ends in "\n").
// Ends the process with status 1 where there is no null device to open.
void set_up_standard_streams();

// Sends standard output and standard error to the null device, where
// writing succeeds: for a process that must stay quiet, as every MPI rank
// but the first. Ends the process with status 1 where there is none.
void silence_standard_output();

// Opens `name` for writing in binary mode, creating it, without emptying
// it. Returns the descriptor, or -1 with `error` set.
int open_for_writing(const char* name, int& error);

enum class Claim {
  claimed,        // this run holds the file's lock
  shared_device,  // a device such as the null device: neither locked nor emptied
  busy,           // another run holds the lock; the file is left as it is
};

// Takes this run's lock on a file open for writing, without emptying it. A
// system or file system without locks only loses the protection. The lock
// goes when the descriptor is closed, or the process ends.
//   POSIX: flock(LOCK_EX | LOCK_NB), advisory.
//   Windows: LockFileEx over the whole file, exclusive and failing at once.
Claim lock_data_file(int fd);

// Empties a file this run has locked. Returns 0, or the errno of the failure.
int empty_data_file(int fd);

// Cuts a file this run has locked back to its first `size` bytes. Returns
// 0, or the errno of the failure.
int cut_data_file(int fd, long long size);

// Writes all `size` bytes, retrying short and interrupted writes. Returns 0,
// or the errno of the write that failed.
int write_all(int fd, const char* data, std::size_t size);

// Closes a descriptor. Returns 0, or the errno of a failure (a file system
// may report a lost write only then); EBADF when it was not open.
int close_file(int fd);

// Ends the process at once with `status`: no exit handlers, no flushing.
[[noreturn]] void exit_at_once(int status);

// Bytes of physical memory on this machine; the largest size_t when the
// system does not say.
std::size_t physical_memory();

}  // namespace platform
