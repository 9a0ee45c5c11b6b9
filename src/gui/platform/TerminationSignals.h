#pragma once

#include <functional>

namespace cq {

// Turns SIGTERM, SIGINT and SIGHUP (the session ending, a service manager, Ctrl+C) into `quit`,
// run on the main thread's event loop, so the program ends the way closing its window ends it:
// settings stored, cache pruned. A second signal ends the program at once. Call once, on the
// main thread, after the application object exists.
void QuitOnTerminationSignals(std::function<void()> quit);

}  // namespace cq
