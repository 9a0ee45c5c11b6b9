// Parses any bytes, then walks, renders and queries the tree. The first byte, when present,
// switches the diagnostics on and scripts the prompt's answers, so Cancel paths run too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/sites/Parser.h"

namespace {

std::uint8_t g_answers = 0;

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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cq::SetParserPrompt([](const std::string&, const std::string&) {
    const bool ok = (g_answers & 1) != 0;
    g_answers = static_cast<std::uint8_t>(g_answers >> 1 | 0x80);
    return ok;
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view page(reinterpret_cast<const char*>(data), size);
  g_answers = 0xFF;
  cq::ShowParserErrors = false;
  if (!page.empty() && (page.front() & 1) != 0) {
    g_answers = static_cast<std::uint8_t>(page.front());
    cq::ShowParserErrors = true;
  }

  const auto document = cq::Parse(page);
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
  return 0;
}
