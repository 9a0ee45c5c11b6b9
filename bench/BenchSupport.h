#pragma once
// What several benchmarks share: a clock of the process's own processor time and a scratch folder.
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace cq::bench {

// CPU time of the process: the machine is shared, and waiting for a core is not work.
struct CpuClock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::nanoseconds;
  static std::chrono::nanoseconds now() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
  }
};

// Everything a benchmark writes lies in a folder of its own (the page cache included), removed
// by the caller at the end.
inline std::filesystem::path MakeScratch() {
  std::string pattern = (std::filesystem::temp_directory_path() / "cq-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(2);
  }
  ::setenv("XDG_CACHE_HOME", (std::filesystem::path(pattern) / "cache").c_str(), 1);
  return pattern;
}

}  // namespace cq::bench
