#include <unistd.h>

#include "core/platform/Terminal.h"

namespace cq {

bool ErrorOutputIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace cq
