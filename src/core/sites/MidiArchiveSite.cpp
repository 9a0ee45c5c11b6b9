#include "core/sites/MidiArchiveSite.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "core/Errors.h"
#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"
#include "core/transfer/FileText.h"

namespace cq {

namespace {

// The result rows: a melody takes three, beginning with row 4.
constexpr std::string_view kRows = "\\HTML\\BODY\\5 TABLE\\TR\\TD\\2 TABLE\\2 TR\\TD\\P\\TABLE\\";
constexpr int kFirstRow = 4;
constexpr int kRowsPerMelody = 3;
// The page list: its children are the page numbers and two more.
constexpr std::string_view kPageList =
    "\\HTML\\BODY\\5 TABLE\\TR\\TD\\2 TABLE\\2 TR\\TD\\DIV\\P\\B";
// The file server's waiting page, never part of a MIDI file.
constexpr std::string_view kWaitingMark = "<br><br>";
constexpr int kRetryStep = 5;

// The song path quoted in a script call such as "javascript:song('/song/123/')".
std::string SongPath(std::string address) {
  const std::size_t first = address.find('\'');
  if (first != std::string::npos) address.erase(0, first + 1);
  const std::size_t next = address.find('\'');
  if (next != std::string::npos) address.erase(next);
  return address;
}

// "/song/123/" gives "123".
std::string SongNumber(const std::string& songPath) {
  if (songPath.size() < 7) return {};
  return songPath.substr(6, songPath.size() - 7);
}

void SleepFor(std::chrono::seconds time) {
  std::this_thread::sleep_for(time);
}

}  // namespace

TMidiArchiveSite::TMidiArchiveSite(TSleeper sleeper)
    : sleeper_(sleeper ? std::move(sleeper) : TSleeper(SleepFor)) {}

std::string TMidiArchiveSite::GetName() const {
  return "MIDI Archive";
}

std::string TMidiArchiveSite::GetHomePage() const {
  return std::string(hosts::MidiArchive) + "/";
}

void TMidiArchiveSite::Search(const std::string& term, TMelodyList& melodies,
                              const TFetchContext& fetch) const {
  melodies.clear();
  const std::string base(hosts::MidiArchive);
  const std::string query = EncodeQuery(term);
  TMelodyList found;
  int last = 1;
  for (int page = 1; page <= last; ++page) {
    const std::string url = base + "/find_midi.php?find=" + query + "&page=" + std::to_string(page);
    ScrapePage(*this, url, SearchContext(term), {}, fetch, [&](const TElem& root) {
      TNthPaths row(root, kRows, "TR");
      for (int r = kFirstRow;; r += kRowsPerMelody) {
        const TElem* titleElem = row.Find(r, "2 TD\\2 A\\B");
        if (titleElem == nullptr) break;
        // Rows in order: the cursor walks on, never back.
        const std::string songPath = SongPath(row.Need(r, "2 TD\\2 A").Attribute("href"));
        const TElem& performer = row.Need(r + 1, "TD\\A\\FONT");
        const std::string title = FirstChildText(performer) + " - " + FirstChildText(*titleElem);
        std::string caption = "MIDI";
        const TElem* note = row.Find(r + 2, "TD\\2 FONT");
        if (note != nullptr && note->Children().Count() > 0) caption += " " + FirstChildText(*note);
        const std::string pageAddress = base + songPath;
        const std::string number = SongNumber(songPath);
        const std::string fileAddress = base + "/song/" + number + "/midiget.php?getsong=" + number;
        if (!ShortString::Fits(pageAddress) || !ShortString::Fits(fileAddress)) continue;
        TMelody& melody = found.emplace_back();
        melody.Title = title;
        melody.PageURL = pageAddress;
        melody.Site = this;
        melody.Processed = true;
        melody.Links[fmMidi].push_back({caption, fileAddress});
      }
      if (const TElem* pages = FindElem(&root, kPageList)) {
        last = std::min(static_cast<int>(pages->Children().Count()) - 2, MaxSearchPages);
      }
    });
  }
  melodies = std::move(found);
}

void TMidiArchiveSite::LoadMelodyPage(TMelody&, const TFetchContext&) const {}

void TMidiArchiveSite::FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex,
                                 const TFetchContext& fetch, std::string& fileName) const {
  for (int waitingPages = 1;; ++waitingPages) {
    TSite::FetchFile(melody, format, linkIndex, fetch, fileName);
    if (ReadFileText(fileName).find(kWaitingMark) == std::string::npos) return;
    // The waiting page must not stand in the cache for the file.
    std::error_code ignored;
    std::filesystem::remove(fileName, ignored);
    if (waitingPages == MaxWaitingPages) throw ESiteError(InetErrorText());
    for (int left = waitingPages * kRetryStep; left >= 1; --left) {
      // Stop is honoured within a second, not after the whole countdown.
      if (fetch.Progress && fetch.Progress(jsRetrying, left)) throw EAbort();
      sleeper_(std::chrono::seconds(1));
    }
  }
}

}  // namespace cq
