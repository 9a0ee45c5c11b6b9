#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/platform/Text.h"
#include "core/sites/Parser.h"
#include "core/transfer/Inet.h"

namespace cq::cli {

namespace {

void PrintTree(const TElem* root) {
  std::vector<std::pair<const TElem*, std::size_t>> stack{{root, 0}};
  std::string line;
  while (!stack.empty()) {
    const auto [elem, depth] = stack.back();
    stack.pop_back();
    line.assign(depth * 2, ' ');
    line += Shown(Cp1251ToUtf8(elem->Name()));
    for (std::size_t i = 0; i < elem->AttributeCount(); ++i) {
      line += " [" + Shown(Cp1251ToUtf8(elem->AttributeEntry(i))) + "]";
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    const TElemList& children = elem->Children();
    for (std::size_t i = children.Count(); i > 0; --i)
      stack.push_back({children[i - 1], depth + 1});
  }
}

}  // namespace

int RunParse(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].starts_with('-')) return Fail("parse: one file name is needed");
  const auto document = Parse(ReadFileText(args[0]));
  PrintTree(document->Root());
  return 0;
}

int RunPath(const std::vector<std::string>& args) {
  std::vector<std::string> operands;
  std::string attribute;
  bool wantsAttribute = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--attr") {
      if (i + 1 == args.size()) return Fail("path: --attr needs an attribute name");
      attribute = args[++i];
      wantsAttribute = true;
    } else if (args[i].starts_with("--")) {
      return Fail("path: unknown option " + args[i]);
    } else {
      operands.push_back(args[i]);
    }
  }
  if (operands.size() != 2) return Fail("path: a file name and a path are needed (try --help)");
  const auto document = Parse(ReadFileText(operands[0]));
  const TElem* elem = FindElem(document->Root(), Utf8ToCp1251(operands[1]));
  if (elem == nullptr) return Fail("not found");
  const std::string text =
      wantsAttribute ? elem->Attribute(Utf8ToCp1251(attribute)) : GetText(elem);
  std::printf("%s\n", Shown(Cp1251ToUtf8(text)).c_str());
  return 0;
}

}  // namespace cq::cli
