// Parses any bytes, then walks, renders and queries the tree. The first byte, when present,
// switches the diagnostics on and scripts the prompt's answers, so Cancel paths run too.
// Small inputs are also read by the plain reference reading of the rules, and both trees,
// texts and diagnostics must agree.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ReferenceParser.h"
#include "core/sites/Parser.h"

namespace {

constexpr std::size_t kReferenceLimit = 4096;

// The prompt's answers: one bit each, lowest first; then OK forever.
struct TScript {
  std::uint8_t bits = 0;
  std::vector<std::string> messages;

  bool Answer(const std::string& text) {
    messages.push_back(text);
    const bool ok = (bits & 1) != 0;
    bits = static_cast<std::uint8_t>(bits >> 1 | 0x80);
    return ok;
  }
};

TScript g_ours;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Every node is reachable without recursion and every list knows its owner.
std::size_t CheckTree(const cq::TElem* root) {
  std::vector<const cq::TElem*> stack{root};
  std::size_t nodes = 0;
  while (!stack.empty()) {
    const cq::TElem* elem = stack.back();
    stack.pop_back();
    ++nodes;
    Require(elem->Children().Owner() == elem);
    // An attribute name is never empty, and lookup finds the first of its name.
    for (std::size_t i = 0; i < elem->AttributeCount(); ++i) {
      const std::string_view entry = elem->AttributeEntry(i);
      Require(!entry.empty() && entry.front() != '=');
      if (i != 0) continue;
      const std::size_t equals = entry.find('=');
      const std::string_view value =
          equals == std::string_view::npos ? std::string_view() : entry.substr(equals + 1);
      Require(elem->Attribute(entry.substr(0, equals)) == value);
    }
    for (const cq::TElem* child : elem->Children()) {
      Require(child != nullptr);
      stack.push_back(child);
    }
  }
  return nodes;
}

void RequireSameTree(const cq::TElem* ours, const cq::reference::TNode* theirs) {
  std::vector<std::pair<const cq::TElem*, const cq::reference::TNode*>> stack{{ours, theirs}};
  while (!stack.empty()) {
    const auto [a, b] = stack.back();
    stack.pop_back();
    Require(a->Name() == b->name);
    Require(a->AttributeCount() == b->attributes.size());
    for (std::size_t i = 0; i < a->AttributeCount(); ++i) {
      Require(a->AttributeEntry(i) == b->attributes[i]);
    }
    Require(a->Children().Count() == b->children.size());
    for (std::size_t i = 0; i < b->children.size(); ++i) {
      stack.push_back({a->Children()[i], b->children[i].get()});
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const bool diagnose = !page.empty() && (page.front() & 1) != 0;
  const std::uint8_t answers = diagnose ? static_cast<std::uint8_t>(page.front()) : 0xFF;
  g_ours = {answers, {}};
  cq::TParserDiagnostics diagnostics{
      [](const std::string& text, const std::string&) { return g_ours.Answer(text); }, diagnose};

  const auto document = cq::Parse(page, &diagnostics);
  const std::size_t nodes = CheckTree(document->Root());
  // Every node but the root and one empty trailing element takes at least one input byte.
  Require(nodes <= page.size() + 2);
  Require(document->MemoryUsed() < 64 * page.size() + 65536);

  const std::string text = cq::GetText(document->Root());
  const std::string decoded = cq::DecodeEntities(page);
  Require(decoded.size() <= page.size());

  // A path made of the page's own words: numbers, names and backslashes.
  const std::string_view path = page.substr(0, page.size() < 64 ? page.size() : 64);
  if (const cq::TElem* found = cq::FindElem(document->Root(), path)) cq::GetText(found);

  if (size <= kReferenceLimit) {
    TScript theirs{answers, {}};
    cq::reference::TDiagnostics referenceDiagnostics{
        diagnose, [&theirs](const std::string& message) { return theirs.Answer(message); }};
    const auto reference = cq::reference::Parse(std::string(page), referenceDiagnostics);
    RequireSameTree(document->Root(), reference.get());
    Require(g_ours.messages == theirs.messages);
    Require(text == cq::reference::GetText(*reference));
    Require(decoded == cq::reference::DecodeEntities(std::string(page)));
  }
  return 0;
}
