#include "core/config/IniFile.h"

#include <deque>
#include <fstream>
#include <unordered_set>

#include "core/platform/FileLock.h"
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

// An entry the file could give back unchanged: one line, a key that reads as a key.
bool FitsOneLine(const TIniEntry& entry) {
  const std::string_view key = Trim(entry.Key);
  return !HasLineBreak(entry.Section) && !HasLineBreak(entry.Key) && !HasLineBreak(entry.Text) &&
         entry.Section.find(']') == std::string::npos && entry.Key.find('=') == std::string::npos &&
         !key.empty() && key.front() != '[';
}

}  // namespace

TIniFile::TIniFile(fs::path path) : path_(std::move(path)) {}

void TIniFile::Refresh() {
  const TFileStamp now = StampOf(path_).value_or(TFileStamp{});
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
  sectionsByName_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = Trim(lines_[i]);
    if (line.size() >= 2 && line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name =
          line.substr(1, (close == std::string_view::npos ? line.size() : close) - 1);
      sectionsByName_[LowerLatin(Trim(name))].push_back(sections_.size());
      sections_.push_back({std::string(Trim(name)), i, {}, {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (sections_.empty() || equals == std::string_view::npos) continue;
    Section& section = sections_.back();
    const std::string_view key = Trim(line.substr(0, equals));
    section.FirstEntry.try_emplace(LowerLatin(key), section.Entries.size());
    section.Entries.push_back({std::string(key), std::string(Trim(line.substr(equals + 1))), i});
  }
}

const TIniFile::Entry* TIniFile::FindEntry(std::string_view section, std::string_view key) const {
  // Windows merges sections of one name: the first that holds the key answers.
  const auto sections = sectionsByName_.find(LowerLatin(section));
  if (sections == sectionsByName_.end()) return nullptr;
  const std::string foldedKey = LowerLatin(key);
  for (const std::size_t index : sections->second) {
    const Section& candidate = sections_[index];
    const auto entry = candidate.FirstEntry.find(foldedKey);
    if (entry != candidate.FirstEntry.end()) return &candidate.Entries[entry->second];
  }
  return nullptr;
}

std::vector<std::string> TIniFile::SectionNames() {
  Refresh();
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Section& section : sections_) {
    if (!section.Entries.empty() && seen.insert(LowerLatin(section.Name)).second) {
      names.push_back(section.Name);
    }
  }
  return names;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) {
  Refresh();
  if (const Entry* entry = FindEntry(section, key)) return entry->Text;
  return std::nullopt;
}

bool TIniFile::Write(std::string_view section, std::string_view key, std::string_view text) {
  return Write({{std::string(section), std::string(key), std::string(text)}});
}

bool TIniFile::Write(const std::vector<TIniEntry>& entries) {
  // The folder carries the lock: every write replaces the file itself with a new one.
  const TFileLock lock =
      TFileLock::Wait(path_.has_parent_path() ? path_.parent_path() : fs::path("."));
  Refresh();
  // The new lines: in place of an entry, after a section's last line, or in new sections.
  std::unordered_map<std::size_t, std::string> replaced;
  // Deques: the batch keeps pointers to their lines while they grow.
  std::unordered_map<std::size_t, std::deque<std::string>> addedAfter;
  std::deque<std::pair<std::string, std::deque<std::string>>> newSections;
  std::unordered_map<std::string, std::size_t> newSectionByName;
  // Section and key without case -> the line that holds the batch's entry, to let a later one win.
  std::unordered_map<std::string, std::string*> batchLines;
  bool allWritable = true;
  for (const TIniEntry& entry : entries) {
    if (!FitsOneLine(entry)) {
      allWritable = false;
      continue;
    }
    const std::string line = entry.Key + "=" + entry.Text;
    const std::string batchKey = LowerLatin(entry.Section) + "]" + LowerLatin(Trim(entry.Key));
    if (const auto earlier = batchLines.find(batchKey); earlier != batchLines.end()) {
      *earlier->second = line;
    } else if (const Entry* existing = FindEntry(entry.Section, Trim(entry.Key))) {
      batchLines[batchKey] = &(replaced[existing->Line] = line);
    } else if (const auto sections = sectionsByName_.find(LowerLatin(entry.Section));
               sections != sectionsByName_.end()) {
      const Section& target = sections_[sections->second.front()];
      const std::size_t after =
          target.Entries.empty() ? target.HeaderLine : target.Entries.back().Line;
      batchLines[batchKey] = &addedAfter[after].emplace_back(line);
    } else {
      auto [position, added] =
          newSectionByName.try_emplace(LowerLatin(entry.Section), newSections.size());
      if (added) newSections.push_back({entry.Section, {}});
      batchLines[batchKey] = &newSections[position->second].second.emplace_back(line);
    }
  }
  if (batchLines.empty()) return allWritable;
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto replacement = replaced.find(i);
    text += (replacement != replaced.end() ? replacement->second : lines_[i]) + "\r\n";
    if (const auto added = addedAfter.find(i); added != addedAfter.end()) {
      for (const std::string& line : added->second) text += line + "\r\n";
    }
  }
  bool lastLineBlank = lines_.empty() || Trim(lines_.back()).empty();
  for (const auto& [name, lines] : newSections) {
    if (!lastLineBlank) text += "\r\n";
    text += "[" + name + "]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    lastLineBlank = false;
  }
  return Save(text) && allWritable;
}

bool TIniFile::Save(const std::string& text) {
  if (!ReplaceFile(path_, text)) return false;
  // Force a re-read next time, which also picks up the new line numbers.
  stamp_ = {};
  return true;
}

}  // namespace cq
