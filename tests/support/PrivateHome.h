#pragma once

#include <filesystem>
#include <string>

namespace cq::test {

// Points HOME, the XDG folders and TMPDIR at a fresh folder under `parent`, removed when the
// process ends, so no test touches the user's files; answers that folder. Call once, before any
// thread starts.
std::string IsolateHome(
    const std::filesystem::path& parent = std::filesystem::temp_directory_path());

}  // namespace cq::test
