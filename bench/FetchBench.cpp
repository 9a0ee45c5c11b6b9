// Fetch throughput against the curl tool on one loopback server, and the cost of a cache hit.
// Usage: fetch_bench [MiB] [rounds]   (defaults 64 and 5). Exit status 1 when a target is missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/transfer/Fetch.h"
#include "support/HttpServer.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kMinRatio = 0.9;
constexpr double kMaxHitMicros = 100.0;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The tool's own measure of the transfer (time_total), so its start-up is not held against it.
double CurlSeconds(const std::string& url, const fs::path& out) {
  // -q: no curlrc; the proxy comes from http_proxy, as for the fetcher.
  const std::string command =
      "curl -q -s -f -w '%{time_total}' -o '" + out.string() + "' '" + url + "'";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  double seconds = 0;
  const bool read = pipe != nullptr && std::fscanf(pipe, "%lf", &seconds) == 1;
  const int status = pipe != nullptr ? ::pclose(pipe) : -1;
  if (!read || status != 0 || seconds <= 0) {
    std::fprintf(stderr, "curl failed (%d); is the curl tool installed (scripts/install-deps)?\n",
                 status);
    std::exit(2);
  }
  return seconds;
}

double FetchSeconds(const std::string& url, std::size_t size) {
  // A callback like a job's, so the per-piece reports are part of the cost.
  double last = 0;
  const cq::TFetchContext fetch{[&last](cq::TJobStatus, double fraction) {
    last = fraction;
    return false;
  }};
  const auto start = Clock::now();
  const std::string name = cq::FetchURL(url, false, fetch, cq::FileLimits);
  const double seconds = Seconds(Clock::now() - start);
  if (fs::file_size(name) != size) {
    std::fprintf(stderr, "fetched %ju bytes, expected %zu\n", fs::file_size(name), size);
    std::exit(2);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::size_t size = mebibytes << 20;
  const fs::path scratch = cq::bench::MakeScratch();

  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 2654435761u) >> 24);
  cq::test::HttpServer server;
  // Served straight from one buffer, so the server copies nothing per request.
  server.On("bench.example", "/",
            [&body](const std::string&, const httplib::Request&, httplib::Response& response) {
              response.set_content_provider(
                  body.size(), "application/octet-stream",
                  [&body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return sink.write(body.data() + offset, std::min<std::size_t>(length, 1 << 20));
                  });
            });
  server.BecomeProxy();
  const std::string url = "http://bench.example/tone-" + std::to_string(mebibytes) + "mib.bin";

  // Both clients take turns, and each goes first every other round, so a busy moment of the
  // machine or the write-back of the previous file falls on both alike.
  std::vector<double> curl;
  std::vector<double> ours;
  CurlSeconds(url, scratch / "curl-out");
  FetchSeconds(url, size);
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) curl.push_back(CurlSeconds(url, scratch / "curl-out"));
    ours.push_back(FetchSeconds(url, size));
    if (round % 2 == 1) curl.push_back(CurlSeconds(url, scratch / "curl-out"));
  }
  // The best round of each is what the client can do; the medians show how much a shared
  // machine disturbed it.
  const double mib = static_cast<double>(mebibytes);
  const double curlBest = *std::min_element(curl.begin(), curl.end());
  const double ourBest = *std::min_element(ours.begin(), ours.end());
  const double ratio = curlBest / ourBest;
  std::printf("body %zu MiB, %d rounds each:       best              median\n", mebibytes, rounds);
  std::printf("  curl tool  %8.1f MiB/s (%6.1f ms)  %8.1f MiB/s (%6.1f ms)\n", mib / curlBest,
              curlBest * 1e3, mib / Median(curl), Median(curl) * 1e3);
  std::printf("  FetchURL   %8.1f MiB/s (%6.1f ms)  %8.1f MiB/s (%6.1f ms)\n", mib / ourBest,
              ourBest * 1e3, mib / Median(ours), Median(ours) * 1e3);
  std::printf("  ratio of the best rounds %.2f, of the medians %.2f (target >= %.2f)  %s\n", ratio,
              Median(curl) / Median(ours), kMinRatio, ratio >= kMinRatio ? "ok" : "MISSED");

  // Cache hits: the file is there, so no request may reach the server.
  constexpr int kHits = 20000;
  const int requestsBefore = server.TotalHits();
  std::vector<double> hits;
  hits.reserve(kHits);
  for (int i = 0; i < kHits; ++i) {
    const auto start = Clock::now();
    const std::string name = cq::FetchURL(url, true);
    hits.push_back(Seconds(Clock::now() - start) * 1e6);
  }
  const int requests = server.TotalHits() - requestsBefore;
  std::sort(hits.begin(), hits.end());
  const double p50 = hits[hits.size() / 2];
  const double p99 = hits[hits.size() * 99 / 100];
  std::printf(
      "cache hit, %d calls: median %.1f us, 99th percentile %.1f us, max %.1f us, "
      "requests to the server %d  %s\n",
      kHits, p50, p99, hits.back(), requests,
      p99 < kMaxHitMicros && requests == 0 ? "ok" : "MISSED");

  fs::remove_all(scratch);
  return ratio >= kMinRatio && p99 < kMaxHitMicros && requests == 0 ? 0 : 1;
}
