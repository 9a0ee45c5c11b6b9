#pragma once

// Selection paths: the element paths of the scrapers plus the steps that site definitions need to
// survive a changed layout. Each step, separated by backslashes, is one of
//   NAME        the first child of that name (as in element paths)
//   n NAME      the n-th child of that name, counting from 1 (as in element paths)
//   * NAME      every child of that name
//   ** NAME     every element of that name below, at any depth, in document order
// NAME is a tag name or "*" for any tag, optionally followed by attribute filters, all of which
// must hold: [attr] (present), [attr="v"] (equals), [attr^="v"] (begins with), [attr$="v"] (ends
// with), [attr*="v"] (contains); Latin letter case is ignored. "." alone is the start element.
// The scrapers' own paths go through FindElem, unchanged.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/Message.h"

namespace cq {

class TElem;

class TSelectPath {
 public:
  // Reads `text`; answers nothing and sets `error` when it is not a selection path.
  static std::optional<TSelectPath> Compile(std::string_view text, std::vector<TMessage>& error);

  // Every element the path leads to from `start`, each once, in the order found.
  std::vector<const TElem*> Select(const TElem& start) const;
  // The first of them, or null.
  const TElem* First(const TElem& start) const;

  const std::string& Text() const { return text_; }

  struct TFilter {
    std::string Attribute;
    char Operator = 0;  // 0 (present), '=', '^', '$' or '*'
    std::string Value;
  };
  struct TStep {
    enum TKind { Nth, Every, Below } Kind = Nth;
    int N = 1;
    std::string Name;  // "*" for any tag
    std::vector<TFilter> Filters;
  };

 private:
  std::string text_;
  std::vector<TStep> steps_;
  bool single_ = true;  // numbered steps only
};

// A value read from an element: "PATH" gives the bare words of the element the path leads to
// (the text of its first child, as the scrapers read links and bold text), "PATH@attr" the value
// of its attribute, character references decoded.
class TValuePath {
 public:
  static std::optional<TValuePath> Compile(std::string_view text, std::vector<TMessage>& error);
  // Nothing when the path leads nowhere.
  std::optional<std::string> Read(const TElem& start) const;
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  TSelectPath path_;
  std::string attribute_;
};

// The bare words of an element: the text of its first child; empty when it has none.
std::string ElemWords(const TElem& elem);

}  // namespace cq
