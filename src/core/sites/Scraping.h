#pragma once

// The pattern every scraper follows: address, fetch, fix-ups, parse, walk. Each stage fails with
// its own translated message; a walk failure first dumps the page for the maintainer.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/sites/ChildCursor.h"
#include "core/sites/Parser.h"
#include "core/sites/Sites.h"

namespace cq {

// A site operation that failed; the message is translated and ready to show.
class ESiteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The messages of the fetch, parse and walk stages in the current language.
std::string InetErrorText();
std::string ParserErrorText();
std::string ParseErrorText();

// One literal replacement, applied to every occurrence before the page is parsed.
struct TFixUp {
  std::string_view From;
  std::string_view To;
};
using TFixUps = std::span<const TFixUp>;

// Fetches `url` through the cache. Any failure raises the fetch stage's message; a stop request
// (EAbort) passes unchanged.
std::string FetchPage(const std::string& url, const TFetchContext& fetch);
// Applies the replacements in the order given, each over the whole page, case-sensitively.
void ApplyFixUps(std::string& page, TFixUps fixUps);
// Any failure raises the parse stage's message.
std::unique_ptr<TDocument> ParsePage(const std::string& page);
// Runs `walk`; any failure but a stop request dumps `page` with `context` and raises the walk
// stage's message. A dump that cannot be written raises its own error instead.
void WalkPage(const TSite& site, const std::string& context, const std::string& page,
              const std::function<void()>& walk);

// The whole pattern for one page: fetch, fix-ups, parse, then `walk` over the root.
void ScrapePage(const TSite& site, const std::string& url, const std::string& context,
                TFixUps fixUps, const TFetchContext& fetch,
                const std::function<void(const TElem& root)>& walk);

// The same with `prepare` (decoding, fix-ups) in place of the fix-ups.
void ScrapePreparedPage(const TSite& site, const std::string& url, const std::string& context,
                        const std::function<void(std::string& page)>& prepare,
                        const TFetchContext& fetch,
                        const std::function<void(const TElem& root)>& walk);

// The dump's context lines.
std::string SearchContext(const std::string& term);
std::string MelodyPageContext(const TMelody& melody);

// A failure found while walking; it records where, for the dump.
[[noreturn]] void FailWalk(const std::string& reason);
// The element `path` leads to from `start`; fails the walk when there is none.
const TElem& NeedElem(const TElem& start, std::string_view path);
// Fails the walk when the element has no children.
const TElem& FirstChild(const TElem& elem);
// The bare words of a link or a bold element: the text of its first child.
std::string FirstChildText(const TElem& elem);

// Adds the link to every format the caption names; an address that does not fit a record is
// left out.
void AddLinkByCaption(std::array<TMelodyLinkList, FormatCount>& links, std::string_view caption,
                      std::string_view url);

// `prefix` (ending in a backslash) + n + `tail` (beginning with a space): the paths that count
// rows or links, such as "\HTML\BODY\TABLE\" + 4 + " TR\2 TD".
std::string NthPath(std::string_view prefix, int n, std::string_view tail);

// The elements at NthPath(prefix, n, " " + name + "\\" + tail) for n = 1, 2, ...: the prefix is
// resolved once and the numbered step walks on from the last n, so a page's rows cost one pass.
class TNthPaths {
 public:
  // `prefix` leads to an element and ends in a backslash; `name` is the numbered step's. Both
  // texts must outlive this object.
  TNthPaths(const TElem& root, std::string_view prefix, std::string_view name);

  // The element at `tail` below the n-th child of that name (an empty tail: the child itself).
  const TElem* Find(int n, std::string_view tail = {});
  // The same; fails the walk when there is none.
  const TElem& Need(int n, std::string_view tail = {});

 private:
  std::string_view prefix_;
  std::string_view name_;
  std::optional<TChildCursor> children_;  // none when the prefix leads nowhere
};

}  // namespace cq
