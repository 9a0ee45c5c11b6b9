#include "core/transfer/FileText.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace cq {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void ThrowIoError(int code, const std::string& what) {
  throw std::system_error(code, std::generic_category(), what);
}

}  // namespace

std::string ReadFileText(const std::string& fileName) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
  if (!file) ThrowIoError(errno, "Cannot open " + fileName);
  std::error_code ignored;
  const std::uintmax_t size = std::filesystem::file_size(fileName, ignored);
  // The size known beforehand is read in one go, one byte more to meet the end at once; a file
  // that grows meanwhile is read to its end.
  std::string text(ignored ? 1 : static_cast<std::size_t>(size) + 1, '\0');
  std::size_t length = std::fread(text.data(), 1, text.size(), file.get());
  while (length == text.size() && !std::ferror(file.get()) && !std::feof(file.get())) {
    text.resize(length + 65536);
    length += std::fread(text.data() + length, 1, 65536, file.get());
  }
  text.resize(length);
  if (std::ferror(file.get())) ThrowIoError(errno != 0 ? errno : EIO, "Cannot read " + fileName);
  // There is no first byte to read: callers see an empty body as a failed fetch.
  if (text.empty()) throw std::runtime_error("Read beyond end of file");
  return text;
}

void WriteFileText(std::string_view text, const std::string& fileName) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
  if (!file) ThrowIoError(errno, "Cannot create " + fileName);
  if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size()) {
    ThrowIoError(errno, "Cannot write " + fileName);
  }
  if (std::fclose(file.release()) != 0) ThrowIoError(errno, "Cannot write " + fileName);
}

}  // namespace cq
