#include "core/sites/Scraping.h"

#include <filesystem>

#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/platform/StackTrace.h"
#include "core/sites/ParseDebug.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/Fetch.h"
#include "core/transfer/FileText.h"

namespace cq {

std::string InetErrorText() {
  return Translate("Messages.InetError", "Cannot retreive page from the Internet.");
}

std::string ParserErrorText() {
  return Translate("Messages.ParserError", "The HTML parsing engine has crashed.");
}

std::string ParseErrorText() {
  return Translate("Messages.ParseError", "Error while parsing page.");
}

std::string FetchPage(const std::string& url, const TFetchContext& fetch) {
  try {
    return ReadFileText(FetchURL(url, true, fetch));
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception&) {
    // A cached copy that cannot be read would fail every search until it expires.
    std::error_code ignored;
    std::filesystem::remove(CacheFileName(url), ignored);
    throw ESiteError(InetErrorText());
  }
}

void ApplyFixUps(std::string& page, TFixUps fixUps) {
  for (const TFixUp& fixUp : fixUps) {
    if (fixUp.From.empty()) continue;
    std::string out;
    std::size_t from = 0;
    std::size_t found = page.find(fixUp.From);
    if (found == std::string::npos) continue;
    out.reserve(page.size());
    while (found != std::string::npos) {
      out.append(page, from, found - from);
      out += fixUp.To;
      from = found + fixUp.From.size();
      found = page.find(fixUp.From, from);
    }
    out.append(page, from, std::string::npos);
    page = std::move(out);
  }
}

std::unique_ptr<TDocument> ParsePage(const std::string& page) {
  try {
    return Parse(page);
  } catch (const std::exception&) {
    throw ESiteError(ParserErrorText());
  }
}

void WalkPage(const TSite& site, const std::string& context, const std::string& page,
              const std::function<void()>& walk) {
  try {
    walk();
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& failure) {
    DumpPage(site, context, page, failure);
    throw ESiteError(ParseErrorText());
  }
}

void ScrapePage(const TSite& site, const std::string& url, const std::string& context,
                TFixUps fixUps, const TFetchContext& fetch,
                const std::function<void(const TElem& root)>& walk) {
  ScrapePreparedPage(
      site, url, context, [fixUps](std::string& page) { ApplyFixUps(page, fixUps); }, fetch, walk);
}

void ScrapePreparedPage(const TSite& site, const std::string& url, const std::string& context,
                        const std::function<void(std::string& page)>& prepare,
                        const TFetchContext& fetch,
                        const std::function<void(const TElem& root)>& walk) {
  std::string page = FetchPage(url, fetch);
  prepare(page);
  try {
    const std::unique_ptr<TDocument> document = ParsePage(page);
    WalkPage(site, context, page, [&] { walk(*document->Root()); });
  } catch (const ESiteError&) {
    // Whatever came instead of the page must not answer for it from the cache until it expires:
    // the next try fetches it again.
    std::error_code ignored;
    std::filesystem::remove(CacheFileName(url), ignored);
    throw;
  }
}

std::string SearchContext(const std::string& term) {
  return "Search term=" + term;
}

std::string MelodyPageContext(const TMelody& melody) {
  return "MelodyPage=" + melody.PageURL.str();
}

void FailWalk(const std::string& reason) {
  throw ETracedError(reason);
}

const TElem& NeedElem(const TElem& start, std::string_view path) {
  const TElem* found = FindElem(&start, path);
  if (found == nullptr) FailWalk("No element at " + std::string(path));
  return *found;
}

const TElem& FirstChild(const TElem& elem) {
  if (elem.Children().Count() == 0) FailWalk("No child in " + std::string(elem.Name()));
  return *elem.Children()[0];
}

std::string FirstChildText(const TElem& elem) {
  return GetText(&FirstChild(elem));
}

void AddLinkByCaption(std::array<TMelodyLinkList, FormatCount>& links, std::string_view caption,
                      std::string_view url) {
  if (!ShortString::Fits(url)) return;
  for (const TMelodyFormat format : AllFormats) {
    if (CaptionNamesFormat(caption, format)) links[format].push_back({caption, url});
  }
}

std::string NthPath(std::string_view prefix, int n, std::string_view tail) {
  std::string path(prefix);
  path += std::to_string(n);
  path += tail;
  return path;
}

TNthPaths::TNthPaths(const TElem& root, std::string_view prefix, std::string_view name)
    : prefix_(prefix), name_(name) {
  const TElem* parent = FindElem(&root, prefix.substr(0, prefix.size() - 1));
  if (parent != nullptr) children_.emplace(parent->Children(), name_);
}

const TElem* TNthPaths::Find(int n, std::string_view tail) {
  if (!children_) return nullptr;
  const TElem* child = children_->At(n);
  if (child == nullptr || tail.empty()) return child;
  return FindElem(child, tail);
}

const TElem& TNthPaths::Need(int n, std::string_view tail) {
  const TElem* found = Find(n, tail);
  if (found == nullptr) {
    std::string path = NthPath(prefix_, n, " ");
    path += name_;
    if (!tail.empty()) path += "\\" + std::string(tail);
    FailWalk("No element at " + path);
  }
  return *found;
}

}  // namespace cq
