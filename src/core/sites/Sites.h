#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/sites/ShortString.h"
#include "core/transfer/FetchContext.h"

namespace cq {

// The four file formats; the order is an index into every per-format table, list and menu.
enum TMelodyFormat : std::uint8_t { fmWav = 0, fmMidi = 1, fmMmf = 2, fmMp3 = 3 };
inline constexpr std::size_t FormatCount = 4;
inline constexpr std::array<TMelodyFormat, FormatCount> AllFormats = {fmWav, fmMidi, fmMmf, fmMp3};
inline constexpr std::array<std::string_view, FormatCount> FormatNames = {"WAV", "MIDI", "MMF",
                                                                          "MP3"};
inline constexpr std::array<std::string_view, FormatCount> FormatExtensions = {".wav", ".mid",
                                                                               ".mmf", ".mp3"};

class TSite;

// One downloadable file of a melody.
struct TMelodyLink {
  ShortString Caption;
  ShortString URL;
};

using TMelodyLinkList = std::vector<TMelodyLink>;

// One melody found on one site; a plain value, copied into rows and jobs.
struct TMelody {
  ShortString Title;
  ShortString PageURL;
  const TSite* Site = nullptr;
  bool Processed = false;
  std::array<TMelodyLinkList, FormatCount> Links;
};

using TMelodyList = std::vector<TMelody>;

// A ringtone site. Sites hold no state between calls, so one object serves many jobs at once;
// each operation fetches under its caller's `fetch` (progress, stop requests, time limits).
class TSite {
 public:
  TSite() = default;
  TSite(const TSite&) = delete;
  TSite& operator=(const TSite&) = delete;
  virtual ~TSite() = default;

  virtual std::string GetName() const = 0;
  virtual std::string GetHomePage() const = 0;
  // Replaces `melodies` with what the site finds for `term`; throws a translated message.
  virtual void Search(const std::string& term, TMelodyList& melodies,
                      const TFetchContext& fetch) const = 0;
  // Reads the melody's page into its links unless it is already processed.
  virtual void LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const = 0;
  // Fetches the chosen link into the cache and returns the local file name.
  virtual void FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex,
                         const TFetchContext& fetch, std::string& fileName) const;
};

// True when `caption`, upper-cased, names the format (the scrapers' format detection).
bool CaptionNamesFormat(std::string_view caption, TMelodyFormat format);

}  // namespace cq
