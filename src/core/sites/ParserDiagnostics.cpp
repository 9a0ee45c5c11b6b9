#include "core/sites/ParserDiagnostics.h"

#include <cstdio>

namespace cq {

bool Diagnose(TParserDiagnostics* diagnostics, const std::string& text,
              const std::string& caption) {
  if (!DiagnosticsOn(diagnostics)) return true;
  bool ok = true;
  if (diagnostics->Prompt) {
    ok = diagnostics->Prompt(text, caption);
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  if (!ok) diagnostics->On = false;
  return ok;
}

}  // namespace cq
