#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace cq {

// A new file that carries a lock (see TFileLock) from the moment its name appears until the
// object ends, so that others tell a file still being written from one whose writer is gone.
class TLockedFile {
 public:
  TLockedFile() = default;
  TLockedFile(const TLockedFile&) = delete;
  TLockedFile& operator=(const TLockedFile&) = delete;
  ~TLockedFile();

  // Creates `path`, which must not exist yet, locked and open for writing.
  std::error_code Create(const std::filesystem::path& path);
  bool IsOpen() const { return out_ != nullptr; }
  std::error_code Write(const char* data, std::size_t size);
  // Ends the writing and answers the error of the last writes; the lock stays until the object
  // ends, so the file can still be moved into place under it.
  std::error_code Close();

 private:
  static constexpr std::intptr_t kNone = -1;

  std::intptr_t lock_ = kNone;
  std::FILE* out_ = nullptr;
};

}  // namespace cq
