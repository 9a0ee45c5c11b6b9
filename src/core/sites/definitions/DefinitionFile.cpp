#include "core/sites/definitions/DefinitionFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <span>

#include "core/platform/Text.h"
#include "core/sites/WebAddress.h"
#include "core/sites/definitions/YamlTree.h"

namespace cq {

namespace {

constexpr std::string_view kLinkKeys[] = {"links",
                                          "address",
                                          "addresses",
                                          "caption",
                                          "caption-prefix",
                                          "caption-by-address",
                                          "lower-case-address",
                                          "format"};

// Reads the parts of a definition, collecting every problem it meets.
class TReader {
 public:
  explicit TReader(std::vector<TDefinitionProblem>& problems) : problems_(problems) {}

  void Problem(const TYamlNode& node, std::vector<TMessage> text) {
    problems_.push_back({node.Line(), std::move(text)});
  }
  void Problem(const TYamlNode& node, const char* key, const char* english,
               std::vector<std::string> args = {}) {
    Problem(node, {{std::string("Definitions.") + key, english, std::move(args)}});
  }
  bool Failed() const { return !problems_.empty(); }

  // `where` is a part's key, or empty for the whole definition.
  void Missing(const TYamlNode& map, const std::string& key, const std::string& where) {
    if (where.empty()) {
      Problem(map, "Missing", "'%1' is missing", {key});
    } else {
      Problem(map, "MissingIn", "'%1' is missing in %2", {key, where});
    }
  }

  void PathProblem(const TYamlNode& node, const std::string& key, std::vector<TMessage> error) {
    std::vector<TMessage> text{{"", "'%1'", {key}}};
    for (TMessage& message : error) {
      for (std::string& arg : message.Args) arg = Cp1251ToUtf8(arg);
      text.push_back(std::move(message));
    }
    Problem(node, std::move(text));
  }

  // Names every key of `map` that is not allowed, and every key given twice.
  bool CheckKeys(const TYamlNode& map, const std::string& where,
                 std::initializer_list<std::span<const std::string_view>> allowedSets) {
    if (!map.IsMap()) {
      if (where.empty()) {
        Problem(map, "NotAMap", "the definition must be a set of 'key: value' lines");
      } else {
        Problem(map, "NotAMapIn", "%1 must be a set of 'key: value' lines", {where});
      }
      return false;
    }
    std::set<std::string> seen;
    for (std::size_t i = 0; i < map.size(); ++i) {
      const TYamlNode& keyNode = map.Key(i);
      const std::string key = keyNode.IsScalar() ? keyNode.Scalar() : "";
      bool known = false;
      for (const auto& allowed : allowedSets) {
        for (const std::string_view name : allowed) known = known || key == name;
      }
      if (!known) {
        if (where.empty()) {
          Problem(keyNode, "UnknownKey", "unknown key '%1' in the definition", {key});
        } else {
          Problem(keyNode, "UnknownKeyIn", "unknown key '%1' in %2", {key, where});
        }
      } else if (!seen.insert(key).second) {
        Problem(keyNode, "Twice", "'%1' is given twice", {key});
      }
    }
    return true;
  }

  // A text value (converted to windows-1251), or nothing after a problem.
  std::optional<std::string> Text(const TYamlNode& node, const std::string& key) {
    if (!node.IsScalar()) {
      Problem(node, "NotText", "'%1' must be a text", {key});
      return std::nullopt;
    }
    return Utf8ToCp1251(node.Scalar());
  }

  std::optional<std::string> Required(const TYamlNode& map, const std::string& key,
                                      const std::string& where) {
    const TYamlNode& node = map[key];
    if (!node) {
      Missing(map, key, where);
      return std::nullopt;
    }
    return Text(node, key);
  }

  std::optional<TSelectPath> Path(const TYamlNode& node, const std::string& key) {
    const std::optional<std::string> text = Text(node, key);
    if (!text) return std::nullopt;
    std::vector<TMessage> error;
    std::optional<TSelectPath> path = TSelectPath::Compile(*text, error);
    if (!path) PathProblem(node, key, error);
    return path;
  }

  std::optional<TValuePath> Value(const TYamlNode& node, const std::string& key) {
    const std::optional<std::string> text = Text(node, key);
    if (!text) return std::nullopt;
    std::vector<TMessage> error;
    std::optional<TValuePath> value = TValuePath::Compile(*text, error);
    if (!value) PathProblem(node, key, error);
    return value;
  }

