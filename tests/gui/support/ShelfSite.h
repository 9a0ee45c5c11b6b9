#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <map>
#include <stdexcept>
#include <string>

#include "core/sites/Sites.h"

namespace cq::test {

// A site whose answers are laid out before the search: melodies per term, links per melody page
// and local files per link address. Jobs only read it, after the test has filled it.
class TShelfSite : public TSite {
 public:
  explicit TShelfSite(std::string name) : name_(std::move(name)) {}

  std::string GetName() const override { return name_; }
  std::string GetHomePage() const override { return "http://" + name_ + "/"; }

  TMelody Melody(const std::string& title) const {
    TMelody melody;
    melody.Title = title;
    melody.PageURL = "http://" + name_ + "/" + title + ".html";
    melody.Site = this;
    return melody;
  }
  // `term` finds `melody`, whose page offers `links` per format.
  void Shelve(const std::string& term, const TMelody& melody,
              std::array<TMelodyLinkList, FormatCount> links) {
    finds_[term].push_back(melody);
    pages_[melody.PageURL.str()] = std::move(links);
  }
  // The link address `url` is fetched as the local file `path`.
  void ShelveFile(const std::string& url, const std::string& path) { files_[url] = path; }

  void Search(const std::string& term, TMelodyList& melodies,
              const TProgressCallback& progress) const override {
    if (progress(jsProcessing, 0)) throw std::runtime_error("stopped");
    const auto found = finds_.find(term);
    melodies = found == finds_.end() ? TMelodyList() : found->second;
  }
  void LoadMelodyPage(TMelody& melody, const TProgressCallback& progress) const override {
    if (progress(jsProcessing, 0)) throw std::runtime_error("stopped");
    const auto found = pages_.find(melody.PageURL.str());
    if (found != pages_.end()) melody.Links = found->second;
    melody.Processed = true;
  }
  void FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex,
                 const TProgressCallback& progress, std::string& fileName) const override {
    if (progress(jsDownloading, 0.5)) throw std::runtime_error("stopped");
    const std::string url = melody.Links[format].at(static_cast<std::size_t>(linkIndex)).URL.str();
    const auto found = files_.find(url);
    if (found == files_.end()) throw std::runtime_error("Cannot open URL " + url);
    fileName = found->second;
  }

 private:
  std::string name_;
  std::map<std::string, TMelodyList> finds_;
  std::map<std::string, std::array<TMelodyLinkList, FormatCount>> pages_;
  std::map<std::string, std::string> files_;
};

inline TMelodyLinkList Links(std::initializer_list<std::pair<const char*, const char*>> links) {
  TMelodyLinkList list;
  for (const auto& [caption, url] : links) list.push_back({caption, url});
  return list;
}

// Writes `bytes` to `path` (folders created); answers the path.
inline QString WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
  file.write(bytes);
  return path;
}

inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace cq::test
