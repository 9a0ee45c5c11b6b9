#pragma once

#include <string_view>

namespace cq::product {

inline constexpr std::string_view Name = "Chimequest";
// The update server: its version file and the home page the update question opens.
inline constexpr std::string_view UpdateServer = "http://update.chimequest.example";
inline constexpr std::string_view VersionFilePath = "/chimequest_version.txt";
inline constexpr std::string_view HomePage = "http://update.chimequest.example/";
inline constexpr std::string_view SupportAddress = "support@chimequest.example";

}  // namespace cq::product
