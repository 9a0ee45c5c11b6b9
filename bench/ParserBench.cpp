// Parser throughput and memory on a corpus of real pages and on generated ones, beside two
// well-known HTML parsers when they are built in, and time per megabyte on adversarial inputs.
//
// Usage: parser_bench [--rounds N] [--no-others] [--no-linearity] [CORPUS_DIR...]
// A corpus is every *.html / *.htm file below the folders given (for example the HTML
// documentation that Debian's -doc packages install under /usr/share/doc).

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/sites/Parser.h"

#ifdef CQ_BENCH_GUMBO
#include <gumbo.h>
#endif
#ifdef CQ_BENCH_LIBXML2
#include <libxml/HTMLparser.h>
#endif

namespace {

namespace fs = std::filesystem;
using Clock = cq::bench::CpuClock;

struct TPage {
  std::string name;
  std::string text;
};

struct TParserUnderTest {
  const char* name;
  std::function<void(const std::string&)> parse;
};

std::vector<TPage> LoadCorpus(const std::vector<std::string>& folders) {
  std::vector<TPage> pages;
  for (const std::string& folder : folders) {
    for (const auto& entry : fs::recursive_directory_iterator(
             folder, fs::directory_options::follow_directory_symlink)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".html" && extension != ".htm")) continue;
      std::string text(static_cast<std::size_t>(entry.file_size()), '\0');
      std::ifstream(entry.path(), std::ios::binary)
          .read(text.data(), static_cast<std::streamsize>(text.size()));
      pages.push_back({entry.path().string(), std::move(text)});
    }
  }
  std::sort(pages.begin(), pages.end(),
            [](const TPage& a, const TPage& b) { return a.name < b.name; });
  return pages;
}

// A result page of the kind the sites serve: nested layout tables, then a row per melody.
std::string TablePage(std::size_t size) {
  std::string page =
      "<html><head><title>Search</title></head><body><table width=100%><tr><td>"
      "<table class=menu><tr><td><a href=/>Home</a><td><a href=/top/>Top</a></tr></table>"
      "<td><table border=0 cellpadding=2>\r\n";
  for (int row = 0; page.size() < size; ++row) {
    const std::string n = std::to_string(row);
    page += "<tr bgcolor=#F0F0F0><td class=n>" + n + "</td><td><a href=\"/melody/" + n +
            ".html\">Melody &quot;" + n + "&quot;</a></td><td><b>MIDI</b> <i>" + n +
            " KB</i></td><td><a href=/get/" + n + ".mid>get</a></td></tr>\r\n";
  }
  page += "</table></tr></table></body></html>\r\n";
  return page;
}

double Seconds(std::chrono::nanoseconds duration) {
  return std::chrono::duration<double>(duration).count();
}

// Best of `rounds` passes over all pages.
double BestSeconds(const std::vector<const std::string*>& pages,
                   const std::function<void(const std::string&)>& parse, int rounds) {
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    for (const std::string* page : pages) parse(*page);
    best = std::min(best, Seconds(Clock::now() - start));
  }
  return best;
}

void CompareThroughput(const char* title, const std::vector<const std::string*>& pages,
                       const std::vector<TParserUnderTest>& parsers, int rounds) {
  std::size_t bytes = 0;
  for (const std::string* page : pages) bytes += page->size();
  const double megabytes = static_cast<double>(bytes) / 1e6;
  std::printf("\n%s: %zu pages, %.1f MB, best of %d rounds\n", title, pages.size(), megabytes,
              rounds);
  double ours = 0;
  for (const TParserUnderTest& parser : parsers) {
    const double seconds = BestSeconds(pages, parser.parse, rounds);
    const double rate = megabytes / seconds;
    if (ours == 0) ours = rate;
    std::printf("  %-10s %8.1f MB/s  %7.3f s", parser.name, rate, seconds);
    if (rate != ours) std::printf("   ours is %.1fx", ours / rate);
    std::printf("\n");
  }
}

void ReportMemory(const char* title, const std::vector<TPage>& pages) {
  std::size_t bytes = 0;
  std::size_t memory = 0;
  double worst = 0;
  const TPage* worstPage = nullptr;
  for (const TPage& page : pages) {
    const auto document = cq::Parse(page.text);
    bytes += page.text.size();
    memory += document->MemoryUsed();
    const double ratio = static_cast<double>(document->MemoryUsed()) /
                         static_cast<double>(std::max<std::size_t>(page.text.size(), 1));
    if (ratio > worst) {
      worst = ratio;
      worstPage = &page;
    }
  }
  std::printf("\nTree memory (storage reserved by the trees / input bytes)\n");
  std::printf("  %-13s %.2f bytes per input byte\n", title,
              static_cast<double>(memory) / static_cast<double>(bytes));
  if (worstPage != nullptr) {
    std::printf("  worst page:   %.2f bytes per input byte, %s (%zu bytes)\n", worst,
                worstPage->name.c_str(), worstPage->text.size());
  }
}

