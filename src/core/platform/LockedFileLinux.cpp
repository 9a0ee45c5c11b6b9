#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/platform/LockedFile.h"

namespace cq {

namespace {

std::error_code LastError() {
  return {errno != 0 ? errno : EIO, std::generic_category()};
}

// The file is made nameless, locked, and only then linked under its name, so that nobody sees it
// unlocked. File systems without nameless files get it created under its name and locked at once.
int CreateLocked(const std::filesystem::path& path) {
  const int nameless = ::open(path.parent_path().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (nameless >= 0) {
    const std::string self = "/proc/self/fd/" + std::to_string(nameless);
    if (::flock(nameless, LOCK_EX | LOCK_NB) == 0 &&
        ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return nameless;
    const int error = errno;
    ::close(nameless);
    if (error == EEXIST) {
      errno = error;
      return -1;
    }
  }
  const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  ::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

}  // namespace

TLockedFile::~TLockedFile() {
  if (out_ != nullptr) std::fclose(out_);
  if (lock_ != kNone) ::close(static_cast<int>(lock_));
}

std::error_code TLockedFile::Create(const std::filesystem::path& path) {
  const int fd = CreateLocked(path);
  if (fd < 0) return LastError();
  lock_ = fd;
  // Written through a second descriptor of the same open file, which shares the lock: closing
  // it ends the writing and keeps the lock.
  const int writer = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  out_ = writer >= 0 ? ::fdopen(writer, "wb") : nullptr;
  if (out_ != nullptr) return {};
  const std::error_code error = LastError();
  if (writer >= 0) ::close(writer);
  return error;
}

std::error_code TLockedFile::Write(const char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, out_) == size) return {};
  return LastError();
}

std::error_code TLockedFile::Close() {
  if (out_ == nullptr) return {};
  const bool closed = std::fclose(out_) == 0;
  out_ = nullptr;
  return closed ? std::error_code() : LastError();
}

}  // namespace cq
