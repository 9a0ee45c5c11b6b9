#include "core/sites/Parser.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/platform/Text.h"
#include "core/sites/Arena.h"
#include "core/sites/CharClasses.h"
#include "core/sites/CloseRules.h"
#include "core/sites/DocumentStorage.h"
#include "core/sites/ParserDiagnostics.h"
#include "core/sites/Tags.h"

namespace cq {

namespace {

constexpr std::size_t kLineLimit = 100000;

}  // namespace

// The state of one parse. Nesting is followed with explicit stacks, so depth costs heap, not
// call stack: `frames_` holds the open elements, `pending_` the children gathered so far for
// each of them (an element's children sit above its own entry until it is finished).
class TParser {
 public:
  static std::unique_ptr<TDocument> Build(std::string_view text, TParserDiagnostics* diagnostics) {
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
      throw std::length_error("Page too large to parse");
    }
    std::unique_ptr<TDocument> document(new TDocument());
    document->storage_ = std::make_unique<TDocument::TStorage>(text.size());
    TParser parser(text, document->storage_->arena, diagnostics);
    document->root_ = parser.Run();
    return document;
  }

 private:
  struct TFrame {
    TElem* elem;
    std::uint32_t firstChild;  // index into pending_
    TTag tag;
    TTag lastChild;  // the element most recently parsed inside it
  };

  TParser(std::string_view text, TArena& arena, TParserDiagnostics* diagnostics)
      : text_(text),
        t_(text.data()),
        n_(text.size()),
        last_(n_ == 0 ? 0 : n_ - 1),
        diagnostics_(diagnostics),
        arena_(arena) {}

  // The end test of every scan: the last character is never scanned past.
  bool AtEnd() const { return p_ >= last_; }
  // The class of the character at p_, which is not at the end.
  std::uint8_t ClassHere() const { return kClasses[static_cast<unsigned char>(t_[p_])]; }
  unsigned char At(std::size_t i) const { return i < n_ ? static_cast<unsigned char>(t_[i]) : 0; }
  bool Is(std::size_t i, std::uint8_t cls) const { return (kClasses[At(i)] & cls) != 0; }
  std::string_view Slice(std::size_t from, std::size_t to) const {
    return from < to ? text_.substr(from, to - from) : std::string_view();
  }

