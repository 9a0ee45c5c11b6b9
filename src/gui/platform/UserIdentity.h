#pragma once

#include <QString>

namespace cq {

// The running user's number on this machine: names the files that must differ between users who
// share a folder (the single-instance lock and socket).
QString UserNumber();

}  // namespace cq
