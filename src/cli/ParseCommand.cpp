#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "core/platform/Text.h"
#include "core/sites/Parser.h"
#include "core/transfer/Inet.h"

namespace cq::cli {

namespace {

// Line breaks and tabs inside a name are shown escaped, so that every node keeps one line.
void AppendShown(std::string& line, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\r':
        line += "\\r";
        break;
      case '\n':
        line += "\\n";
        break;
      case '\t':
        line += "\\t";
        break;
      default:
        line += c;
    }
  }
}

void PrintTree(const TElem* root) {
  std::vector<std::pair<const TElem*, std::size_t>> stack{{root, 0}};
  std::string line;
  while (!stack.empty()) {
    const auto [elem, depth] = stack.back();
    stack.pop_back();
    line.assign(depth * 2, ' ');
    AppendShown(line, elem->Name());
    for (std::size_t i = 0; i < elem->AttributeCount(); ++i) {
      line += " [";
      AppendShown(line, elem->AttributeEntry(i));
      line += ']';
    }
    line += '\n';
    const std::string shown = Cp1251ToUtf8(line);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
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
  std::printf("%s\n", Cp1251ToUtf8(text).c_str());
  return 0;
}

}  // namespace cq::cli
