#pragma once

namespace cq {

// Puts the calling thread at the lowest priority the platform gives (SCHED_IDLE on Linux), so
// background transfers never compete with the window. Failure leaves the priority as it was.
void LowerCurrentThreadPriority();

}  // namespace cq
