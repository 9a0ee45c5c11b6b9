#pragma once

#include <string_view>

// The base addresses of the seven sites. The scrapers build their addresses from these, and the
// sample sites server answers for the same hosts.
namespace cq::hosts {

inline constexpr std::string_view RequestCatalog = "http://tunerequest.example";
inline constexpr std::string_view MelodyArchiveSearch = "http://search.melodyarchive.example";
inline constexpr std::string_view MelodyArchiveFiles = "http://files.melodyarchive.example";
inline constexpr std::string_view WapClub = "http://wap.toneclub.example";
inline constexpr std::string_view PolyCatalog = "http://polycat.example";
inline constexpr std::string_view ToneLibrary = "http://tonelibrary.example";
inline constexpr std::string_view MidiArchive = "http://midiarchive.example";

}  // namespace cq::hosts
