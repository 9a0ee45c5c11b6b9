#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/Command.h"
#include "cli/Shown.h"
#include "core/platform/Text.h"
#include "core/sites/Parser.h"
#include "core/transfer/FileText.h"

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

std::function<int()> DeclareParse(CLI::App& command, const TSiteRegistry&) {
  auto file = std::make_shared<std::string>();
  command.add_option("FILE", *file, "the page, a file")->required();
  return [file] {
    const auto document = Parse(ReadFileText(*file));
    PrintTree(document->Root());
    return kSucceeded;
  };
}

std::function<int()> DeclarePath(CLI::App& command, const TSiteRegistry&) {
  struct Options {
    std::string file;
    std::string path;
    std::string attribute;
  };
  auto options = std::make_shared<Options>();
  command.add_option("FILE", options->file, "the page, a file")->required();
  command.add_option("PATH", options->path, "an element path, such as \\HTML\\BODY\\2 TABLE")
      ->required();
  CLI::Option* attribute =
      command.add_option("--attr", options->attribute, "print this attribute instead of the text")
          ->type_name("NAME");
  return [options, attribute] {
    const auto document = Parse(ReadFileText(options->file));
    const TElem* elem = FindElem(document->Root(), Utf8ToCp1251(options->path));
    if (elem == nullptr) return Fail("not found");
    const std::string text =
        attribute->count() > 0 ? elem->Attribute(Utf8ToCp1251(options->attribute)) : GetText(elem);
    std::printf("%s\n", Shown(Cp1251ToUtf8(text)).c_str());
    return kSucceeded;
  };
}

}  // namespace cq::cli