  bool Flag(const TYamlNode& node, const std::string& key) {
    if (node.IsScalar() && (node.Scalar() == "true" || node.Scalar() == "false")) {
      return node.Scalar() == "true";
    }
    Problem(node, "NotFlag", "'%1' must be true or false", {key});
    return false;
  }

  int Number(const TYamlNode& node, const std::string& key, int low, int high) {
    const std::string text = node.IsScalar() ? node.Scalar() : "";
    int value = 0;
    bool digits = !text.empty() && text.size() <= 6;
    for (const char c : text) {
      digits = digits && c >= '0' && c <= '9';
      if (digits) value = value * 10 + (c - '0');
    }
    if (!digits || value < low || value > high) {
      Problem(node, "NotNumber", "'%1' must be a number from %2 to %3",
              {key, std::to_string(low), std::to_string(high)});
      return low;
    }
    return value;
  }

  // A list of [from, to] pairs.
  TTextPairs Pairs(const TYamlNode& node, const std::string& key) {
    TTextPairs pairs;
    if (!node.IsSequence()) {
      Problem(node, "NotPairs", "'%1' must be a list of [\"from\", \"to\"] pairs", {key});
      return pairs;
    }
    for (const TYamlNode& pair : node.Items()) {
      if (!pair.IsSequence() || pair.size() != 2 || !pair[0].IsScalar() || !pair[1].IsScalar()) {
        Problem(pair, "NotPair", "each entry of '%1' must be a pair [\"from\", \"to\"]", {key});
        continue;
      }
      if (pair[0].Scalar().empty()) {
        Problem(pair, "EmptyFrom", "the first text of a pair in '%1' is empty", {key});
        continue;
      }
      pairs.emplace_back(Utf8ToCp1251(pair[0].Scalar()), Utf8ToCp1251(pair[1].Scalar()));
    }
    return pairs;
  }

  std::string Encoding(const TYamlNode& node, const std::string& key) {
    const std::optional<std::string> name = Text(node, key);
    if (name && !EncodingKnown(*name)) Problem(node, "Encoding", "unknown encoding '%1'", {*name});
    return name.value_or("windows-1251");
  }

  void Links(const TYamlNode& map, const std::string& where, TLinkRules& rules) {
    if (!map["links"]) {
      Missing(map, "links", where);
    } else if (auto path = Path(map["links"], "links")) {
      rules.Links = *path;
    }
    std::vector<TMessage> error;
    rules.Address = *TValuePath::Compile(".@href", error);
    if (map["address"] && map["addresses"]) {
      Problem(map["addresses"], "AddressOrAddresses", "give 'address' or 'addresses', not both");
    }
    if (map["address"]) {
      if (auto value = Value(map["address"], "address")) rules.Address = *value;
    }
    if (map["addresses"]) rules.Addresses = Path(map["addresses"], "addresses");
    if (map["caption"]) {
      if (auto value = Value(map["caption"], "caption")) rules.Caption = *value;
    }
    if (map["caption-prefix"]) {
      rules.CaptionPrefix = Text(map["caption-prefix"], "caption-prefix").value_or("");
    }
    if (map["caption-by-address"]) {
      rules.CaptionByAddress = Pairs(map["caption-by-address"], "caption-by-address");
    }
    if (map["lower-case-address"]) {
      rules.LowerCaseAddress = Flag(map["lower-case-address"], "lower-case-address");
    }
    if (const TYamlNode& format = map["format"]) {
      const std::string text = format.IsScalar() ? format.Scalar() : "";
      if (text != "caption" && text != "extension") {
        Problem(format, "Format", "'format' must be caption or extension");
      }
      rules.FormatFromCaption = text == "caption";
    }
  }

