#include "core/config/IniFile.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

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

}  // namespace

TIniFile::TIniFile(fs::path path) : path_(std::move(path)) {}

void TIniFile::Refresh() {
  std::error_code error;
  const auto stamp = fs::last_write_time(path_, error);
  const auto size = error ? static_cast<std::uintmax_t>(-1) : fs::file_size(path_, error);
  if (!error && stamp == stamp_ && size == size_) return;
  lines_.clear();
  if (!error) {
    std::ifstream file(path_, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines_.push_back(std::move(line));
    }
    stamp_ = stamp;
    size_ = size;
  } else {
    stamp_ = {};
    size_ = static_cast<std::uintmax_t>(-1);
  }
  ParseLines();
}

void TIniFile::ParseLines() {
  sections_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = Trim(lines_[i]);
    if (line.size() >= 2 && line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name = line.substr(1, (close == std::string_view::npos ? line.size() : close) - 1);
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
    for (const std::string& name : names) seen = seen || EqualsIgnoringLatinCase(name, section.Name);
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
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool ok = written == text.size() && ::fsync(fd) == 0;
  ::close(fd);
  std::error_code error;
  if (ok) {
    fs::permissions(temp, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read, error);
    fs::rename(temp, path_, error);
  }
  if (!ok || error) {
    fs::remove(temp, error);
    return false;
  }
  // Force a re-read next time, which also picks up the new line numbers.
  size_ = static_cast<std::uintmax_t>(-1);
  return true;
}

}  // namespace cq
