#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform.h"

namespace platform {

namespace {

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

void set_up_standard_streams() {
  for (int fd = 0; fd <= 2; fd++) {
    if (handle_of(fd) != INVALID_HANDLE_VALUE) continue;
    // Opened so that using it fails, as on POSIX: a read at 0, a write at 1
    // and 2.
    const int null = _open("NUL", fd == 0 ? _O_WRONLY : _O_RDONLY);
    if (null < 0) _exit(1);
    if (null != fd) {
      _dup2(null, fd);
      _close(null);
    }
  }
  // Text mode would write every "\n" as "\r\n".
  _setmode(standard_output, _O_BINARY);
  _setmode(standard_error, _O_BINARY);
}

void silence_standard_output() {
  const int null = _open("NUL", _O_WRONLY);
  if (null < 0) _exit(1);
  _dup2(null, standard_output);
  _dup2(null, standard_error);
  if (null > standard_error) _close(null);
}

int open_for_writing(const char* name, int& error) {
  // _open shares the file for reading and writing, so that a second run can
  // open it and find the lock taken.
  const int fd = _open(name, _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  error = fd < 0 ? errno : 0;
  return fd;
}

Claim lock_data_file(int fd) {
  const HANDLE file = handle_of(fd);
  if (GetFileType(file) != FILE_TYPE_DISK) return Claim::shared_device;
  OVERLAPPED whole_file = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                  &whole_file) &&
      GetLastError() == ERROR_LOCK_VIOLATION)
    return Claim::busy;
  return Claim::claimed;
}

int empty_data_file(int fd) { return cut_data_file(fd, 0); }

int cut_data_file(int fd, long long size) { return _chsize_s(fd, size); }

int write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const unsigned chunk = size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
    const int written = _write(fd, data, chunk);
    if (written < 0) {
      // The C library says EINVAL when the reader of a pipe has gone.
      const DWORD reason = GetLastError();
      if (reason == ERROR_NO_DATA || reason == ERROR_BROKEN_PIPE || reason == ERROR_PIPE_NOT_CONNECTED)
        return EPIPE;
      return errno;
    }
    // A full disk may take fewer bytes and report no error.
    if (written == 0) return ENOSPC;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int close_file(int fd) { return _close(fd) == 0 ? 0 : errno; }

void exit_at_once(int status) { _exit(status); }

std::size_t physical_memory() {
  MEMORYSTATUSEX status;
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status) || status.ullTotalPhys == 0) return static_cast<std::size_t>(-1);
  return static_cast<std::size_t>(status.ullTotalPhys);
}

}  // namespace platform
