#pragma once

namespace cq {

// True when the error output goes to a terminal, where a progress line may be redrawn.
bool ErrorOutputIsTerminal();

}  // namespace cq
