#pragma once

#include <filesystem>

namespace cq::fuzz {

// Points HOME, the XDG folders and TMPDIR at a fresh folder (in memory when /dev/shm exists, as
// the targets write files at every run), removed at exit; the user's cache and settings stay
// untouched. Returns the folder.
std::filesystem::path IsolateHome();

}  // namespace cq::fuzz
