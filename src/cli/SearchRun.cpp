#include "cli/SearchRun.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <nlohmann/json.hpp>

#include "cli/Shown.h"
#include "core/app/SearchDriver.h"
#include "core/platform/Text.h"

namespace cq::cli {

namespace {

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
      nlohmann::ordered_json row = {{"site", site}, {"title", title}, {"page", page}};
      if (options_.Pages) {
        auto links = nlohmann::ordered_json::object();
        for (TMelodyFormat format : AllFormats) {
          for (const TMelodyLink& link : melody.Links[format]) {
            links[std::string(FormatNames[format])].push_back(
                {{"caption", Cp1251ToUtf8(link.Caption)}, {"url", Cp1251ToUtf8(link.URL)}});
          }
        }
        row["links"] = std::move(links);
      }
      out_ << row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
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

void DeclareSearchOptions(CLI::App& command, TSearchOptions& options) {
  command.add_option("--site", options.Sites, "search only this site (repeatable)")
      ->type_name("NAME")
      ->allow_extra_args(false);
  command
      .add_option("--definition", options.Definitions,
                  "search only the site this definition file describes (repeatable)")
      ->type_name("FILE")
      ->allow_extra_args(false);
  command.add_flag("--pages", options.Pages,
                   "also read every melody's page and print its links per format");
  command.add_flag("--json", options.Json, "print one JSON object per melody");
  command.add_option("TERM", options.Term, "what to search for (quote it when it holds spaces)")
      ->required()
      ->check([](const std::string& term) {
        return SearchEnabled(Utf8ToCp1251(term))
                   ? std::string()
                   : "the term needs at least " + std::to_string(MinSearchTermLength) +
                         " characters";
      });
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
