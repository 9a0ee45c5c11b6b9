#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/platform/Files.h"

namespace cq {

// An INI file read and written with the rules of Windows profile files: section and key names
// compare without case, sections keep their order, a section exists when it holds an entry, and
// an empty text is a text. Every change is written at once, atomically (temporary file and
// rename), so a crash never leaves the file half written. A file whose permission bits forbid
// writing is never written, whoever runs the program. Not synchronised: callers lock.
struct TIniEntry {
  std::string Section;
  std::string Key;
  std::string Text;
};

class TIniFile {
 public:
  explicit TIniFile(std::filesystem::path path);

  const std::filesystem::path& Path() const { return path_; }

  // Names of the sections that hold at least one entry, in file order.
  std::vector<std::string> SectionNames();
  std::optional<std::string> Read(std::string_view section, std::string_view key);
  // Adds or replaces one entry; false when the file could not be written, or when the entry
  // cannot be one line of the file (a line break anywhere, an empty key, '=' in the key or '['
  // before it, ']' in the section).
  // Other processes are kept out by a lock on the file's folder while the file is rewritten.
  bool Write(std::string_view section, std::string_view key, std::string_view text);
  // Adds or replaces several entries in one rewrite of the file; a later entry of the same
  // section and key wins. False when the file could not be written or an entry was refused (the
  // others are written).
  bool Write(const std::vector<TIniEntry>& entries);

 private:
  struct Entry {
    std::string Key;
    std::string Text;
    std::size_t Line;
  };
  struct Section {
    std::string Name;
    std::size_t HeaderLine;
    std::vector<Entry> Entries;
    // Key without case -> position in Entries of its first entry.
    std::unordered_map<std::string, std::size_t> FirstEntry;
  };

  // Re-reads the file when it changed on disk since it was last read.
  void Refresh();
  void ParseLines();
  const Entry* FindEntry(std::string_view section, std::string_view key) const;
  bool Save(const std::string& text);

  std::filesystem::path path_;
  // What the file looked like when it was last read; any change makes the next access re-read.
  TFileStamp stamp_;
  std::vector<std::string> lines_;
  std::vector<Section> sections_;
  // Section name without case -> positions in sections_, in file order.
  std::unordered_map<std::string, std::vector<std::size_t>> sectionsByName_;
};

}  // namespace cq
