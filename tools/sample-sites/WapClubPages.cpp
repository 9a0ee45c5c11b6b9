// The WAP club: a WML deck in UTF-8 per search kind, ten results a page with a next-page anchor,
// each result linking straight to its file.
#include <algorithm>
#include <array>

#include "SiteContext.h"
#include "core/platform/Text.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"

namespace cq::samples {

namespace {

const std::string kBase(hosts::WapClub);
constexpr std::size_t kPerPage = 10;

struct TKind {
  const char* Where;
  TFileKind Kind;
  const char* Extension;
  const char* Heading;
};

constexpr std::array<TKind, 3> kKinds = {{
    {"mono", fkMonoMidi, "mid", "Монофония"},
    {"poly", fkMidi, "mid", "Полифония"},
    {"mmf", fkMmf, "mmf", "SMAF"},
}};

const TKind* KindOf(const std::string& where) {
  for (const TKind& kind : kKinds) {
    if (where == kind.Where) return &kind;
  }
  return nullptr;
}

void DeckTop(TPageText& deck, const std::string& title) {
  deck.Line(R"(<?xml version="1.0" encoding="utf-8"?>)")
      .Line(
          R"(<!DOCTYPE wml PUBLIC "-//WAPFORUM//DTD WML 1.1//EN" "http://www.wapforum.org/DTD/wml_1.1.xml">)")
      .Line("<wml>")
      .Line(R"(<card id="main" title=")" + Escape(title) + R"(">)");
}

void DeckBottom(TPageText& deck) {
  deck.Line(R"(<p><a href=")" + kBase + R"(/">В начало</a></p>)").Line("</card>").Line("</wml>");
}

TReply SearchDeck(const TSiteContext& context, const TRequest& request) {
  const TKind* kind = KindOf(QueryText(request.Query, "where"));
  if (kind == nullptr) return NotFound();
  // The term comes in UTF-8; the catalogue matches in windows-1251.
  const std::string termUtf8 = QueryText(request.Query, "srch");
  const std::string term = Utf8ToCp1251(termUtf8);
  const int start = std::max(0, QueryNumber(request.Query, "start", 0));
  std::vector<const TTune*> found;
  for (const TTune* tune : context.Catalogue.Search(siWapClub, term)) {
    if (tune->Has(kind->Kind)) found.push_back(tune);
  }
  TPageText deck;
  DeckTop(deck, "Поиск");
  deck.Line("<p><b>" + std::string(kind->Heading) +
            "</b><br/>Найдено: " + std::to_string(found.size()) + "</p>")
      .Line("<p>");
  const std::size_t first = static_cast<std::size_t>(start);
  for (std::size_t i = first; i < found.size() && i < first + kPerPage; ++i) {
    deck.Line("<a href=\"" + kBase + "/get/" + kind->Where + "/" + std::to_string(found[i]->Id) +
              "." + kind->Extension + "\">" + Escape(found[i]->Title) + "</a><br/>");
  }
  if (first + kPerPage < found.size()) {
    deck.Line("<anchor>Далее<go href=\"" + kBase + "/?mod=mod_midisearch&amp;srch=" +
              EncodeQuery(termUtf8) + "&amp;where=" + kind->Where +
              "&amp;start=" + std::to_string(first + kPerPage) + "\"/></anchor><br/>");
  }
  deck.Line("</p>");
  DeckBottom(deck);
  return WmlDeck(deck.Text());
}

TReply HomeDeck() {
  TPageText deck;
  DeckTop(deck, "Тон-клуб");
  deck.Line("<p>Мелодии для телефона: монофония, полифония, SMAF.</p>");
  DeckBottom(deck);
  return WmlDeck(deck.Text());
}

}  // namespace

TReply ServeWapClub(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/") {
    return QueryText(request.Query, "mod") == "mod_midisearch" ? SearchDeck(context, request)
                                                               : HomeDeck();
  }
  for (const TKind& kind : kKinds) {
    const std::string prefix = std::string("/get/") + kind.Where + "/";
    if (const int id = NumberIn(request.Path, prefix, std::string(".") + kind.Extension)) {
      return TuneFile(context, siWapClub, id, kind.Kind);
    }
  }
  return NotFound();
}

}  // namespace cq::samples
