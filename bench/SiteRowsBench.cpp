// Search of a result page with many rows, per site that numbers its rows: the page is served from
// the cache, so the figures are parse plus walk. Rows read one after another must cost the same
// each, so ten times the rows must take about ten times as long.
//
// Usage: site_rows_bench [ROWS]   (default 100000). Figures are the best of three rounds. Exit
// status 1 when a site is not linear.
#include <malloc.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/Parser.h"
#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/FileText.h"

namespace fs = std::filesystem;

namespace {

// Ten times the rows may take at most this many times as long.
constexpr double kMaxGrowth = 20.0;

// CPU time of the process: the machine is shared, and waiting for a core is not work.
double CpuSeconds() {
  timespec time{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

struct TSitePage {
  const cq::TSite& site;
  std::string url;  // the search address for the term "bench"
  std::string head;
  std::function<std::string(int)> result;  // the rows of one result
  std::string tail;
};

std::string PageOf(const TSitePage& page, int results) {
  std::string text = page.head;
  for (int n = 1; n <= results; ++n) text += page.result(n);
  return text + page.tail;
}

struct TFigures {
  double parse = 0;
  double search = 0;
  std::size_t found = 0;
};

TFigures Measure(const TSitePage& page, int results) {
  const std::string text = PageOf(page, results);
  const fs::path cached = cq::CacheFileName(page.url);
  fs::create_directories(cached.parent_path());
  cq::WriteFileText(text, cached.string());
  TFigures figures{1e300, 1e300, 0};
  for (int round = 0; round < 3; ++round) {
    double start = CpuSeconds();
    cq::Parse(text);
    figures.parse = std::min(figures.parse, CpuSeconds() - start);
    cq::TMelodyList melodies;
    start = CpuSeconds();
    page.site.Search("bench", melodies, {[](cq::TJobStatus, double) { return false; }});
    figures.search = std::min(figures.search, CpuSeconds() - start);
    figures.found = melodies.size();
  }
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  if (rows < 10) {
    std::fprintf(stderr, "usage: %s [ROWS >= 10]\n", argv[0]);
    return 2;
  }
  const fs::path scratch = cq::bench::MakeScratch();
  // Keep freed memory in the heap, so that large pages are not charged fresh pages that small
  // ones reuse warm.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
  const cq::TRequestCatalogSite request;
  const cq::TMelodyArchiveSite archive;
  const cq::TPolyCatalogSite poly;
  const cq::TMidiArchiveSite midi;
  const std::vector<TSitePage> pages = {
      {request,
       std::string(cq::hosts::RequestCatalog) + "/search/index.shtml?request=bench&where=all",
       "<html><body><table><tr><td>logo</td></tr></table><table><tr><td>menu</td></tr></table>"
       "<table><tr><td>menu</td><td><table><tr><td>Search</td></tr><tr><td>form</td></tr>"
       "<tr><td>&nbsp;</td><td><div><table>\r\n",
       [](int n) {
         const std::string i = std::to_string(n);
         return "<tr><td>" + i + ".</td><td><p><a href=\"/melody/" + i + ".shtml\">Tune " + i +
                "</a></p></td></tr>\r\n";
       },
       "</table></div></td></tr></table></td></tr></table></body></html>\r\n"},
      {archive,
       std::string(cq::hosts::MelodyArchiveSearch) + "/1/search.php?mmsearch=bench&where=all",
       "<html><body><table><tr><td>top</td></tr></table><table><tr><td>menu</td></tr></table>"
       "<table><tr><td><table><tr><td>left</td><td><div><table><tr><td>"
       "<h2>Found: MIDI, MMF, WAV, MP3</h2><table>\r\n",
       [](int n) {
         const std::string i = std::to_string(n);
         return "<tr><td>" + i + "</td><td>*</td><td><b>Band " + i + "</b> <a href=\"/melody/" + i +
                ".html\">Tune " + i + "</a></td></tr>\r\n";
       },
       "</table></td></tr></table></div></td></tr></table></td></tr></table></body></html>\r\n"},
      {poly,
       std::string(cq::hosts::PolyCatalog) +
           "/search/index.shtml?request=bench&type=poly&where=all",
       "<html><body><table><tr><td><center><table><tr><td>logo</td></tr><tr><td>menu</td></tr>"
       "<tr><td>left</td><td><center><table><tr><td><div><table>\r\n",
       [](int n) {
         const std::string i = std::to_string(n);
         return "<tr><td>" + i + "</td><td><a href=\"/tone/" + i + ".html\">Tune " + i +
                "</a></td></tr>\r\n";
       },
       "</table></div></td></tr></table></center></td></tr></table></center></td></tr></table>"
       "</body></html>\r\n"},
      // Three table rows per result.
      {midi, std::string(cq::hosts::MidiArchive) + "/find_midi.php?find=bench&page=1",
       "<html><body><table><tr><td>1</td></tr></table><table><tr><td>2</td></tr></table>"
       "<table><tr><td>3</td></tr></table><table><tr><td>4</td></tr></table><table><tr><td>"
       "<table><tr><td>menu</td></tr></table><table><tr><td>search</td></tr><tr><td><p><table>"
       "<tr><td>head</td></tr><tr><td>head</td></tr><tr><td>head</td></tr>\r\n",
       [](int n) {
         const std::string i = std::to_string(n);
         return "<tr><td>" + i +
                ".</td><td><a href=\"#\">play</a> <a href=\"javascript:getsong('/song/" + i +
                "/')\"><b>Tune " + i + "</b></a></td></tr>\r\n<tr><td><a href=\"/artist/" + i +
                "/\"><font size=1>Band " + i + "</font></a></td></tr>\r\n<tr><td><font size=1>by" +
                "</font> <font size=1>128 kbit</font></td></tr>\r\n";
       },
       "</table></p></td></tr></table></td></tr></table></body></html>\r\n"},
  };

  bool linear = true;
  std::printf("Search of a page of N results, served from the cache (CPU seconds)\n");
  std::printf("  %-16s %9s %9s %9s %9s %9s %8s\n", "site", "results", "MB", "parse", "search",
              "N/10", "growth");
  for (const TSitePage& page : pages) {
    const int perResult = &page.site == &midi ? 3 : 1;
    const int results = rows / perResult;
    const TFigures tenth = Measure(page, results / 10);
    const TFigures full = Measure(page, results);
    const double growth = full.search / std::max(tenth.search, 1e-6);
    std::printf("  %-16s %9zu %9.1f %9.3f %9.3f %9.3f %7.1fx\n", page.site.GetName().c_str(),
                full.found, static_cast<double>(PageOf(page, results).size()) / 1e6, full.parse,
                full.search, tenth.search, growth);
    if (full.found != static_cast<std::size_t>(results) || growth > kMaxGrowth) linear = false;
  }
  std::printf("Rows: %d per site (the MIDI archive takes three per result); growth target %.0fx\n",
              rows, kMaxGrowth);
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return linear ? 0 : 1;
}
