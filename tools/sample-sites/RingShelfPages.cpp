// The ring shelf: a present-day site in UTF-8 that no built-in scraper reads. HTML5 sections and
// divs with class names, no tables; results twelve a page, paged in the path so that no link
// holds an '&', with a rel="next" link; the melody page lists its files in divs, some captions
// naming the file's extension and some not.
#include <array>

#include "SiteContext.h"
#include "core/platform/Text.h"
#include "core/transfer/AddressEncoding.h"

namespace cq::samples {

namespace {

const std::string kBase(RingShelfBase);
constexpr std::size_t kPerPage = 12;

struct TOffer {
  TFileKind Kind;
  const char* Extension;
  const char* Caption;
};

constexpr std::array<TOffer, 4> kOffers = {{
    {fkMidi, "mid", "Полифония (.mid)"},
    {fkMmf, "mmf", "SMAF для старых телефонов, файл .mmf"},
    {fkMp3, "mp3", "Живая запись"},
    {fkWav, "wav", "Звук без сжатия"},
}};

std::string SearchAddress(const std::string& term, std::size_t page) {
  const std::string folder = page > 1 ? "/search/page/" + std::to_string(page) + "/" : "/search/";
  return kBase + folder + "?q=" + EncodeQuery(term);
}

std::string MelodyAddress(int id) {
  return kBase + "/melody/" + std::to_string(id) + "/";
}

std::string FileAddress(int id, const TOffer& offer) {
  return kBase + "/download/" + std::to_string(id) + "." + offer.Extension;
}

std::string NameSpans(const TTune& tune) {
  return R"(<span class="artist">)" + Escape(tune.Performer) + R"(</span> — <span class="title">)" +
         Escape(tune.Title) + "</span>";
}

void Top(TPageText& page, const std::string& title, const std::string& term) {
  page.Line("<!DOCTYPE html>")
      .Line(R"(<html lang="ru">)")
      .Line("<head>")
      .Line(R"(<meta charset="utf-8">)")
      .Line(R"(<meta name="viewport" content="width=device-width, initial-scale=1">)")
      .Line("<title>" + Escape(title) + " | Полка рингтонов</title>")
      .Line(R"(<link rel="stylesheet" href="/assets/site.css">)")
      .Line("</head>")
      .Line(R"(<body class="ringshelf">)")
      .Line(R"(<header class="site-header">)")
      .Line(R"(<div class="container">)")
      .Line(R"(<a class="logo" href="/">Полка рингтонов</a>)")
      .Line(R"(<nav class="main-nav" aria-label="Разделы">)")
      .Line(
          R"(<ul class="menu"><li class="menu-item"><a href="/">Главная</a></li><li class="menu-item"><a href="/new/">Новинки</a></li><li class="menu-item"><a href="/top/">Популярное</a></li></ul>)")
      .Line("</nav>")
      .Line(R"(<form class="search-form" role="search" action="/search/" method="get">)")
      .Line(R"(<input type="search" name="q" placeholder="Исполнитель или название" value=")" +
            Escape(term) + R"(">)")
      .Line(R"(<button type="submit" class="btn">Найти</button>)")
      .Line("</form>")
      .Line("</div>")
      .Line("</header>")
      .Line(R"(<main id="content" class="site-main">)")
      .Line(R"(<div class="container">)");
}

void Bottom(TPageText& page) {
  page.Line("</div>")
      .Line("</main>")
      .Line(R"(<footer class="site-footer">)")
      .Line(R"(<div class="container"><p class="copyright">© Полка рингтонов</p></div>)")
      .Line("</footer>")
      .Line(R"(<script src="/assets/app.js" defer></script>)")
      .Line("</body>")
      .Line("</html>");
}

void ResultCard(TPageText& page, const TTune& tune) {
  page.Line(R"(<article class="track-card" data-id=")" + std::to_string(tune.Id) + R"(">)")
      .Line(R"(<div class="track-cover"><img src="/covers/)" + std::to_string(tune.Id) +
            R"(.jpg" alt="" loading="lazy"></div>)")
      .Line(R"(<div class="track-body">)")
      .Line(R"(<h2 class="track-name"><a href=")" + MelodyAddress(tune.Id) + R"(">)" +
            NameSpans(tune) + "</a></h2>")
      .Add(R"(<div class="track-formats">)");
  for (const TOffer& offer : kOffers) {
    if (tune.Has(offer.Kind))
      page.Add(R"(<span class="badge">)" + UpperLatin(offer.Extension) + "</span>");
  }
  page.Line("</div>").Line("</div>").Line("</article>");
}

