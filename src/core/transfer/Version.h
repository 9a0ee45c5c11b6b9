#pragma once

#include <cstdint>
#include <string>

namespace cq {

// A four-part program version; compared as one 64-bit number, each part outranking the next.
struct TVersion {
  std::uint16_t Major = 0;
  std::uint16_t Minor = 0;
  std::uint16_t Release = 0;
  std::uint16_t Build = 0;

  std::uint64_t AsNumber() const {
    return std::uint64_t{Major} << 48 | std::uint64_t{Minor} << 32 | std::uint64_t{Release} << 16 |
           std::uint64_t{Build};
  }
};

// The running program's version, built in from the project version.
TVersion GetOwnVersion();
// "v" + major.minor.release.build.
std::string VersionText();
std::string VersionText(const TVersion& version);

}  // namespace cq
