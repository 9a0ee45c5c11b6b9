#pragma once

// A site as a definition file describes it: addresses, fix-ups and selection paths. Texts are
// windows-1251, as everywhere in the core.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/sites/ElemSelect.h"

namespace cq {

using TTextPairs = std::vector<std::pair<std::string, std::string>>;

// How file links are read, from a melody page or from a result row.
struct TLinkRules {
  TSelectPath Links;
  TValuePath Address;                    // read from each link; default ".@href"
  std::optional<TSelectPath> Addresses;  // else the n-th of these (its words) goes with link n
  TValuePath Caption;                    // default ".": the link's words
  std::string CaptionPrefix;             // when set, required and dropped
  TTextPairs CaptionByAddress;           // the first piece the address holds gives the caption
  bool LowerCaseAddress = false;
  bool FormatFromCaption = false;  // else from the address's extension
};

struct TSearchRules {
  std::string Address;  // holds {term}, and {page} with a page parameter
  std::string TermEncoding = "windows-1251";
  bool SpaceAsPlus = true;
  TTextPairs FixUps;
  std::optional<TSelectPath> Expect;
  TSelectPath Rows;
  std::vector<TValuePath> Title;
  std::string TitleSeparator = " ";
  std::optional<TValuePath> Page;   // the melody page's address, or
  std::optional<TLinkRules> Files;  // the files themselves
  bool Distinct = false;
  std::optional<TValuePath> NextPage;
  bool PageParameter = false;
  int FirstPage = 1;
  int PageStep = 1;
  int PageLimit = 10;
};

struct TMelodyRules {
  TTextPairs FixUps;
  std::optional<TSelectPath> Expect;
  TLinkRules Files;
};

struct TDefinition {
  std::string Name;
  std::string HomePage;
  std::string Encoding = "windows-1251";  // of the site's pages
  TSearchRules Search;
  std::optional<TMelodyRules> Melody;
};

inline constexpr int MaxPageLimit = 100;

}  // namespace cq
