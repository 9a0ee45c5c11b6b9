#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Text.h"
#include "core/sites/IntegerText.h"
#include "core/sites/Parser.h"

namespace cq {

namespace {

// The value of the first attribute of that name, as stored in the tree; empty when absent.
std::string_view AttributeValue(const TElem& elem, std::string_view name) {
  for (std::size_t i = 0; i < elem.AttributeCount(); ++i) {
    const std::string_view entry = elem.AttributeEntry(i);
    const std::size_t equals = entry.find('=');
    if (!EqualsIgnoringLatinCase(entry.substr(0, equals), name)) continue;
    return equals == std::string_view::npos ? std::string_view() : entry.substr(equals + 1);
  }
  return {};
}

// The text being built, as a chain of pieces: a link's address can then be put in front of
// its text once the text is known, without moving what is already there.
class TPieces {
 public:
  TPieces() : pieces_(1) {}

  // Marks the current end, to insert before what follows or to read it back.
  struct TMark {
    std::size_t piece;
    std::size_t length;
  };
  TMark Mark() const { return {tail_, length_}; }
  std::size_t LengthSince(TMark mark) const { return length_ - mark.length; }

  void Append(std::string_view text) {
    if (text.empty()) return;
    pieces_.push_back({text, kNone});
    pieces_[tail_].next = pieces_.size() - 1;
    tail_ = pieces_.size() - 1;
    length_ += text.size();
  }

  // Puts the texts, in order, right after the mark.
  void InsertAfter(TMark mark, std::initializer_list<std::string_view> texts) {
    std::size_t after = mark.piece;
    for (const std::string_view text : texts) {
      pieces_.push_back({text, pieces_[after].next});
      pieces_[after].next = pieces_.size() - 1;
      if (after == tail_) tail_ = pieces_.size() - 1;
      after = pieces_.size() - 1;
      length_ += text.size();
    }
  }

  // Whether what follows the mark reads `text`; the caller has checked the lengths agree.
  bool EqualsSince(TMark mark, std::string_view text) const {
    std::size_t offset = 0;
    for (std::size_t i = pieces_[mark.piece].next; i != kNone; i = pieces_[i].next) {
      const std::string_view piece = pieces_[i].text;
      if (text.substr(offset, piece.size()) != piece) return false;
      offset += piece.size();
    }
    return true;
  }

  std::string Join() const {
    std::string out;
    out.reserve(length_);
    for (std::size_t i = pieces_[0].next; i != kNone; i = pieces_[i].next) out += pieces_[i].text;
    return out;
  }

  // Keeps a decoded text alive while it is a piece.
  std::string_view Keep(std::string text) { return kept_.emplace_back(std::move(text)); }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  struct TPiece {
    std::string_view text;
    std::size_t next = kNone;
  };
  std::vector<TPiece> pieces_;  // [0] is the head
  std::size_t tail_ = 0;
  std::size_t length_ = 0;
  std::deque<std::string> kept_;
};

enum class TRendering { Plain, Link, Bold, Italic, Underline, Break, Paragraph, Text };

TRendering RenderingOf(std::string_view name) {
  if (!name.empty() && name.front() == '"') return TRendering::Text;
  if (name.size() == 1) {
    switch (name.front()) {
      case 'A':
      case 'a':
        return TRendering::Link;
      case 'B':
      case 'b':
        return TRendering::Bold;
      case 'I':
      case 'i':
        return TRendering::Italic;
      case 'U':
      case 'u':
        return TRendering::Underline;
      case 'P':
      case 'p':
        return TRendering::Paragraph;
      default:
        return TRendering::Plain;
    }
  }
  return EqualsIgnoringLatinCase(name, "BR") ? TRendering::Break : TRendering::Plain;
}

std::string_view TextOfTextNode(std::string_view name, TPieces& pieces) {
  std::string_view text = name.size() >= 2 ? name.substr(1, name.size() - 2) : std::string_view();
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.find('&') == std::string_view::npos) return text;
  return pieces.Keep(DecodeEntities(text));
}

}  // namespace

std::string TElem::Attribute(std::string_view name) const {
  return std::string(AttributeValue(*this, name));
}

TElem* FindChild(const TElemList& list, std::string_view name, int n) {
  if (n < 1) return nullptr;
  for (TElem* child : list) {
    if (EqualsIgnoringLatinCase(child->Name(), name) && --n == 0) return child;
  }
  return nullptr;
}

TElem* FindElem(const TElem* start, std::string_view path) {
  if (start == nullptr) return nullptr;
  if (path.starts_with('\\')) path.remove_prefix(1);
  const TElem* current = start;
  // Every piece between backslashes is a step, the one after the last backslash too.
  for (;;) {
    const std::size_t slash = path.find('\\');
    std::string_view step = path.substr(0, slash);
    std::int32_t n = 1;
    const std::size_t space = step.find(' ');
    if (space != std::string_view::npos) {
      if (!ReadInteger(step.substr(0, space), n)) return nullptr;
      step.remove_prefix(space + 1);
    }
    // An empty step (a path ending in a backslash) is a prefix for other paths, never a match.
    if (step.empty()) return nullptr;
    current = FindChild(current->Children(), step, n);
    if (current == nullptr) return nullptr;
    if (slash == std::string_view::npos) return const_cast<TElem*>(current);
    path.remove_prefix(slash + 1);
  }
}

std::string GetText(const TElem* elem) {
  if (elem == nullptr) return {};
  struct TVisit {
    const TElem* elem;
    std::size_t next;  // index of the next child to visit
    TRendering rendering;
    TPieces::TMark mark;
  };
  TPieces pieces;
  std::vector<TVisit> stack;
  auto enter = [&](const TElem* node) {
    const TRendering rendering = RenderingOf(node->Name());
    switch (rendering) {
      case TRendering::Text:
        pieces.Append(TextOfTextNode(node->Name(), pieces));
        return;
      case TRendering::Bold:
        pieces.Append("*");
        break;
      case TRendering::Italic:
        pieces.Append("/");
        break;
      case TRendering::Underline:
        pieces.Append("_");
        break;
      case TRendering::Break:
        pieces.Append("\r\n");
        break;
      case TRendering::Paragraph:
        pieces.Append("\r\n  ");
        break;
      default:
        break;
    }
    stack.push_back({node, 0, rendering, pieces.Mark()});
  };
  auto leave = [&](const TVisit& visit) {
    switch (visit.rendering) {
      case TRendering::Bold:
        pieces.Append("*");
        break;
      case TRendering::Italic:
        pieces.Append("/");
        break;
      case TRendering::Underline:
        pieces.Append("_");
        break;
      case TRendering::Link: {
        const std::string_view address = AttributeValue(*visit.elem, "HREF");
        const bool same = address.size() == pieces.LengthSince(visit.mark) &&
                          pieces.EqualsSince(visit.mark, address);
        if (!address.empty() && !same) pieces.InsertAfter(visit.mark, {"<", address, "> "});
        break;
      }
      default:
        break;
    }
  };
  enter(elem);
  while (!stack.empty()) {
    TVisit& top = stack.back();
    const TElemList& children = top.elem->Children();
    if (top.next < children.Count()) {
      enter(children[top.next++]);
      continue;
    }
    const TVisit visit = top;
    stack.pop_back();
    leave(visit);
  }
  return pieces.Join();
}

}  // namespace cq
