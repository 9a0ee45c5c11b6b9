#pragma once

#include <string>

namespace cq {

// The shell folder numbers the program asks for, answered by the platform's conventions.
enum TSpecialFolder : int {
  sfPersonal = 5,  // documents
  sfMyMusic = 13,
  sfAppData = 26,       // per-user application data
  sfProgramFiles = 38,  // where programs are installed
};

// The folder's path without a trailing separator, or `fallback` when the platform has none.
std::string GetSpecialFolder(TSpecialFolder folder, const std::string& fallback);

// The per-user cache and configuration roots ($XDG_CACHE_HOME, $XDG_CONFIG_HOME or their
// defaults under HOME).
std::string UserCacheFolder();
std::string UserConfigFolder();

// Folder of the running executable, with a trailing separator.
std::string ExecutableFolder();

}  // namespace cq