  void Paging(const TYamlNode& search, TSearchRules& rules) {
    const TYamlNode& address = search["address"] ? search["address"] : search;
    if (search["next-page"] && search["page-parameter"]) {
      Problem(search["page-parameter"], "NextOrParameter",
              "give 'next-page' or 'page-parameter', not both");
    }
    if (search["next-page"]) rules.NextPage = Value(search["next-page"], "next-page");
    if (const TYamlNode& parameter = search["page-parameter"]) {
      rules.PageParameter = true;
      static constexpr std::string_view kKeys[] = {"first", "step"};
      if (CheckKeys(parameter, "page-parameter", {kKeys})) {
        if (parameter["first"]) rules.FirstPage = Number(parameter["first"], "first", 0, 100000);
        if (parameter["step"]) rules.PageStep = Number(parameter["step"], "step", 1, 1000);
      }
    }
    const bool pageInAddress = rules.Address.find("{page}") != std::string::npos;
    if (rules.PageParameter != pageInAddress) {
      if (rules.PageParameter) {
        Problem(address, "NoPage", "with 'page-parameter' the address must hold {page}");
      } else {
        Problem(address, "StrayPage", "the address holds {page} but there is no 'page-parameter'");
      }
    }
    if (search["page-limit"]) {
      rules.PageLimit = Number(search["page-limit"], "page-limit", 1, MaxPageLimit);
    }
  }

  void Title(const TYamlNode& node, TSearchRules& rules) {
    if (node.IsScalar()) {
      if (auto value = Value(node, "title")) rules.Title.push_back(*value);
      return;
    }
    if (!node.IsSequence() || node.size() == 0) {
      Problem(node, "Title", "'title' must be a path or a list of paths");
      return;
    }
    for (const TYamlNode& part : node.Items()) {
      if (auto value = Value(part, "title")) rules.Title.push_back(*value);
    }
  }

  void Search(const TYamlNode& search, TSearchRules& rules) {
    static constexpr std::string_view kKeys[] = {
        "address",  "term-encoding", "space",           "fix-ups",   "expect",
        "rows",     "title",         "title-separator", "page",      "files",
        "distinct", "next-page",     "page-parameter",  "page-limit"};
    if (!CheckKeys(search, "search", {kKeys})) return;
    if (auto address = Required(search, "address", "search")) {
      rules.Address = *address;
      std::string sample = *address;
      const std::size_t term = sample.find("{term}");
      if (term == std::string::npos) {
        Problem(search["address"], "NoTerm", "the search address does not hold {term}");
      } else {
        sample.replace(term, 6, "x");
        if (const std::size_t page = sample.find("{page}"); page != std::string::npos) {
          sample.replace(page, 6, "1");
        }
        if (!IsWebAddress(sample)) {
          Problem(search["address"], "SearchNotWeb",
                  "the search address is not an http or https address");
        }
      }
    }
    if (search["term-encoding"]) {
      rules.TermEncoding = Encoding(search["term-encoding"], "term-encoding");
    }
    if (const TYamlNode& space = search["space"]) {
      const std::string text = space.IsScalar() ? space.Scalar() : "";
      if (text != "+" && text != "%20") Problem(space, "Space", "'space' must be \"+\" or \"%20\"");
      rules.SpaceAsPlus = text != "%20";
    }
    if (search["fix-ups"]) rules.FixUps = Pairs(search["fix-ups"], "fix-ups");
    if (search["expect"]) rules.Expect = Path(search["expect"], "expect");
    if (search["rows"]) {
      if (auto rows = Path(search["rows"], "rows")) rules.Rows = *rows;
    } else {
      Missing(search, "rows", "search");
    }
    if (search["title"]) {
      Title(search["title"], rules);
    } else {
      Missing(search, "title", "search");
    }
    if (search["title-separator"]) {
      rules.TitleSeparator = Text(search["title-separator"], "title-separator").value_or("");
    }
    if (search["page"] && search["files"]) {
      Problem(search["files"], "PageOrFiles", "give 'page' or 'files', not both");
    } else if (search["page"]) {
      rules.Page = Value(search["page"], "page");
    } else if (const TYamlNode& files = search["files"]) {
      if (CheckKeys(files, "files", {kLinkKeys})) Links(files, "files", rules.Files.emplace());
    } else {
      Problem(search, "NoPageNorFiles",
              "search needs 'page' (the melody page's address) or 'files'");
    }
    if (search["distinct"]) rules.Distinct = Flag(search["distinct"], "distinct");
    Paging(search, rules);
  }

  void Melody(const TYamlNode& melody, TMelodyRules& rules) {
    static constexpr std::string_view kKeys[] = {"fix-ups", "expect"};
    if (!CheckKeys(melody, "melody", {kKeys, kLinkKeys})) return;
    if (melody["fix-ups"]) rules.FixUps = Pairs(melody["fix-ups"], "fix-ups");
    if (melody["expect"]) rules.Expect = Path(melody["expect"], "expect");
    Links(melody, "melody", rules.Files);
  }

