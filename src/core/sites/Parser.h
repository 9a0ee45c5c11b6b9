#pragma once

// The tolerant HTML parser and the element paths that walk its trees.
//
// Text is single-byte windows-1251 throughout. Every input yields a tree; the rules that fold
// unclosed, stray and overlapping tags into it are tuned to hand-written table layouts.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace cq {

class TElem;
class TParser;

// The children of an element, in document order.
class TElemList {
 public:
  std::size_t Count() const { return count_; }
  TElem* operator[](std::size_t i) const { return items_[i]; }
  // The element whose children these are.
  TElem* Owner() const;
  TElem* const* begin() const { return items_; }
  TElem* const* end() const { return items_ + count_; }

 private:
  friend class TParser;
  TElem* const* items_ = nullptr;
  std::uint32_t count_ = 0;
};

// One node: a tag, a text ("\"text\""), a comment ("<JS/comment>"), a processing instruction
// ("<?xml?>"), a declaration ("!DOCTYPE html") or a raw line inside a comment or script.
// Nodes live in their document's storage and are never freed one by one.
class TElem {
 public:
  TElem(const TElem&) = delete;
  TElem& operator=(const TElem&) = delete;

  std::string_view Name() const { return {name_, nameLength_}; }
  const TElemList& Children() const { return children_; }

  std::size_t AttributeCount() const { return attributeCount_; }
  // "name=value" as written in the tag, or "name" for an attribute without value.
  std::string_view AttributeEntry(std::size_t i) const { return attributes_[i]; }
  // The value of the first attribute of that name (case-insensitive); empty when absent.
  std::string Attribute(std::string_view name) const;

 private:
  friend class TParser;
  friend class TElemList;
  TElem() = default;

  // First member, so that a children list knows its owner without storing it.
  TElemList children_;
  const char* name_ = "";
  const std::string_view* attributes_ = nullptr;
  std::uint32_t nameLength_ = 0;
  std::uint32_t attributeCount_ = 0;
};

// Owns a whole tree. Freeing it releases every node at once, however deep the tree.
class TDocument {
 public:
  TDocument(const TDocument&) = delete;
  TDocument& operator=(const TDocument&) = delete;
  ~TDocument();

  // "HTML document": its children are the top-level nodes.
  TElem* Root() const { return root_; }
  // Bytes the tree holds in memory (nodes, texts, attribute and child tables).
  std::size_t MemoryUsed() const;

 private:
  friend class TParser;
  struct TStorage;
  TDocument();

  std::unique_ptr<TStorage> storage_;
  TElem* root_ = nullptr;
};

// Shows a parser diagnostic (text, caption) and answers OK (true) or Cancel (false).
using TParserPrompt = std::function<bool(const std::string& text, const std::string& caption)>;

// Reports of malformed pages (an imbricated FORM, an unmatched close tag), for whoever asks for
// them by passing this to Parse. Cancel in the prompt turns them off for the parses that follow.
struct TParserDiagnostics {
  // Empty: the diagnostic goes to stderr and is answered OK.
  TParserPrompt Prompt;
  bool On = true;
};

// Builds the tree of a page. Never fails on malformed input; pages of 4 GiB or more are refused
// with std::length_error. Diagnostics are reported only when given.
std::unique_ptr<TDocument> Parse(std::string_view text, TParserDiagnostics* diagnostics = nullptr);

// Replaces character references ("&lt;", "&#65;", "&#x41;" ...); unknown ones are lower-cased.
std::string DecodeEntities(std::string_view text);

// Element paths such as "\HTML\BODY\3 TABLE\TR\2 TD": each step names a child, optionally
// preceded by its 1-based count among the children of that name. Null when nothing matches.
TElem* FindElem(const TElem* start, std::string_view path);
// The n-th element of the list with that name (case-insensitive), counting from 1.
TElem* FindChild(const TElemList& list, std::string_view name, int n);
// The text an element renders to: links, bold, italic, underline, breaks and paragraphs marked.
std::string GetText(const TElem* elem);

}  // namespace cq
