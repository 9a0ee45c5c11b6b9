// The tone library's upload area: one file per upload, its format told only by the extension,
// which the uploader may have written in capitals.
#include <algorithm>
#include <array>

#include "SiteContext.h"
#include "ToneLibraryFrame.h"
#include "ToneUploads.h"
#include "core/platform/Text.h"
#include "core/sites/SiteHosts.h"

namespace cq::samples {

namespace {

const std::string kBase(hosts::ToneLibrary);

struct TUploadKind {
  TFileKind Kind;
  const char* Extension;  // lower case
};

constexpr std::array<TUploadKind, 4> kKinds = {{
    {fkMmf, "mmf"},
    {fkMidi, "mid"},
    {fkMp3, "mp3"},
    {fkWav, "wav"},
}};

// Each upload is one of the tune's files, picked by its number.
const TUploadKind* UploadKind(const TTune& tune) {
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    const TUploadKind& kind = kKinds[(static_cast<std::size_t>(tune.Id) + i) % kKinds.size()];
    if (tune.Has(kind.Kind)) return &kind;
  }
  return nullptr;
}

std::string UploadPageAddress(int id) {
  return kBase + "/temp.php?id=" + std::to_string(id);
}

// As uploaded: odd numbers came with the extension in capitals.
std::string UploadFileAddress(const TTune& tune, const TUploadKind& kind) {
  std::string extension = kind.Extension;
  if (tune.Id % 2 == 1) extension = UpperLatin(extension);
  return kBase + "/temp/files/Tone" + std::to_string(tune.Id) + "." + extension;
}

TReply UploadPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  const TUploadKind* kind =
      tune != nullptr && tune->On(siToneUploads) ? UploadKind(*tune) : nullptr;
  if (kind == nullptr) return NotFound();
  TPageText page;
  ToneLibraryTop(page, "Временный файл: " + tune->Title);
  page.Line("<center><b>Временный файл: " + Escape(tune->Title) + "</b></center>")
      .Line("<center>")
      .Line("<table><tr><td>Загружен посетителем. Файлы хранятся 30 дней.</td></tr></table>")
      .Line("<table border=0><tr><td>")
      .Line("<li><a href=\"" + UploadFileAddress(*tune, *kind) + "\">" + Escape(tune->Title) +
            "</a>")
      .Line("</td></tr></table>")
      .Line("</center>");
  ToneLibraryBottom(page);
  return HtmlPage(page.Text());
}

TReply UploadsHome() {
  TPageText page;
  ToneLibraryTop(page, "Временные файлы");
  page.Line("<p>Файлы, загруженные посетителями.</p>");
  ToneLibraryBottom(page);
  return HtmlPage(page.Text());
}

// "/temp/files/tone12.mid", in any letter case.
TReply UploadFile(const TSiteContext& context, const std::string& path) {
  const std::string lower = LowerLatin(path);
  for (const TUploadKind& kind : kKinds) {
    const int id = NumberIn(lower, "/temp/files/tone", std::string(".") + kind.Extension);
    const TTune* tune = context.Catalogue.Find(id);
    if (tune != nullptr && UploadKind(*tune) == &kind) {
      return TuneFile(context, siToneUploads, id, kind.Kind);
    }
  }
  return NotFound();
}

}  // namespace

void AddUploadItems(TPageText& page, const std::vector<const TTune*>& uploads) {
  for (const TTune* tune : uploads) {
    const std::string item =
        "<li><a href=\"" + UploadPageAddress(tune->Id) + "\">" + Escape(tune->Title) + "</a>";
    page.Line(item);
    if (tune->Id % 4 == 0) page.Line(item);
  }
}

TReply ServeToneUploads(const TSiteContext& context, const TRequest& request) {
  if (request.Path == "/temp.php") return UploadPage(context, QueryNumber(request.Query, "id", 0));
  if (request.Path == "/") return UploadsHome();
  return UploadFile(context, request.Path);
}

}  // namespace cq::samples