  // Names end up in file names (dumps, saved melodies): no folders, nothing a system refuses.
  void Name(const TYamlNode& node, TDefinition& definition) {
    const std::optional<std::string> name = Text(node, "name");
    if (!name) return;
    definition.Name = *name;
    const bool clean = std::none_of(name->begin(), name->end(), [](char c) {
      return static_cast<unsigned char>(c) < ' ' ||
             std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    });
    if (name->empty() || name->size() > 64 || !clean || name->front() == '.' ||
        name->front() == ' ' || name->back() == ' ') {
      Problem(node, "Name",
              "the name must be 1 to 64 characters, without / \\ : * ? \" < > | and not begin "
              "with a point");
    }
  }

  void Definition(const TYamlNode& root, TDefinition& definition) {
    static constexpr std::string_view kKeys[] = {"name", "home", "encoding", "search", "melody"};
    if (!CheckKeys(root, "", {kKeys})) return;
    if (root["name"]) {
      Name(root["name"], definition);
    } else {
      Missing(root, "name", "");
    }
    if (auto home = Required(root, "home", "")) {
      definition.HomePage = *home;
      if (!IsWebAddress(*home))
        Problem(root["home"], "HomeNotWeb", "'home' is not an http or https address");
    }
    if (root["encoding"]) definition.Encoding = Encoding(root["encoding"], "encoding");
    if (root["search"]) {
      Search(root["search"], definition.Search);
    } else {
      Missing(root, "search", "");
    }
    const bool needsPages = !definition.Search.Files.has_value() && root["search"];
    if (root["melody"] && !needsPages) {
      Problem(root["melody"], "StrayMelody",
              "'melody' is only for sites whose rows give a melody 'page'");
    } else if (root["melody"]) {
      Melody(root["melody"], definition.Melody.emplace());
    } else if (needsPages) {
      Problem(root, "NoMelody",
              "'melody' is missing: it tells where the files are on a melody page");
    }
  }

 private:
  std::vector<TDefinitionProblem>& problems_;
};

}  // namespace

TDefinitionFile ReadDefinition(std::string_view text, const std::string& fileName) {
  TDefinitionFile file;
  file.FileName = fileName;
  TReader reader(file.Problems);
  TDefinition definition;
  TYamlNode root;
  TYamlError error;
  if (ReadYaml(text, root, error)) {
    reader.Definition(root, definition);
  } else {
    file.Problems.push_back({error.Line, {{"", error.Text, {}}}});
  }
  file.SiteName = definition.Name;
  if (file.Problems.empty()) file.Definition = std::move(definition);
  return file;
}

TDefinitionFile LoadDefinitionFile(const std::string& fileName) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(fileName, error);
  TDefinitionFile file;
  file.FileName = fileName;
  if (error) {
    file.Problems.push_back(
        WholeFileProblem("Unreadable", "the file cannot be read: %1", {error.message()}));
  } else if (size > MaxDefinitionSize) {
    file.Problems.push_back(WholeFileProblem("TooLarge", "the file is larger than %1 KiB",
                                             {std::to_string(MaxDefinitionSize / 1024)}));
  } else {
    std::ifstream in(fileName, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (in.read(text.data(), static_cast<std::streamsize>(size))) {
      return ReadDefinition(text, fileName);
    }
    file.Problems.push_back(WholeFileProblem("Unreadable", "the file cannot be read: %1", {""}));
  }
  return file;
}

TDefinitionProblem WholeFileProblem(const char* key, const char* english,
                                    std::vector<std::string> args) {
  return {0, {{std::string("Definitions.") + key, english, std::move(args)}}};
}

TDefinitionProblem BuiltInNameProblem(const std::string& siteName) {
  return WholeFileProblem("BuiltInName", "a built-in site is called '%1'",
                          {Cp1251ToUtf8(siteName)});
}

std::string ProblemLine(const std::string& fileName, const TDefinitionProblem& problem) {
  const std::string text = EnglishText(problem.Text);
  if (problem.Line <= 0) return fileName + ": " + text;
  return fileName + ":" + std::to_string(problem.Line) + ": " + text;
}

}  // namespace cq
