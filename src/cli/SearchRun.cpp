#include "cli/SearchRun.h"

#include <chrono>
#include <cstdio>

#include "cli/Shown.h"
#include "core/app/SearchDriver.h"
#include "core/platform/Text.h"

namespace cq::cli {

namespace {

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string SiteName(const TSite* site) {
  return site != nullptr ? Cp1251ToUtf8(site->GetName()) : std::string();
}

// Prints rows as the job manager collects them.
class TSearchPrinter : public TJobSink {
 public:
  TSearchPrinter(const TSearchOptions& options, std::ostream& out, std::ostream& err)
      : options_(options), out_(out), err_(err) {}

  // The command line queues no downloads and plays nothing.
  void SaveCompleted(const TJob&) override {}
  void PlayCompleted(const TJob&) override {}

  // The new rows hold what the job brought: its melodies, or its copy of the melody.
  void RowsCollected(const TJob& job, std::size_t, std::size_t) override {
    const TTask& task = job.Task();
    if (task.Kind == taskSearch) ++sitesDone_;
    if (task.Kind == taskMelodyPage) ++pagesDone_;
    if (!job.ErrorText().empty()) {
      failed_ = true;
      std::string where = SiteName(task.Site);
      if (task.Kind == taskMelodyPage) {
        where = SiteName(task.Melody.Site) + ": " + Cp1251ToUtf8(task.Melody.Title);
      }
      err_ << Shown(where) << ": " << Shown(Cp1251ToUtf8(job.ErrorText())) << '\n';
      return;
    }
    if (task.Kind == taskMelodyPage) {
      Print(task.Melody);
    } else {
      for (const TMelody& melody : job.Melodies()) {
        if (options_.Pages && !melody.Processed) {
          ++pagesQueued_;
        } else {
          Print(melody);
        }
      }
    }
    out_.flush();
  }

  bool Failed() const { return failed_; }
  std::string ProgressLine(std::size_t sites) const {
    std::string line = "sites " + std::to_string(sitesDone_) + "/" + std::to_string(sites);
    if (options_.Pages) {
      line += ", pages " + std::to_string(pagesDone_) + "/" + std::to_string(pagesQueued_);
    }
    return line;
  }

 private:
  void Print(const TMelody& melody) {
    const std::string site = SiteName(melody.Site);
    const std::string title = Cp1251ToUtf8(melody.Title);
    const std::string page = Cp1251ToUtf8(melody.PageURL);
    if (options_.Json) {
      out_ << "{\"site\":" << JsonString(site) << ",\"title\":" << JsonString(title)
           << ",\"page\":" << JsonString(page);
      if (options_.Pages) {
        out_ << ",\"links\":{";
        const char* comma = "";
        for (TMelodyFormat format : AllFormats) {
          if (melody.Links[format].empty()) continue;
          out_ << comma << JsonString(FormatNames[format]) << ":[";
          comma = ",";
          const char* inner = "";
          for (const TMelodyLink& link : melody.Links[format]) {
            out_ << inner << "{\"caption\":" << JsonString(Cp1251ToUtf8(link.Caption))
                 << ",\"url\":" << JsonString(Cp1251ToUtf8(link.URL)) << "}";
            inner = ",";
          }
          out_ << "]";
        }
        out_ << "}";
      }
      out_ << "}\n";
      return;
    }
    out_ << Shown(site) << '\t' << Shown(title) << '\t' << Shown(page) << '\n';
    if (!options_.Pages) return;
    for (TMelodyFormat format : AllFormats) {
      for (const TMelodyLink& link : melody.Links[format]) {
        out_ << '\t' << FormatNames[format] << '\t' << Shown(Cp1251ToUtf8(link.Caption)) << '\t'
             << Shown(Cp1251ToUtf8(link.URL)) << '\n';
      }
    }
  }

  const TSearchOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  bool failed_ = false;
  std::size_t sitesDone_ = 0;
  std::size_t pagesDone_ = 0;
  std::size_t pagesQueued_ = 0;
};

}  // namespace

std::optional<std::string> ParseSearchArgs(const std::vector<std::string>& args,
                                           TSearchOptions& options) {
  bool haveTerm = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--site") {
      if (i + 1 == args.size()) return "search: --site needs a site name";
      options.Sites.push_back(args[++i]);
    } else if (arg == "--pages") {
      options.Pages = true;
    } else if (arg == "--json") {
      options.Json = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
      return "search: unknown option " + arg;
    } else if (haveTerm) {
      return "search: one search term only (quote it when it holds spaces)";
    } else {
      options.Term = arg;
      haveTerm = true;
    }
  }
  if (!haveTerm) return "search: a search term is needed (try --help)";
  if (!SearchEnabled(Utf8ToCp1251(options.Term))) {
    return "search: the term needs at least " + std::to_string(MinSearchTermLength) + " characters";
  }
  return std::nullopt;
}

std::optional<std::string> SelectSites(const std::vector<const TSite*>& sites,
                                       const std::vector<std::string>& names,
                                       std::vector<const TSite*>& selected) {
  selected.clear();
  if (sites.empty()) return "search: no sites are registered";
  if (names.empty()) {
    selected = sites;
    return std::nullopt;
  }
  for (const std::string& name : names) {
    bool known = false;
    for (const TSite* site : sites) known = known || EqualsIgnoringLatinCase(SiteName(site), name);
    if (known) continue;
    std::string error = "search: no site is called '" + name + "'; the sites are:";
    for (const TSite* site : sites) error += " '" + SiteName(site) + "'";
    return error;
  }
  for (const TSite* site : sites) {
    for (const std::string& name : names) {
      if (EqualsIgnoringLatinCase(SiteName(site), name)) {
        selected.push_back(site);
        break;
      }
    }
  }
  return std::nullopt;
}

int RunSearch(const TSearchOptions& options, const std::vector<const TSite*>& sites,
              std::ostream& out, std::ostream& err, bool progress) {
  TSearchPrinter printer(options, out, err);
  TSearchDriver driver(sites, printer, {});
  driver.Rules().SetLoadPages(options.Pages);

  TSearchSettings settings;
  settings.SearchSites.assign(sites.size(), true);
  settings.Updates = false;
  driver.SearchBtnClick(Utf8ToCp1251(options.Term), settings);
  std::string shown;
  while (true) {
    driver.JobManagerTimer();
    if (progress && printer.ProgressLine(sites.size()) != shown) {
      shown = printer.ProgressLine(sites.size());
      err << "\r\033[K" << shown << std::flush;
    }
    if (driver.Manager().Idle()) break;
    driver.Manager().WaitForFinish(std::chrono::milliseconds(10));
  }
  if (progress) err << "\r\033[K" << std::flush;
  return printer.Failed() ? 1 : 0;
}

}  // namespace cq::cli
