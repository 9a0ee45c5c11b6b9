#pragma once

namespace cq {

// The requests to end the process (SIGTERM and SIGINT on Linux), taken by one waiting thread,
// never by the others.
class TTerminationWait {
 public:
  // Keeps the requests from the calling thread and every thread it starts afterwards; make it
  // before any other thread starts.
  TTerminationWait();
  // Blocks until a request to end arrives.
  void Wait() const;
  // Ends a Wait from any thread, as a request to end would.
  void Wake() const;
};

}  // namespace cq
