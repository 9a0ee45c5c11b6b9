#include "core/config/IniFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "core/platform/Text.h"

namespace fs = std::filesystem;

namespace cq {

namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// An exclusive lock on the file's folder for as long as it lives. The file itself cannot carry
// the lock: every write replaces it with a new file.
class FolderLock {
 public:
  explicit FolderLock(const fs::path& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

}  // namespace

TIniFile::TIniFile(fs::path path) : path_(std::move(path)) {}

void TIniFile::Refresh() {
  struct stat info {};
  Stamp now;
  if (::stat(path_.c_str(), &info) == 0) {
    now = {static_cast<std::uintmax_t>(info.st_ino), static_cast<std::uintmax_t>(info.st_size),
           static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
  }
  if (now == stamp_) return;
  lines_.clear();
  std::ifstream file(path_, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
  }
  stamp_ = now;
  ParseLines();
}

void TIniFile::ParseLines() {
  sections_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = Trim(lines_[i]);
    if (line.size() >= 2 && line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name =
          line.substr(1, (close == std::string_view::npos ? line.size() : close) - 1);
      sections_.push_back({std::string(Trim(name)), i, {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (sections_.empty() || equals == std::string_view::npos) continue;
    sections_.back().Entries.push_back(
        {std::string(Trim(line.substr(0, equals))), std::string(Trim(line.substr(equals + 1))), i});
  }
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  // Windows merges sections of one name: the first that holds the key answers.
  for (Section& section : sections_) {
    if (EqualsIgnoringLatinCase(section.Name, name)) return &section;
  }
  return nullptr;
}

std::vector<std::string> TIniFile::SectionNames() {
  Refresh();
  std::vector<std::string> names;
  for (const Section& section : sections_) {
    if (section.Entries.empty()) continue;
    bool seen = false;
    for (const std::string& name : names)
      seen = seen || EqualsIgnoringLatinCase(name, section.Name);
    if (!seen) names.push_back(section.Name);
  }
  return names;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) {
  Refresh();
  for (const Section& candidate : sections_) {
    if (!EqualsIgnoringLatinCase(candidate.Name, section)) continue;
    for (const Entry& entry : candidate.Entries) {
      if (EqualsIgnoringLatinCase(entry.Key, key)) return entry.Text;
    }
  }
  return std::nullopt;
}

bool TIniFile::Write(std::string_view section, std::string_view key, std::string_view text) {
  // What the file could not give back unchanged is not written at all.
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(text) ||
      section.find(']') != section.npos || key.find('=') != key.npos || Trim(key).empty() ||
      Trim(key).front() == '[') {
    return false;
  }
  const FolderLock lock(path_.has_parent_path() ? path_.parent_path() : fs::path("."));
  Refresh();
  std::vector<std::string> lines = lines_;
  const std::string entryLine = std::string(key) + "=" + std::string(text);
  Section* target = FindSection(section);
  if (target == nullptr) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entryLine);
  } else {
    bool replaced = false;
    for (Section& candidate : sections_) {
      if (replaced || !EqualsIgnoringLatinCase(candidate.Name, section)) continue;
      for (const Entry& entry : candidate.Entries) {
        if (!replaced && EqualsIgnoringLatinCase(entry.Key, key)) {
          lines[entry.Line] = entryLine;
          replaced = true;
        }
      }
    }
    if (!replaced) {
      const std::size_t after =
          target->Entries.empty() ? target->HeaderLine : target->Entries.back().Line;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after + 1), entryLine);
    }
  }
  return Save(lines);
}

bool TIniFile::Save(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  const fs::path folder = path_.has_parent_path() ? path_.parent_path() : fs::path(".");
  std::string temp = (folder / (path_.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // The new file keeps the old one's permissions; a first file is readable by all.
  struct stat old {};
  const mode_t mode = ::stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  const bool ok = WriteAll(fd, text) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!ok || !closed || ::rename(temp.c_str(), path_.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // Force a re-read next time, which also picks up the new line numbers.
  stamp_ = {};
  return true;
}

}  // namespace cq
