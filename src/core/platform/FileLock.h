#pragma once

#include <cstdint>
#include <filesystem>

namespace cq {

// An exclusive lock on a file or folder, held for as long as the object lives. The system drops
// it when its holder ends, however that ends, so a lock that can be taken marks a file whose
// writer is gone.
class TFileLock {
 public:
  // Waits for the lock; holds none when the file cannot be opened.
  static TFileLock Wait(const std::filesystem::path& path);
  // Takes the lock only when nobody holds it; holds none otherwise.
  static TFileLock Try(const std::filesystem::path& path);

  TFileLock() = default;
  TFileLock(TFileLock&& other) noexcept;
  TFileLock& operator=(TFileLock&& other) noexcept;
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;
  ~TFileLock();

  bool Held() const { return handle_ != kNone; }

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit TFileLock(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_ = kNone;
};

}  // namespace cq
