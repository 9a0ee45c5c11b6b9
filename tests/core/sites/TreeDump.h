#pragma once

#include <string>

#include "core/sites/Parser.h"

namespace cq::test {

// A tree in one line: Name[attr|attr](child child). Text nodes keep their quotes.
inline std::string Dump(const TElem* elem) {
  std::string out(elem->Name());
  if (elem->AttributeCount() != 0) {
    out += '[';
    for (std::size_t i = 0; i < elem->AttributeCount(); ++i) {
      if (i != 0) out += '|';
      out += elem->AttributeEntry(i);
    }
    out += ']';
  }
  if (elem->Children().Count() != 0) {
    out += '(';
    bool first = true;
    for (const TElem* child : elem->Children()) {
      if (!first) out += ' ';
      first = false;
      out += Dump(child);
    }
    out += ')';
  }
  return out;
}

// The top-level nodes of a parsed page, separated by spaces.
inline std::string DumpPage(std::string_view page, TParserDiagnostics* diagnostics = nullptr) {
  const auto document = Parse(page, diagnostics);
  std::string out;
  for (const TElem* child : document->Root()->Children()) {
    if (!out.empty()) out += ' ';
    out += Dump(child);
  }
  return out;
}

}  // namespace cq::test
