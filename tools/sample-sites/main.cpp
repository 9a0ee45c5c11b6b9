// chimequest-sample-sites: the eight sites and the update server on loopback, for the demo, the
// end-to-end tests and the benchmarks.
#include <atomic>
#include <cstdio>
#include <exception>
#include <thread>

#include "Options.h"
#include "SampleSites.h"
#include "Server.h"
#include "core/platform/TerminationWait.h"
#include "core/transfer/Version.h"

namespace {

using namespace cq::samples;

std::string OwnVersion() {
  const cq::TVersion own = cq::GetOwnVersion();
  return std::to_string(own.Major) + "." + std::to_string(own.Minor) + "." +
         std::to_string(own.Release) + "." + std::to_string(own.Build);
}

int Run(const TOptions& options) {
  const std::string data = options.DataFolder.empty() ? DefaultDataFolder() : options.DataFolder;
  TSampleSites sites(
      TCatalogue::Load(data + "/catalogue.tsv"), TMedia::Load(data + "/media"),
      {options.WaitingShare, options.Version.empty() ? OwnVersion() : options.Version});

  // Requests to end are taken by a waiting thread, never by the server's threads.
  const cq::TTerminationWait termination;

  TServer server(sites, std::chrono::milliseconds(options.LatencyMs));
  if (server.Bind(options.Port) < 0) {
    std::fprintf(stderr, "chimequest-sample-sites: cannot listen on 127.0.0.1:%d\n", options.Port);
    return 1;
  }
  std::printf("%s\n", server.Address().c_str());
  std::fflush(stdout);

  std::atomic<bool> listenOver{false};
  std::thread stopper([&server, &listenOver, &termination] {
    termination.Wait();
    // A signal that comes before the server runs would find nothing to stop.
    while (!server.Running() && !listenOver)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server.Stop();
  });
  server.Listen();
  listenOver = true;
  // Listen also ends when the socket fails; wake the waiting thread then.
  termination.Wake();
  stopper.join();
  return 0;
}

}  // namespace

// GCC names the thread sanitizer with a macro, clang as a feature.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CQ_THREAD_SANITIZER
#endif
#endif
#if defined(__SANITIZE_THREAD__) || defined(CQ_THREAD_SANITIZER)
// The server library is not built with the sanitizer, so its own locking is invisible to it;
// races reported inside it are not ours.
extern "C" const char* __tsan_default_suppressions() {
  return "race:libcpp-httplib.so\n";
}
#endif

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "chimequest-sample-sites: %s\n%s", error.c_str(), UsageText());
    return 2;
  }
  if (options->Help) {
    std::printf("%s", UsageText());
    return 0;
  }
  try {
    return Run(*options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "chimequest-sample-sites: %s\n", failure.what());
    return 1;
  }
}
