#pragma once

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace cq::test {

// A small tmpfs mounted at a folder of the test's own, to play a full disk. The test runs in a
// mount namespace of its own (tests/drills/own-mounts), so the mount is seen by nobody else and
// goes with the process. When no namespace or mount can be had here, Failure() says why.
class SmallDisk {
 public:
  SmallDisk(const std::string& folder, std::uint64_t bytes) : folder_(folder) {
    if (const char* refused = std::getenv("CQ_NO_MOUNT")) {
      failure_ = refused;
      return;
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=700";
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
      failure_ = "cannot mount a tmpfs at " + folder_ + ": " + std::strerror(errno) +
                 " (run as root, or where unshare -rm works)";
      return;
    }
    mounted_ = true;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Failure() const { return failure_; }
  const std::string& Folder() const { return folder_; }

  std::uint64_t FreeBytes() const {
    struct statvfs info {};
    if (::statvfs(folder_.c_str(), &info) != 0) return 0;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  }

  // Takes up all free space but `leave` bytes (rounded down to whole pages), with a file of its
  // own.
  void FillLeaving(std::uint64_t leave) {
    const std::uint64_t free = FreeBytes();
    if (free <= leave) return;
    std::ofstream filler(folder_ + "/filler-" + std::to_string(fillers_++), std::ios::binary);
    const std::vector<char> zeros(4096, '\0');
    for (std::uint64_t left = free - leave; left >= zeros.size(); left -= zeros.size())
      filler.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  // Gives the space taken by FillLeaving back.
  void Unfill() {
    for (int i = 0; i < fillers_; ++i)
      std::remove((folder_ + "/filler-" + std::to_string(i)).c_str());
    fillers_ = 0;
  }

 private:
  std::string folder_;
  std::string failure_;
  bool mounted_ = false;
  int fillers_ = 0;
};

}  // namespace cq::test
