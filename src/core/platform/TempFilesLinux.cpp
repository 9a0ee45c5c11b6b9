#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/platform/TempFiles.h"

namespace cq {

std::string WriteTempFile(std::string_view data, std::string_view extension) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return "";
  // mkstemps creates the file under its final name, so no name is ever handed out twice.
  std::string name = (folder / "cq").string() + "XXXXXX" + std::string(extension);
  const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
  if (fd < 0) return "";
  std::size_t written = 0;
  while (written < data.size()) {
    const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool closed = ::close(fd) == 0;
  if (written != data.size() || !closed) {
    ::unlink(name.c_str());
    return "";
  }
  return name;
}

}  // namespace cq
