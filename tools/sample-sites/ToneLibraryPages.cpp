// The tone library: one search page lists the library's tones and, in a second cell, the upload
// area's files; the melody page tells each file's format only by its folder.
#include "SiteContext.h"
#include "ToneLibraryFrame.h"
#include "ToneUploads.h"
#include "core/sites/SiteHosts.h"

namespace cq::samples {

namespace {

const std::string kBase(hosts::ToneLibrary);

std::string MelodyAddress(int id) {
  return kBase + "/tone.php?id=" + std::to_string(id);
}

// The library's items are left open, so without the program's repair the upload cell that
// follows would land inside the last item. A library cell without items is closed by the site.
TReply SearchPage(const TSiteContext& context, const TRequest& request) {
  const std::string term = QueryText(request.Query, "q");
  const std::vector<const TTune*> library = context.Catalogue.Search(siToneLibrary, term);
  TPageText page;
  ToneLibraryTop(page, "Библиотека тонов: поиск");
  page.Line(R"(<table width="100%" border=0>)")
      .Line("<tr><td width=50% valign=top><b>Библиотека</b><br>");
  for (const TTune* tune : library) {
    page.Line("<li><a href=\"" + MelodyAddress(tune->Id) + "\">" + Escape(tune->Title) + "</a>");
  }
  if (library.empty()) {
    page.Line("Ничего не найдено.</td>").Add(R"(<td width="50%" valign="top">)");
  } else {
    page.Add("<td width=50% valign=top>");
  }
  page.Line("<b>Временные файлы</b><br>");
  AddUploadItems(page, context.Catalogue.Search(siToneUploads, term));
  page.Line("</td></tr>").Line("</table>");
  ToneLibraryBottom(page);
  return HtmlPage(page.Text());
}

TReply MelodyPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(siToneLibrary)) return NotFound();
  const std::string number = std::to_string(id);
  TPageText page;
  ToneLibraryTop(page, tune->Title);
  page.Line("<center><b>" + Escape(tune->Title) + "</b></center>")
      .Line("<center>")
      .Line("<table><tr><td>Исполнитель: " + Escape(tune->Performer) + "</td></tr></table>")
      .Line("<table border=0 cellpadding=3><tr><td>");
  if (tune->Has(fkMidi)) {
    page.Line("<a href=\"" + kBase + "/files/mid/" + number + ".mid\">Скачать MIDI</a><br>");
  }
  if (tune->Has(fkMmf)) {
    page.Line("<a href=\"" + kBase + "/files/mmf/" + number + ".mmf\">Скачать MMF</a><br>");
  }
  if (tune->Has(fkVibMmf)) {
    page.Line("<a href=\"" + kBase + "/files/vib/" + number + ".mmf\">Скачать MMF с вибро</a><br>");
  }
  // Neither folder: the program passes over it.
  page.Line("<a href=\"" + kBase + "/\">Вернуться в библиотеку</a>")
      .Line("</td></tr></table>")
      .Line("</center>");
  ToneLibraryBottom(page);
  return HtmlPage(page.Text());
}

TReply HomePage() {
  TPageText page;
  ToneLibraryTop(page, "Библиотека тонов");
  page.Line("<p>Тоны MIDI и SMAF для телефонов.</p>");
  ToneLibraryBottom(page);
  return HtmlPage(page.Text());
}

}  // namespace

TReply ServeToneLibrary(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/search.php") return SearchPage(context, request);
  if (request.Path == "/tone.php") {
    return MelodyPage(context, QueryNumber(request.Query, "id", 0));
  }
  if (request.Path == "/") {
    return QueryText(request.Query, "act") == "temp" ? ServeToneUploads(context, request)
                                                     : HomePage();
  }
  if (const int id = NumberIn(request.Path, "/files/mid/", ".mid")) {
    return TuneFile(context, siToneLibrary, id, fkMidi);
  }
  if (const int id = NumberIn(request.Path, "/files/mmf/", ".mmf")) {
    return TuneFile(context, siToneLibrary, id, fkMmf);
  }
  if (const int id = NumberIn(request.Path, "/files/vib/", ".mmf")) {
    return TuneFile(context, siToneLibrary, id, fkVibMmf);
  }
  return ServeToneUploads(context, request);
}

}  // namespace cq::samples
