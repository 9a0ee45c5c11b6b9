#pragma once

// A second, deliberately plain reading of the page rules for the fuzzer to compare against:
// positions counted from 1, recursion one level per open element, strings cut and pasted
// as the rules say. Slow and stack-hungry by design; only small inputs go through it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cq::reference {

struct TNode {
  std::string name;
  std::vector<std::string> attributes;
  std::vector<std::unique_ptr<TNode>> children;
};

struct TDiagnostics {
  bool show = false;
  // Answers OK (true) or Cancel (false) for a message text.
  std::function<bool(const std::string& text)> ask;
};

std::unique_ptr<TNode> Parse(const std::string& text, TDiagnostics& diagnostics);
std::string DecodeEntities(std::string text);
std::string GetText(const TNode& node);

}  // namespace cq::reference