  void SkipTo(char c) {
    if (AtEnd()) return;
    const void* found = std::memchr(t_ + p_, c, last_ - p_);
    p_ = found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - t_) : last_;
  }
  void SkipWhileIn(std::uint8_t cls) {
    while (!AtEnd() && (ClassHere() & cls) != 0) ++p_;
  }
  void SkipWhileNotIn(std::uint8_t cls) {
    while (!AtEnd() && (ClassHere() & cls) == 0) ++p_;
  }

  TElem* NewElem() { return new (arena_.Allocate(sizeof(TElem), alignof(TElem))) TElem(); }
  static void SetName(TElem* elem, std::string_view name) {
    elem->name_ = name.data();
    elem->nameLength_ = static_cast<std::uint32_t>(name.size());
  }

  // Moves the children gathered since `first` into the element.
  void FinishChildren(TElem* elem, std::size_t first) {
    const std::size_t count = pending_.size() - first;
    if (count == 0) return;
    TElem** items = arena_.AllocateArray<TElem*>(count);
    std::copy(pending_.begin() + static_cast<std::ptrdiff_t>(first), pending_.end(), items);
    elem->children_.items_ = items;
    elem->children_.count_ = static_cast<std::uint32_t>(count);
    pending_.resize(first);
  }

  TElem* Run() {
    TElem* root = NewElem();
    SetName(root, "HTML document");
    do {
      SkipTo('<');
      TTag tag;
      if (OpenElement(tag)) ReadContent();
      SkipWhileIn(kBlank);
    } while (!AtEnd());
    FinishChildren(root, 0);
    return root;
  }

  // One element as the next child of the innermost open element (the root when none is open).
  // True when it stays open for its content, as the new innermost frame.
  bool OpenElement(TTag& tag) {
    tag = TTag::Other;
    TElem* elem = NewElem();
    pending_.push_back(elem);
    SkipTo('<');
    if (AtEnd()) return false;
    const unsigned char next = At(p_ + 1);
    if (next == '!') {
      if (At(p_ + 2) != '-') {
        ++p_;
        const std::size_t start = p_;
        SkipTo('>');
        SetName(elem, arena_.Copy(Slice(start, p_)));
        ++p_;
        return false;
      }
      p_ += 4;
      ReadRawBlock(elem, "<JS/comment>", "-->");
      return false;
    }
    if (next == '?') {
      p_ += 2;
      ReadRawBlock(elem, "<?xml?>", "?>");
      return false;
    }

    SkipWhileNotIn(kName);
    const std::size_t start = p_;
    SkipWhileIn(kName);
    const TTagName known = LookupTag(t_ + start, p_ - start);
    tag = known.tag;
    SetName(elem, tag != TTag::Other ? known.name : UpperCopy(Slice(start, p_)));
    ReadAttributes(elem);

    // "<br/>" closes itself; in "<a href=/x/>" the '/' ends the address.
    if (At(p_ - 1) == '/' && tag != TTag::A) {
      ++p_;
      return false;
    }
    ++p_;
    std::size_t firstChild = pending_.size();
    switch (tag) {
      case TTag::META:
      case TTag::IMG:
      case TTag::LINK:
      case TTag::INPUT:
      case TTag::SPACER:
      case TTag::FRAME:
      case TTag::NOFRAME:
      case TTag::BASEFONT:
      case TTag::HR:
      case TTag::BR:
        return false;
      case TTag::SCRIPT: {
        const std::size_t end = FindScriptClose(p_);
        AddLines(p_, end);
        p_ = end;
        break;
      }
      case TTag::FORM:
        if (!closeState_.InForm) {
          closeState_.InForm = true;
        } else {
          Diagnose(diagnostics_, "Imbricated FORM detected", "Imbricated FORM detected");
        }
        break;
      case TTag::FONT:
        closeState_.InFont = true;
        break;
      case TTag::TABLE:
        ++closeState_.TableDepth;
        break;
      default:
        break;
    }
    frames_.push_back({elem, static_cast<std::uint32_t>(firstChild), tag, TTag::Other});
    return true;
  }

  // A comment or processing instruction: its text up to `close` (or the end) becomes lines.
  void ReadRawBlock(TElem* elem, std::string_view name, std::string_view close) {
    SetName(elem, name);
    const std::size_t found = p_ < n_ ? text_.find(close, p_) : std::string_view::npos;
    const std::size_t end = found == std::string_view::npos ? n_ : found;
    const std::size_t first = pending_.size();
    AddLines(p_, end);
    FinishChildren(elem, first);
    p_ = end + close.size();
  }

  std::string_view UpperCopy(std::string_view name) {
    if (name.empty()) return {};
    char* chars = arena_.AllocateChars(name.size());
    std::transform(name.begin(), name.end(), chars, UpperChar);
    return {chars, name.size()};
  }

  void ReadAttributes(TElem* elem) {
    attributes_.clear();
    for (;;) {
      while (!AtEnd() && (ClassHere() & kName) == 0 && t_[p_] != '>') ++p_;
      if (AtEnd() || !Is(p_, kName)) break;
      const std::size_t nameStart = p_;
      SkipWhileIn(kAttrName);
      const std::string_view name = Slice(nameStart, p_);
      SkipWhileNotIn(kNameStop);
      if (At(p_) != '=') {
        attributes_.push_back(arena_.Copy(name));
        continue;
      }
      SkipWhileIn(kValueSkip);
      const unsigned char quote = At(p_);
      std::string_view value;
      if (quote == '"' || quote == '\'') {
        const std::size_t valueStart = ++p_;
        SkipTo(static_cast<char>(quote));
        value = Slice(valueStart, p_);
        ++p_;
      } else {
        const std::size_t valueStart = p_;
        SkipWhileIn(kValue);
        value = Slice(valueStart, p_);
      }
      char* entry = arena_.AllocateChars(name.size() + 1 + value.size());
      std::memcpy(entry, name.data(), name.size());
      entry[name.size()] = '=';
      if (!value.empty()) std::memcpy(entry + name.size() + 1, value.data(), value.size());
      attributes_.emplace_back(entry, name.size() + 1 + value.size());
    }
    if (attributes_.empty()) return;
    std::string_view* table = arena_.AllocateArray<std::string_view>(attributes_.size());
    std::uninitialized_copy(attributes_.begin(), attributes_.end(), table);
    elem->attributes_ = table;
    elem->attributeCount_ = static_cast<std::uint32_t>(attributes_.size());
  }

  // Where the next "</script>" in any case starts, or the end of the text.
  std::size_t FindScriptClose(std::size_t from) const {
    static constexpr std::string_view kClose = "</SCRIPT>";
    std::size_t at = from;
    while (at < n_) {
      const void* found = std::memchr(t_ + at, '<', n_ - at);
      if (found == nullptr) break;
      at = static_cast<std::size_t>(static_cast<const char*>(found) - t_);
      if (n_ - at >= kClose.size() &&
          EqualsIgnoringLatinCase(std::string_view(t_ + at, kClose.size()), kClose)) {
        return at;
      }
      ++at;
    }
    return n_;
  }

  // The text up to the next '<' becomes a text node of the innermost element, once line
  // indentation, line breaks and tabs are gone; a text of blanks adds nothing.
  void ReadText() {
    const std::size_t start = p_;
    SkipTo('<');
    if (p_ <= start) return;
    const char* from = t_ + start;
    const char* to = t_ + p_;
    const char* first = from;
    while (first != to && (kClasses[static_cast<unsigned char>(*first)] & kBlank) != 0) ++first;
    if (first == to) return;

    const std::size_t room = static_cast<std::size_t>(to - from) + 2;
    char* out = arena_.AllocateChars(room);
    std::size_t length = 0;
    out[length++] = '"';
    bool afterLineFeed = false;
    char previous = 0;
    bool hasPrevious = false;
    for (const char* at = from; at != to; ++at) {
      const char c = *at;
      if (static_cast<unsigned char>(c) > ' ') {
        out[length++] = c;
        afterLineFeed = false;
        previous = c;
        hasPrevious = true;
        continue;
      }
      if (afterLineFeed && (c == ' ' || c == '\t')) continue;
      if (c == '\r' && hasPrevious && previous != '\t' && previous != '\n' && previous != ' ' &&
          previous != '>') {
        out[length++] = ' ';
      }
      afterLineFeed = c == '\n';
      previous = c;
      hasPrevious = true;
      if (c != '\t' && c != '\n' && c != '\r') out[length++] = c;
    }
    out[length++] = '"';
    arena_.Shrink(out, room, length);
    TElem* node = NewElem();
    SetName(node, {out, length});
    pending_.push_back(node);
  }

  // Line children: the text cut at every CR LF (one is added at the end when missing). After
  // each cut only the next 100000 characters are kept.
  void AddLines(std::size_t from, std::size_t to) {
    if (to > n_) to = n_;
    if (from >= to) return;
    const std::size_t length = to - from;
    const bool endsWithBreak = length >= 2 && t_[to - 2] == '\r' && t_[to - 1] == '\n';
    // The text with its added line break: positions at `length` and past are that break.
    const std::size_t total = length + (endsWithBreak ? 0 : 2);
    std::size_t rest = 0;
    std::size_t restEnd = total;
    while (rest < restEnd) {
      const std::size_t lineBreak = FindLineBreak(from, length, rest, restEnd);
      if (lineBreak == std::string_view::npos) {
        AddLine(from, length, rest, restEnd);
        break;
      }
      AddLine(from, length, rest, lineBreak);
      rest = lineBreak + 2;
      restEnd = std::min(restEnd, rest + kLineLimit);
    }
  }

  // The offset of the next CR LF wholly inside [rest, restEnd) of the text at `from` with its
  // added break, or npos.
  std::size_t FindLineBreak(std::size_t from, std::size_t length, std::size_t rest,
                            std::size_t restEnd) const {
    auto charAt = [&](std::size_t i) {
      return i < length ? t_[from + i] : i == length ? '\r' : '\n';
    };
    std::size_t at = rest;
    const std::size_t realEnd = std::min(restEnd, length);
    while (at < realEnd) {
      const void* found = std::memchr(t_ + from + at, '\r', realEnd - at);
      if (found == nullptr) break;
      at = static_cast<std::size_t>(static_cast<const char*>(found) - (t_ + from));
      if (at + 1 < restEnd && charAt(at + 1) == '\n') return at;
      ++at;
    }
    if (length >= rest && length + 1 < restEnd) return length;
    return std::string_view::npos;
  }

  void AddLine(std::size_t from, std::size_t length, std::size_t begin, std::size_t end) {
    TElem* node = NewElem();
    pending_.push_back(node);
    if (begin >= end) return;
    char* chars = arena_.AllocateChars(end - begin);
    const std::size_t real = begin < length ? std::min(end, length) - begin : 0;
    if (real != 0) std::memcpy(chars, t_ + from + begin, real);
    for (std::size_t i = begin + real; i < end; ++i) chars[i - begin] = i == length ? '\r' : '\n';
    SetName(node, {chars, end - begin});
  }

  // The content loop of the innermost open element, until the element that `Run` opened is
  // finished.
  void ReadContent() {
    while (!frames_.empty()) {
      ReadText();
      if (AtEnd()) {
        FinishElements();
      } else if (At(p_ + 1) != '/') {
        ReadStartTagInContent();
      } else {
        ReadCloseTagInContent();
      }
    }
  }

  // Whether the tag name right after the '<' at p_ equals `name` (upper case).
  bool NextTagNameIs(std::string_view name) const {
    std::size_t at = p_ + 1;
    for (std::size_t i = 0;; ++i, ++at) {
      const bool inName = at + 1 < n_ && Is(at, kName);
      if (i == name.size()) return !inName;
      if (!inName || UpperChar(t_[at]) != name[i]) return false;
    }
  }

  void ReadStartTagInContent() {
    const std::size_t index = frames_.size() - 1;
    const TFrame& frame = frames_[index];
    if (ClosesImplicitly(frame.tag) && NextTagNameIs(frame.elem->Name())) {
      FinishElements();
      return;
    }
    TTag child;
    const bool open = OpenElement(child);
    frames_[index].lastChild = child;
    if (!open && ClosedByFlags(frames_[index].tag)) FinishElements();
  }

  // A FORM or FONT whose flag a stray close tag cleared ends when control returns to it.
  bool ClosedByFlags(TTag tag) const {
    return (tag == TTag::FORM && !closeState_.InForm) || (tag == TTag::FONT && !closeState_.InFont);
  }

  // Finishes the innermost element, then every enclosing one that its flag closes.
  void FinishElements() {
    for (;;) {
      const TFrame frame = frames_.back();
      frames_.pop_back();
      FinishChildren(frame.elem, frame.firstChild);
      if (frames_.empty() || !ClosedByFlags(frames_.back().tag)) return;
    }
  }

  void ReadCloseTagInContent() {
    const std::size_t tagStart = p_;
    // A close tag that travels up is read once, however many elements it passes.
    if (closeTagStart_ != tagStart) {
      p_ += 2;
      const std::size_t start = p_;
      SkipWhileIn(kName);
      closeTagStart_ = tagStart;
      closeName_ = Slice(start, p_);
      closeNameEnd_ = p_;
      closeTag_ = LookupTag(closeName_.data(), closeName_.size()).tag;
    }
    p_ = closeNameEnd_;
    const TFrame& frame = frames_.back();
    const bool sameName =
        closeTag_ != TTag::Other
            ? closeTag_ == frame.tag
            : frame.tag == TTag::Other && EqualsIgnoringLatinCase(closeName_, frame.elem->Name());
    switch (DecideClose(frame.tag, frame.lastChild, closeTag_, sameName, closeState_)) {
      case TAction::Close:
        SkipTo('>');
        ++p_;
        FinishElements();
        break;
      case TAction::Leave:
        p_ = tagStart;
        FinishElements();
        break;
      case TAction::Ignore:
        SkipTo('>');
        ++p_;
        break;
      case TAction::Complain:
        // Cancel leaves the rest of the tag, from its '>' on, to the parent as text.
        if (!DiagnosticsOn(diagnostics_) || ComplainOfClose(frame.elem->Name())) p_ = tagStart;
        FinishElements();
        break;
    }
  }

  // The message is built only when it is shown: a long close name can pass many elements.
  bool ComplainOfClose(std::string_view expected) const {
    return Diagnose(
        diagnostics_,
        "</" + std::string(expected) + "> expected but </" + UpperLatin(closeName_) + "> found",
        "Un-matched tag close");
  }

  std::string_view text_;
  const char* t_;
  std::size_t n_;
  std::size_t last_;  // n_ - 1: a scan stops there
  std::size_t p_ = 0;
  TCloseState closeState_;
  TParserDiagnostics* diagnostics_;
  TArena& arena_;
  std::vector<TFrame> frames_;
  std::vector<TElem*> pending_;
  std::vector<std::string_view> attributes_;
  std::size_t closeTagStart_ = std::string_view::npos;
  std::size_t closeNameEnd_ = 0;
  std::string_view closeName_;
  TTag closeTag_ = TTag::Other;
};

std::unique_ptr<TDocument> Parse(std::string_view text, TParserDiagnostics* diagnostics) {
  return TParser::Build(text, diagnostics);
}

}  // namespace cq
