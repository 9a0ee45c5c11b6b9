// Reads any bytes as a site definition. Nothing may throw or crash; a definition that is
// accepted must hold what the loader promises (a web home page, a search address that stays a
// web address for any term, a page limit within bounds), and its paths must walk a page.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/sites/Parser.h"
#include "core/sites/WebAddress.h"
#include "core/sites/definitions/DefinitionFile.h"
#include "core/sites/definitions/DefinitionSite.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

constexpr std::string_view kPage =
    "<html><body><div class=r><ul><li><a href=/m/1>One</a><li><a href=x.mid>Two</a></ul>"
    "</div><p><a href=\"/next?p=2&amp;q=1\">next</a></body></html>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const cq::TDefinitionFile file = cq::ReadDefinition(text, "fuzz.yaml");
  Require(file.Definition.has_value() == file.Problems.empty());
  for (const cq::TDefinitionProblem& problem : file.Problems) {
    Require(problem.Line >= 0 && !problem.Text.empty());
  }
  if (!file.Definition) return 0;
  const cq::TDefinition& definition = *file.Definition;
  Require(cq::IsWebAddress(definition.HomePage));
  Require(!definition.Name.empty() && definition.Name.size() <= 64);
  Require(definition.Search.PageLimit >= 1 && definition.Search.PageLimit <= cq::MaxPageLimit);
  const cq::TDefinitionSite site(definition, "fuzz.yaml");
  Require(cq::IsWebAddress(site.SearchAddress("a b\xE0\xFF/?#&", 7)));
  const auto document = cq::Parse(kPage);
  for (const cq::TElem* row : definition.Search.Rows.Select(*document->Root())) {
    for (const cq::TValuePath& part : definition.Search.Title) part.Read(*row);
  }
  return 0;
}
