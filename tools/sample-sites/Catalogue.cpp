#include "Catalogue.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "core/platform/Text.h"
#include "core/transfer/FileText.h"

namespace cq::samples {

namespace {

constexpr std::array<std::string_view, 6> kKindNames = {"wav", "mid", "mono", "mmf", "vib", "mp3"};
constexpr std::array<std::string_view, SiteCount> kSiteCodes = {"rc", "ma", "wap", "pc",
                                                                "tl", "mi", "tu",  "rs"};

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

template <std::size_t N>
unsigned Bits(std::string_view list, const std::array<std::string_view, N>& names, int line) {
  unsigned bits = 0;
  for (const std::string_view name : Split(list, ',')) {
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) {
      throw std::runtime_error("catalogue line " + std::to_string(line) + ": unknown '" +
                               std::string(name) + "'");
    }
    bits |= 1u << (found - names.begin());
  }
  return bits;
}

}  // namespace

std::string LowerCp1251(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDF)) {
      c = static_cast<char>(byte + 0x20);
    } else if (byte == 0xA8) {
      c = static_cast<char>(0xB8);
    }
  }
  return out;
}

bool ShowsPerformer(TSiteId site) {
  return site == siRequestCatalog || site == siMelodyArchive || site == siPolyCatalog ||
         site == siMidiArchive || site == siRingShelf;
}

TCatalogue TCatalogue::Load(const std::string& fileName) {
  return Parse(ReadFileText(fileName));
}

TCatalogue TCatalogue::Parse(std::string_view text) {
  TCatalogue catalogue;
  int line = 0;
  for (std::string_view row : Split(text, '\n')) {
    ++line;
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (row.empty() || line == 1) continue;  // the header names the columns
    const std::vector<std::string_view> fields = Split(row, '\t');
    if (fields.size() != 5) {
      throw std::runtime_error("catalogue line " + std::to_string(line) + ": five fields expected");
    }
    TTune tune;
    tune.Id = std::stoi(std::string(fields[0]));
    tune.Performer = fields[1];
    tune.Title = fields[2];
    tune.Kinds = Bits(fields[3], kKindNames, line);
    tune.Sites = Bits(fields[4], kSiteCodes, line);
    if (tune.Id <= 0 || catalogue.Find(tune.Id) != nullptr) {
      throw std::runtime_error("catalogue line " + std::to_string(line) + ": bad or repeated id");
    }
    catalogue.keys_.push_back(
        {LowerCp1251(Utf8ToCp1251(tune.Title)), LowerCp1251(Utf8ToCp1251(tune.FullTitle()))});
    catalogue.tunes_.push_back(std::move(tune));
  }
  return catalogue;
}

const TTune* TCatalogue::Find(int id) const {
  for (const TTune& tune : tunes_) {
    if (tune.Id == id) return &tune;
  }
  return nullptr;
}

std::vector<const TTune*> TCatalogue::Search(TSiteId site, std::string_view term) const {
  std::vector<const TTune*> found;
  const std::string key = LowerCp1251(term);
  if (key.empty()) return found;
  const bool withPerformer = ShowsPerformer(site);
  for (std::size_t i = 0; i < tunes_.size(); ++i) {
    if (!tunes_[i].On(site)) continue;
    const std::string& text = withPerformer ? keys_[i].Full : keys_[i].Title;
    if (text.find(key) != std::string::npos) found.push_back(&tunes_[i]);
  }
  return found;
}

}  // namespace cq::samples
