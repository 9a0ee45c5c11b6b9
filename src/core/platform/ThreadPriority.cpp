#include "core/platform/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace cq {

void LowerCurrentThreadPriority() {
  sched_param param{};
  param.sched_priority = 0;
#ifdef SCHED_IDLE
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
#else
  pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
#endif
}

}  // namespace cq