// Time per megabyte of input for 1 to 16 MB: a linear parser keeps it flat.
void ReportLinearity() {
  struct TShape {
    const char* name;
    std::function<std::string(std::size_t)> make;
  };
  auto repeat = [](std::string_view head, std::string_view piece, std::string_view tail) {
    return [=](std::size_t size) {
      std::string text(head);
      while (text.size() + piece.size() + tail.size() <= size) text += piece;
      text += tail;
      return text;
    };
  };
  const TShape shapes[] = {
      {"deep nesting", repeat("", "<div>", "x")},
      {"&", repeat("<b>", "&", "</b>")},
      {"\\n and space", repeat("<b>x", "\n ", "y</b>")},
      {"a < b", repeat("<b>", "a < b ", "</b>")},
      {"a=>", repeat("<b ", "a=>", "</b>")},
      {"open comment", repeat("<!--", "x-", "")},
      {"open script", repeat("<script>", "x\r\n", "")},
      {"stray closes", repeat("<div>", "</td></x>", "")},
      {"table page", [](std::size_t size) { return TablePage(size); }},
  };
  // Keep freed memory in the heap: otherwise large trees come from fresh pages every round
  // while small ones reuse warm memory, and the page faults alone would bend the curve.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
  std::printf("\nTime per MB on adversarial inputs (ms/MB; parse, GetText and decoding)\n");
  std::printf("  %-14s %8s %8s %8s %8s %8s %8s\n", "input", "1 MB", "2 MB", "4 MB", "8 MB", "16 MB",
              "16/1");
  for (const TShape& shape : shapes) {
    std::printf("  %-14s", shape.name);
    double first = 0;
    double last = 0;
    for (std::size_t megabytes = 1; megabytes <= 16; megabytes *= 2) {
      const std::string text = shape.make(megabytes << 20);
      double best = 1e300;
      for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        const auto document = cq::Parse(text);
        const std::string rendered = cq::GetText(document->Root());
        const std::string decoded = cq::DecodeEntities(text);
        best = std::min(best, Seconds(Clock::now() - start));
      }
      const double perMegabyte = best * 1e3 / static_cast<double>(megabytes);
      if (megabytes == 1) first = perMegabyte;
      last = perMegabyte;
      std::printf(" %8.2f", perMegabyte);
    }
    std::printf(" %8.2f\n", last / first);
  }
}

std::vector<TParserUnderTest> Parsers(bool others) {
  std::vector<TParserUnderTest> parsers = {
      {"ours", [](const std::string& page) { cq::Parse(page); }},
  };
  if (!others) return parsers;
#ifdef CQ_BENCH_GUMBO
  parsers.push_back({"gumbo", [](const std::string& page) {
                       GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions,
                                                                      page.data(), page.size());
                       gumbo_destroy_output(&kGumboDefaultOptions, output);
                     }});
#endif
#ifdef CQ_BENCH_LIBXML2
  parsers.push_back({"libxml2", [](const std::string& page) {
                       const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR |
                                           HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
                       htmlDocPtr document = htmlReadMemory(
                           page.data(), static_cast<int>(page.size()), nullptr, nullptr, options);
                       xmlFreeDoc(document);
                     }});
#endif
  return parsers;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  bool others = true;
  bool linearity = true;
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--no-others") {
      others = false;
    } else if (arg == "--no-linearity") {
      linearity = false;
    } else if (arg.starts_with("-")) {
      std::fprintf(stderr,
                   "usage: %s [--rounds N] [--no-others] [--no-linearity] [CORPUS_DIR...]\n",
                   argv[0]);
      return 2;
    } else {
      folders.push_back(arg);
    }
  }
#ifdef CQ_BENCH_LIBXML2
  xmlInitParser();
#endif
  const std::vector<TParserUnderTest> parsers = Parsers(others);

  if (!folders.empty()) {
    const std::vector<TPage> corpus = LoadCorpus(folders);
    std::vector<const std::string*> pages;
    for (const TPage& page : corpus) pages.push_back(&page.text);
    CompareThroughput("Corpus", pages, parsers, rounds);
    ReportMemory("whole corpus:", corpus);
  }

  std::vector<TPage> generated;
  for (int i = 0; i < 8; ++i) generated.push_back({"table page", TablePage(1 << 20)});
  std::vector<const std::string*> pages;
  for (const TPage& page : generated) pages.push_back(&page.text);
  CompareThroughput("Generated table pages of 1 MB", pages, parsers, rounds);
  ReportMemory("table page:", {generated.front()});

  if (linearity) ReportLinearity();
  return 0;
}
