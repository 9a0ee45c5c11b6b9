#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cq {

// An INI file read and written with the rules of Windows profile files: section and key names
// compare without case, sections keep their order, a section exists when it holds an entry, and
// an empty text is a text. Every change is written at once, atomically (temporary file and
// rename), so a crash never leaves the file half written. Not synchronised: callers lock.
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
  };

  // Re-reads the file when it changed on disk since it was last read.
  void Refresh();
  void ParseLines();
  Section* FindSection(std::string_view name);
  bool Save(const std::vector<std::string>& lines);

  std::filesystem::path path_;
  // What the file looked like when it was last read; any change makes the next access re-read.
  struct Stamp {
    std::uintmax_t inode = 0;
    std::uintmax_t size = 0;
    long long modifiedNs = -1;
    bool operator==(const Stamp&) const = default;
  };
  Stamp stamp_;
  std::vector<std::string> lines_;
  std::vector<Section> sections_;
};

}  // namespace cq
