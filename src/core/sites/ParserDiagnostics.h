#pragma once

#include <string>

#include "core/sites/Parser.h"

namespace cq {

inline bool DiagnosticsOn(const TParserDiagnostics* diagnostics) {
  return diagnostics != nullptr && diagnostics->On;
}

// Shows a diagnostic when they are on; false when the user chose Cancel.
bool Diagnose(TParserDiagnostics* diagnostics, const std::string& text, const std::string& caption);

}  // namespace cq
