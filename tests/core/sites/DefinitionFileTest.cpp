#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/sites/definitions/DefinitionFile.h"
#include "core/sites/definitions/DefinitionSites.h"

namespace cq {
namespace {

// A valid definition; each case replaces one of its lines (or adds a tenth) to break it.
const std::string kValid =
    "name: Example\n"                                 // 1
    "home: http://example.test/\n"                    // 2
    "melody:\n"                                       // 3
    "  links: '** A[href$=\".mid\"]'\n"               // 4
    "search:\n"                                       // 5
    "  address: http://example.test/find?q={term}\n"  // 6
    "  rows: '\\HTML\\BODY\\** LI'\n"                 // 7
    "  title: A\n"                                    // 8
    "  page: A@href\n";                               // 9

std::string WithLine(int line, const std::string& text) {
  std::string out;
  std::size_t begin = 0;
  for (int n = 1; begin < kValid.size(); ++n) {
    const std::size_t end = kValid.find('\n', begin) + 1;
    out += n == line ? text + "\n" : kValid.substr(begin, end - begin);
    begin = end;
  }
  return line > 9 ? out + text + "\n" : out;
}

TEST(DefinitionFile, ProblemsNameTheirLine) {
  ASSERT_TRUE(ReadDefinition(kValid, "x.yaml").Definition.has_value());
  struct Case {
    int line;
    std::string text;
    std::string problem;  // "LINE: text" of the first problem
  };
  const Case cases[] = {
      {10, "colour: red", "10: unknown key 'colour' in the definition"},
      {10, "  colour: red", "10: unknown key 'colour' in search"},
      {10, "  rows: A", "10: 'rows' is given twice"},
      {6, "  where: http://example.test/", "6: unknown key 'where' in search"},
      {6, "  address: http://example.test/find", "6: the search address does not hold {term}"},
      {6, "  address: ftp://example.test/{term}",
       "6: the search address is not an http or https address"},
      {2, "home: file:///etc/passwd", "2: 'home' is not an http or https address"},
      {7, "  rows: '\\HTML\\0 TABLE'",
       "7: 'rows': bad path '\\HTML\\0 TABLE': a step's count must be a number from 1, * or "
       "**: '0'"},
      {4, "  links: '** A[href$=.mid]'",
       "4: 'links': bad path '** A[href$=.mid]': a filter's value must be in double quotes"},
      {9, "  page: 'A@'", "9: 'page': not an attribute name after @: ''"},
      {1, "name: ../x",
       "1: the name must be 1 to 64 characters, without / \\ : * ? \" < > | and "
       "not begin with a point"},
      {10, "encoding: no-such-set", "10: unknown encoding 'no-such-set'"},
      {10, "  page-limit: 101", "10: 'page-limit' must be a number from 1 to 100"},
      {10, "  page-parameter: {first: 0}", "6: with 'page-parameter' the address must hold {page}"},
      {10, "  fix-ups: [[\"a\"]]", "10: each entry of 'fix-ups' must be a pair [\"from\", \"to\"]"},
      {10, "  space: '_'", "10: 'space' must be \"+\" or \"%20\""},
      {4, "  links: A\n  format: bytes", "5: 'format' must be caption or extension"},
      {8, "  # no title", "6: 'title' is missing in search"},
      {9, "  files: {links: A}", "4: 'melody' is only for sites whose rows give a melody 'page'"},
      {10, "  - [", "10: did not find expected key"},
      {10, "  fix-ups: &a [[\"x\", \"y\"]]\n  page-limit: *a",
       "11: aliases (*name) are not allowed"},
      {10, "  fix-ups: " + std::string(65, '['),
       "10: lists and maps are nested deeper than 64 levels"},
  };
  for (const Case& c : cases) {
    const TDefinitionFile file = ReadDefinition(WithLine(c.line, c.text), "x.yaml");
    EXPECT_FALSE(file.Definition.has_value()) << c.text;
    ASSERT_FALSE(file.Problems.empty()) << c.text;
    EXPECT_EQ(std::to_string(file.Problems[0].Line) + ": " + EnglishText(file.Problems[0].Text),
              c.problem);
  }
}

TEST(DefinitionFile, UserFileReplacesShippedAndNamesAreChecked) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "definitions";
  fs::remove_all(root);
  fs::create_directories(root / "shipped");
  fs::create_directories(root / "user");
  auto write = [&](const fs::path& path, const std::string& text) { std::ofstream(path) << text; };
  write(root / "shipped" / "example.yaml", kValid);
  write(root / "shipped" / "zeta.yml", WithLine(1, "name: Zeta"));
  write(root / "shipped" / "notes.txt", "not a definition");
  write(root / "user" / "mine.yaml", WithLine(2, "home: http://mine.test/"));
  write(root / "user" / "again.yaml", WithLine(2, "home: http://again.test/"));
  write(root / "user" / "built-in.yaml", WithLine(1, "name: ALPHA"));
  std::string big(MaxDefinitionSize + 1, '#');
  write(root / "user" / "big.yaml", big);

  struct TNamed : TSite {
    std::string GetName() const override { return "Alpha"; }
    std::string GetHomePage() const override { return ""; }
    void Search(const std::string&, TMelodyList&, const TFetchContext&) const override {}
    void LoadMelodyPage(TMelody&, const TFetchContext&) const override {}
  } alpha;
  const auto entries =
      LoadDefinitions({(root / "shipped").string(), (root / "user").string()}, {&alpha});
  std::vector<std::string> seen;
  for (const TDefinitionEntry& entry : entries) {
    std::string line = fs::path(entry.File.FileName).filename().string() + " " +
                       (entry.Site ? entry.Site->GetHomePage() : "-");
    for (const auto& problem : entry.File.Problems) line += " | " + EnglishText(problem.Text);
    seen.push_back(line);
  }
  const std::vector<std::string> expected = {
      "built-in.yaml - | a built-in site is called 'ALPHA'",
      "big.yaml - | the file is larger than 256 KiB",
      "again.yaml http://again.test/",
      "mine.yaml - | '" + (root / "user" / "again.yaml").string() + "' defines the same site",
      "zeta.yml http://example.test/",
  };
  EXPECT_EQ(seen, expected);
  fs::remove_all(root);
}

}  // namespace
}  // namespace cq
