#include "core/transfer/Version.h"

#include "core/BuildVersion.h"

namespace cq {

TVersion GetOwnVersion() {
  return {static_cast<std::uint16_t>(build::VersionMajor),
          static_cast<std::uint16_t>(build::VersionMinor),
          static_cast<std::uint16_t>(build::VersionRelease),
          static_cast<std::uint16_t>(build::VersionBuild)};
}

std::string VersionText(const TVersion& version) {
  return "v" + std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
         std::to_string(version.Release) + "." + std::to_string(version.Build);
}

std::string VersionText() {
  return VersionText(GetOwnVersion());
}

}  // namespace cq
