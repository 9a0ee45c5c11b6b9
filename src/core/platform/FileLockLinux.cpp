#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "core/platform/FileLock.h"

namespace cq {

namespace {

// flock locks belong to the open file, so two opens of one file exclude each other even within
// one process, and a lock ends with the last descriptor of its holder.
int OpenLocked(const std::filesystem::path& path, int how) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  int result;
  while ((result = ::flock(fd, how)) != 0 && errno == EINTR) {
  }
  if (result == 0) return fd;
  ::close(fd);
  return -1;
}

}  // namespace

TFileLock TFileLock::Wait(const std::filesystem::path& path) {
  return TFileLock(OpenLocked(path, LOCK_EX));
}

TFileLock TFileLock::Try(const std::filesystem::path& path) {
  return TFileLock(OpenLocked(path, LOCK_EX | LOCK_NB));
}

TFileLock::TFileLock(TFileLock&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kNone;
}

TFileLock& TFileLock::operator=(TFileLock&& other) noexcept {
  if (this != &other) {
    if (Held()) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

TFileLock::~TFileLock() {
  if (Held()) ::close(static_cast<int>(handle_));
}

}  // namespace cq