void Pagination(TPageText& page, const std::string& term, std::size_t current, std::size_t pages) {
  page.Line(R"(<nav class="pagination" aria-label="Страницы">)");
  if (current > 1) {
    page.Line(R"(<a class="page-link prev" rel="prev" href=")" + SearchAddress(term, current - 1) +
              R"(">← Назад</a>)");
  }
  for (std::size_t n = 1; n <= pages; ++n) {
    if (n == current) {
      page.Line(R"(<span class="page-link current" aria-current="page">)" + std::to_string(n) +
                "</span>");
    } else {
      page.Line(R"(<a class="page-link" href=")" + SearchAddress(term, n) + R"(">)" +
                std::to_string(n) + "</a>");
    }
  }
  if (current < pages) {
    page.Line(R"(<a class="page-link next" rel="next" href=")" + SearchAddress(term, current + 1) +
              R"(">Дальше →</a>)");
  }
  page.Line("</nav>");
}

TReply SearchPage(const TSiteContext& context, const TRequest& request, std::size_t current) {
  const std::string term = QueryText(request.Query, "q");
  const std::vector<const TTune*> found = context.Catalogue.Search(siRingShelf, Utf8ToCp1251(term));
  const std::size_t pages = (found.size() + kPerPage - 1) / kPerPage;
  TPageText page;
  Top(page, "Поиск: " + term, term);
  page.Line(R"(<section class="search-results">)")
      .Line(R"(<header class="section-header">)")
      .Line(R"(<h1 class="section-title">Результаты поиска «)" + Escape(term) + "»</h1>")
      .Line(R"(<p class="result-count">Найдено: )" + std::to_string(found.size()) + "</p>")
      .Line("</header>");
  if (found.empty()) {
    page.Line(
        R"(<div class="empty-state"><p>Ничего не найдено. Попробуйте другой запрос.</p></div>)");
  } else {
    page.Line(R"(<div class="track-list">)");
    for (std::size_t i = (current - 1) * kPerPage; i < found.size() && i < current * kPerPage;
         ++i) {
      ResultCard(page, *found[i]);
    }
    page.Line("</div>");
    if (pages > 1) Pagination(page, term, current, pages);
  }
  page.Line("</section>");
  Bottom(page);
  return Utf8HtmlPage(page.Text());
}

TReply MelodyPage(const TSiteContext& context, int id) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(siRingShelf)) return NotFound();
  TPageText page;
  Top(page, tune->FullTitle(), "");
  page.Line(R"(<article class="melody" data-id=")" + std::to_string(id) + R"(">)")
      .Line(R"(<header class="melody-header">)")
      .Line(R"(<nav class="breadcrumbs"><a href="/">Главная</a> / <a href="/artist/)" +
            std::to_string(id) + R"(/">)" + Escape(tune->Performer) + "</a></nav>")
      .Line(R"(<h1 class="melody-title">)" + NameSpans(*tune) + "</h1>")
      .Line("</header>");
  if (tune->Has(fkMp3)) {
    page.Line(R"(<section class="player"><audio controls preload="none" src="/download/)" +
              std::to_string(id) + R"(.mp3"></audio></section>)");
  }
  page.Line(R"(<section class="downloads">)")
      .Line(R"(<h2 class="section-title">Скачать рингтон</h2>)")
      .Line(R"(<div class="file-list">)");
  for (const TOffer& offer : kOffers) {
    if (!tune->Has(offer.Kind)) continue;
    const std::size_t kilobytes = (context.Media.File(id, offer.Kind).size() + 1023) / 1024;
    page.Line(R"(<div class="file-item file-)" + std::string(offer.Extension) + R"(">)")
        .Line(R"(<a class="file-link" href=")" + FileAddress(id, offer) + R"(" download>)" +
              offer.Caption + "</a>")
        .Line(R"(<span class="file-size">)" + std::to_string(kilobytes) + " КБ</span>")
        .Line("</div>");
  }
  page.Line("</div>")
      .Line(R"(<p class="hint">Нажмите на ссылку, чтобы сохранить файл.</p>)")
      .Line("</section>")
      .Line("</article>");
  Bottom(page);
  return Utf8HtmlPage(page.Text());
}

TReply HomePage() {
  TPageText page;
  Top(page, "Главная", "");
  page.Line(R"(<section class="intro"><h1 class="section-title">Полка рингтонов</h1>)")
      .Line("<p>Мелодии для телефона: полифония, SMAF, записи.</p></section>");
  Bottom(page);
  return Utf8HtmlPage(page.Text());
}

TReply Download(const TSiteContext& context, const std::string& path) {
  for (const TOffer& offer : kOffers) {
    const int id = NumberIn(path, "/download/", std::string(".") + offer.Extension);
    if (id != 0) return TuneFile(context, siRingShelf, id, offer.Kind);
  }
  return NotFound();
}

}  // namespace

TReply ServeRingShelf(const TSiteContext& context, const TRequest& request) {
  const std::string& path = request.Path;
  if (path == "/") return HomePage();
  if (path == "/search/" || path == "/search") return SearchPage(context, request, 1);
  if (const int page = NumberIn(path, "/search/page/", "/")) {
    return SearchPage(context, request, static_cast<std::size_t>(page));
  }
  if (const int id = NumberIn(path, "/melody/", "/")) return MelodyPage(context, id);
  return Download(context, path);
}

}  // namespace cq::samples
