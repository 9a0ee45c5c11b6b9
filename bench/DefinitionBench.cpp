// Site definitions: reading 200 definition files at start (target: under 20 ms), and a
// definition site's search with its melody pages against the built-in site it re-expresses,
// over the sample sites in this process with a warm cache (target: at most 1.2 times its time,
// and not one request the built-in site did not make).
// Usage: definition_bench [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessServer.h"
#include "core/sites/definitions/DefinitionSites.h"
#include "core/sites/registry/ProgramSites.h"

namespace fs = std::filesystem;

namespace {

using TClock = std::chrono::steady_clock;

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = TClock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(TClock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The whole work of a search: the result page, then every melody's page. Counts the fetches
// that went to the network.
void SearchWithPages(const cq::TSite& site, const std::string& term, int& requests) {
  const cq::TFetchContext fetch{[&](cq::TJobStatus status, double) {
    if (status == cq::jsConnecting) ++requests;
    return false;
  }};
  cq::TMelodyList melodies;
  site.Search(term, melodies, fetch);
  for (cq::TMelody& melody : melodies) site.LoadMelodyPage(melody, fetch);
}

const cq::TSite* BuiltIn(const cq::TSiteRegistry& sites, const std::string& name) {
  for (const cq::TSite* site : sites.Sites()) {
    if (site->GetName() == name) return site;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const fs::path fixtures = fs::path(CQ_FIXTURES) / "definitions";
  const fs::path folder = fs::temp_directory_path() / "definition-bench";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string model = ReadText(fixtures / "tune-request.yaml");
  for (int i = 0; i < 200; ++i) {
    std::string text = model;
    text.replace(text.find("name: "), 6, "name: Site " + std::to_string(i) + " ");
    std::ofstream(folder / ("site" + std::to_string(i) + ".yaml")) << text;
  }
  bool missed = false;
  std::size_t loaded = 0;
  const std::clock_t cpuStart = std::clock();
  const double loadMs = MedianMs(runs, [&] { loaded = cq::LoadDefinitions({folder}, {}).size(); });
  // Processor time too: on a busy machine the wall clock counts other programs' turns.
  const double cpuMs =
      1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / runs;
  std::printf("reading %zu definitions: %.2f ms, %.2f ms processor time (target < 20 ms)\n", loaded,
              loadMs, cpuMs);
  missed = missed || loadMs >= 20.0 || loaded != 200;
  fs::remove_all(folder);

  const cq::TSiteRegistry sites = cq::BuiltInSites();
  cq::samples::TInProcessServer server(std::chrono::milliseconds(0), CQ_SAMPLE_SITES_DATA);
  if (!server.Bound()) return std::fprintf(stderr, "the sample sites did not start\n"), 1;
  const auto entries = cq::LoadDefinitions({fixtures.string()}, {});
  struct Pair {
    const char* builtIn;
    const char* definition;
  };
  for (const Pair pair : {Pair{"Tune Request", "Tune Request by definition"},
                          Pair{"Poly Catalogue", "Poly Catalogue by definition"},
                          Pair{"Tone Library", "Tone Library by definition"},
                          Pair{"Tone Uploads", "Tone Uploads by definition"}}) {
    const cq::TSite* builtIn = BuiltIn(sites, pair.builtIn);
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
      return e.Site && e.Site->GetName() == pair.definition;
    });
    if (builtIn == nullptr || entry == entries.end()) return 1;
    int requests = 0;
    SearchWithPages(*builtIn, "love", requests);  // warms the cache
    requests = 0;
    const double builtInMs = MedianMs(runs, [&] { SearchWithPages(*builtIn, "love", requests); });
    const double definitionMs =
        MedianMs(runs, [&] { SearchWithPages(*entry->Site, "love", requests); });
    const double ratio = definitionMs / builtInMs;
    std::printf(
        "%-15s built-in %7.2f ms, definition %7.2f ms: %.2fx (target <= 1.2x), %d new "
        "requests (target 0)\n",
        pair.builtIn, builtInMs, definitionMs, ratio, requests);
    missed = missed || ratio > 1.2 || requests != 0;
  }
  return missed ? 1 : 0;
}
