#pragma once

#include <string>

namespace cq::test {

// Points HOME, the XDG folders and TMPDIR at a fresh folder, removed when the process ends, so no
// test touches the user's files; answers that folder. Call once, before any thread starts.
std::string IsolateHome();

}  // namespace cq::test
