#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cq {

// Tag names the parser knows: the ones its rules test, and common ones, whose names the tree
// then shares instead of copying.
// clang-format off
#define CQ_TAGS(X)                                                                               \
  X(A) X(ABBR) X(ADDRESS) X(AREA) X(B) X(BASE) X(BASEFONT) X(BIG) X(BLOCKQUOTE) X(BODY) X(BR)     \
  X(BUTTON) X(CAPTION) X(CARD) X(CENTER) X(CITE) X(CODE) X(COL) X(COLGROUP) X(DD) X(DIV) X(DL)    \
  X(DT) X(EM) X(EMBED) X(FONT) X(FORM) X(FRAME) X(FRAMESET) X(GO) X(H1) X(H2) X(H3) X(H4) X(H5)   \
  X(H6) X(HEAD) X(HR) X(HTML) X(I) X(IFRAME) X(IMG) X(INPUT) X(KBD) X(LABEL) X(LI) X(LINK)        \
  X(MAP) X(META) X(NOBR) X(NOFRAME) X(NOSCRIPT) X(OBJECT) X(OL) X(OPTION) X(P) X(PARAM) X(PRE)   \
  X(SAMP) X(SCRIPT) X(SECTION) X(SELECT) X(SMALL) X(SPACER) X(SPAN) X(STRONG) X(STYLE) X(SUB)     \
  X(SUP) X(TABLE) X(TBODY) X(TD) X(TEXTAREA) X(TH) X(THEAD) X(TITLE) X(TR) X(TT) X(U) X(UL)       \
  X(VAR) X(WML)
// clang-format on

enum class TTag : std::uint8_t {
  Other,  // not a tag, or a tag the table does not hold
#define CQ_TAG_ENUM(name) name,
  CQ_TAGS(CQ_TAG_ENUM)
#undef CQ_TAG_ENUM
};

struct TTagName {
  TTag tag;
  std::string_view name;  // upper case, static
};

// Looks a name up in any letter case; tag Other and an empty name when it is not there.
TTagName LookupTag(const char* chars, std::size_t length);

}  // namespace cq
