// The result view: geometry and colours read back from grabbed and hit images, clicks, the
// format menu, the scroll bar and the keys.
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <cmath>

#include "GuiTestMain.h"
#include "core/transfer/JobManager.h"
#include "gui/app/Images.h"
#include "gui/app/QtText.h"
#include "gui/app/ResultView.h"
#include "gui/app/RowPainter.h"
#include "support/ShelfSite.h"

namespace cq {

namespace {

struct TNullSink : TJobSink {
  void SaveCompleted(const TJob&) override {}
  void PlayCompleted(const TJob&) override {}
};

struct TMenuShown {
  QStringList items;  // "Caption" or "Caption/Item" for a submenu's items
  QPoint at;
};

QStringList MenuItems(const QMenu& menu, const QString& prefix = QString()) {
  QStringList items;
  for (QAction* action : menu.actions()) {
    if (QMenu* sub = action->menu()) {
      items << MenuItems(*sub, prefix + action->text() + "/");
    } else {
      items << prefix + action->text();
    }
  }
  return items;
}

// A view with its scroll bar, as the main window holds them.
struct TViewRig {
  TNullSink sink;
  TSearchDriver driver{{}, sink, {}};
  QWidget host;
  QScrollBar* bar = new QScrollBar(Qt::Vertical, &host);
  QStringList opened;
  QStringList notices;
  std::vector<TMenuShown> menus;
  std::function<void(QMenu&)> onMenu;
  TResultView* view;
  test::TShelfSite site{"tones.example"};

  explicit TViewRig(QSize size = {400, 200}) {
    view = new TResultView(
        driver, *bar,
        {[this](const std::string& address) { opened << QString::fromStdString(address); },
         [this](const QString& text) { notices << text; },
         [this](QMenu& menu, QPoint at) {
           menus.push_back({MenuItems(menu), at});
           if (onMenu) onMenu(menu);
         }},
        &host);
    auto* layout = new QHBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view, 1);
    layout->addWidget(bar);
    bar->setFixedWidth(16);
    bar->hide();
    host.resize(size);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
  }

  TResult SiteRow() {
    TResult row;
    row.Kind = rkSite;
    row.Site = &site;
    row.Waiting = true;
    return row;
  }
  TResult MelodyRow(const std::string& title, std::array<TMelodyLinkList, FormatCount> links = {},
                    bool processed = true) {
    TResult row;
    row.Kind = rkMelody;
    row.Melody = site.Melody(title);
    row.Melody.Processed = processed;
    row.Melody.Links = std::move(links);
    row.Waiting = !processed;
    return row;
  }
  void Add(TResult row) {
    driver.Results().Append(std::move(row));
    driver.Results().MarkChanged();
  }
  void AddMelodies(int count) {
    for (int i = 0; i < count; ++i) Add(MelodyRow("Tune " + std::to_string(i)));
  }
  void Refresh() {
    view->RefreshResults();
    host.layout()->activate();
  }
  QImage Shot() { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
};

std::array<TMelodyLinkList, FormatCount> MidiAndMp3() {
  std::array<TMelodyLinkList, FormatCount> links;
  links[fmMidi] = test::Links({{"MIDI", "http://tones.example/a.mid"}});
  links[fmMp3] = test::Links({{"MP3", "http://tones.example/a.mp3"}});
  return links;
}

bool HasColour(const QImage& image, QRect area, QRgb colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == colour) return true;
  return false;
}

// Antialiased text on white: some pixel of the area is at least half way from white to `colour`
// and on the line between them.
bool HasInk(const QImage& image, QRect area, QRgb colour) {
  const int target[] = {qRed(colour), qGreen(colour), qBlue(colour)};
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      const int got[] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
      double coverage = -1;
      bool onLine = true;
      for (int c = 0; c < 3; ++c) {
        if (target[c] == 255) {
          onLine = onLine && got[c] >= 253;
          continue;
        }
        const double share = (255.0 - got[c]) / (255.0 - target[c]);
        if (coverage < 0) coverage = share;
        onLine = onLine && std::abs(share - coverage) < 0.1;
      }
      if (onLine && coverage >= 0.5) return true;
    }
  }
  return false;
}

}  // namespace

class ResultViewTest : public QObject {
  Q_OBJECT

 private slots:
  void emptyListIsWhiteWithoutScrollBar() {
    TViewRig rig;
    rig.Refresh();
    const QImage shot = rig.Shot();
    QVERIFY(!HasColour(shot, shot.rect().adjusted(0, 0, -1, -1), 0x000000));
    QCOMPARE(rig.At(shot, 200, 100), QRgb(0xFFFFFF));
    QVERIFY(rig.bar->isHidden());
    QCOMPARE(rig.view->TopIndex(), 0L);
  }

  void rowsStackByTheirHeights() {
    TViewRig rig;
    rig.Add(rig.SiteRow());
    rig.Add(rig.MelodyRow("Alpha"));
    rig.Add(rig.SiteRow());
    rig.Refresh();
    const struct {
      int y;
      long index;
      int top;
    } cases[] = {{0, 0, 0},   {18, 0, 0},  {19, 1, 19}, {58, 1, 19},
                 {59, 2, 59}, {77, 2, 59}, {78, -1, 0}, {199, -1, 0}};
    for (const auto& c : cases) {
      const TRowHit hit = rig.view->RowAtY(c.y);
      QCOMPARE(hit.Index, c.index);
      if (c.index >= 0) QCOMPARE(hit.Top, c.top);
    }
    QCOMPARE(rig.view->RowsHeight(0, 2), 78);
    QCOMPARE(rig.view->RowsHeight(2, 1), 0);
  }

  void formatButtonsStandInTheirSlots() {
    TViewRig rig;
    rig.Add(rig.MelodyRow("Alpha", MidiAndMp3()));
    rig.Refresh();
    const int w = rig.view->width();
    QCOMPARE(w, 400);
    const QImage shot = rig.Shot();
    // Present formats paint their button; the WAV and MMF slots stay white.
    const struct {
      TMelodyFormat format;
      int left;
      bool shown;
    } places[] = {{fmWav, w - 197, false},
                  {fmMidi, w - 147, true},
                  {fmMmf, w - 97, false},
                  {fmMp3, w - 47, true}};
    for (const auto& slot : places) {
      QCOMPARE(FormatButtonLeft(w, slot.format), slot.left);
      const QRect button(slot.left, 22, 32, 13);
      QCOMPARE(HasColour(shot, button, FormatColor(slot.format).rgb() & 0xFFFFFF), slot.shown);
      // The hit area is the rectangle (x, 22)-(x + 32, 36), in the format's hit colour.
      for (const QPoint corner : {QPoint(slot.left, 22), QPoint(slot.left + 31, 35)}) {
        const QColor hit = rig.view->HitColorAt(corner);
        QCOMPARE(hit.rgb(), slot.shown ? HitColors[slot.format].rgb() : QColor(Qt::white).rgb());
      }
      QCOMPARE(rig.view->HitColorAt({slot.left + 32, 30}).rgb(), QColor(Qt::white).rgb());
      QCOMPARE(rig.view->HitColorAt({slot.left, 36}).rgb(), QColor(Qt::white).rgb());
    }
  }

  void hitImageMarksTitleAndSiteName() {
    TViewRig rig;
    rig.Add(rig.MelodyRow("Alpha", MidiAndMp3()));
    rig.Add(rig.SiteRow());
    rig.Refresh();
    QCOMPARE(rig.view->HitColorAt({16, 8}).rgb(), HitTitle.rgb());
    QCOMPARE(rig.view->HitColorAt({16, 27}).rgb(), HitSiteName.rgb());
    QCOMPARE(rig.view->HitColorAt({300, 10}).rgb(), HitBackground.rgb());
    // A site row: its name is a link too; its status is nothing to click.
    QCOMPARE(rig.view->HitColorAt({16, 40 + 7}).rgb(), HitSiteName.rgb());
    QCOMPARE(rig.view->HitColorAt({200, 40 + 9}).rgb(), HitBackground.rgb());
    QVERIFY(!rig.view->HitColorAt({10, 100}).isValid());
    // Painted, the title is black and the site name blue; the waiting site row's name light blue.
    const QImage shot = rig.Shot();
    QVERIFY(HasInk(shot, {15, 5, 60, 15}, 0x000000));
    QVERIFY(!HasInk(shot, {15, 5, 60, 15}, 0x0000FF));
    QVERIFY(HasInk(shot, {15, 24, 80, 11}, 0x0000FF));
    QVERIFY(HasInk(shot, {15, 44, 80, 11}, 0xA0A0FF));
  }

  void selectedRowHasTheLavenderGradient() {
    TViewRig rig;
    rig.AddMelodies(2);
    rig.Refresh();
    rig.driver.SelectRow(1);
    rig.view->update();
    const QImage shot = rig.Shot();
    QCOMPARE(rig.At(shot, 2, 40), QRgb(0xE8E8F8));
    QCOMPARE(rig.At(shot, 2, 79), QRgb(0xD0D0F8));
    QCOMPARE(rig.At(shot, 2, 39), QRgb(0xFFFFFF));
    // Halfway: 232 + (208 - 232) * 20 / 39 = 219.7, rounded to 220.
    QImage bitmap;
    MakeSelectionBitmap(bitmap, 5, 40);
    QCOMPARE(bitmap.pixel(4, 20) & 0xFFFFFF, QRgb(0xDCDCF8));
  }

  void jobStatusDrawsBarOrWord_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("progress");
    QTest::addColumn<int>("filled");  // -1: the word between rules
    QTest::addColumn<QRgb>("rule");
    QTest::newRow("half") << int(jsDownloading) << 0.5 << 100 << QRgb(0);
    QTest::newRow("full") << int(jsDownloading) << 1.0 << 200 << QRgb(0);
    QTest::newRow("tiny") << int(jsDownloading) << 0.005 << -1 << QRgb(0xC0C0C0);
    QTest::newRow("waiting") << int(jsWaiting) << 0.0 << -1 << QRgb(0xD8D8D8);
    QTest::newRow("connecting") << int(jsConnecting) << 0.0 << -1 << QRgb(0xC0C0C0);
  }
  void jobStatusDrawsBarOrWord() {
    QFETCH(int, status);
    QFETCH(double, progress);
    QFETCH(int, filled);
    QFETCH(QRgb, rule);
    QImage image(300, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter canvas(&image);
      PaintJobStatus(canvas, 50, 6, 200, static_cast<TJobStatus>(status), progress);
    }
    const auto at = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };
    if (filled >= 0) {
      for (const int y : {8, 9, 10}) {
        QCOMPARE(at(50, y), filled > 0 ? QRgb(0xA0A0FF) : QRgb(0xC0C0C0));
        QCOMPARE(at(50 + filled - 1, y), QRgb(0xA0A0FF));
        if (filled < 200) QCOMPARE(at(50 + filled, y), QRgb(0xC0C0C0));
      }
      QCOMPARE(at(50, 7), QRgb(0xFFFFFF));
      QCOMPARE(at(50, 11), QRgb(0xFFFFFF));
      QCOMPARE(at(250, 9), QRgb(0xFFFFFF));
      return;
    }
    // Rules from both edges at y + 3 up to 10 pixels before the word, which has their colour.
    const QString word =
        FromCp1251(JobStatusPaint(static_cast<TJobStatus>(status), progress, 200).Text);
    const int textWidth = QFontMetrics(SmallFont()).horizontalAdvance(word);
    const int rules = (200 - textWidth) / 2 - 10;
    QVERIFY(rules > 20);
    QCOMPARE(at(50, 9), rule);
    QCOMPARE(at(50 + rules - 1, 9), rule);
    QCOMPARE(at(50 + rules, 9), QRgb(0xFFFFFF));
    QCOMPARE(at(250 - rules + 1, 9), rule);
    QCOMPARE(at(250 - rules, 9), QRgb(0xFFFFFF));
    QCOMPARE(at(50, 8), QRgb(0xFFFFFF));
    QVERIFY(HasInk(image, {50 + rules + 10, 4, textWidth, 11}, rule));
  }

  void scrollBarShowsOnlyWhenRowsOverflow() {
    TViewRig rig;
    rig.AddMelodies(4);
    rig.Refresh();
    QVERIFY(rig.bar->isHidden());
    QCOMPARE(rig.view->width(), 400);
    rig.AddMelodies(16);
    rig.Refresh();
    QVERIFY(rig.bar->isVisible());
    QCOMPARE(rig.view->width(), 384);
    // 20 rows of 40 in 200 pixels: from row 16 on the rest is less high than the view.
    QCOMPARE(rig.bar->maximum(), 16);
    QCOMPARE(rig.bar->pageStep(), 4);
    rig.bar->setValue(rig.bar->maximum());
    QCOMPARE(rig.view->TopIndex(), 16L);
    const QImage shot = rig.Shot();
    QCOMPARE(rig.At(shot, 200, 190), QRgb(0xFFFFFF));  // below the last row
  }

  void growingTheViewPullsTopIndexBack() {
    TViewRig rig;
    rig.AddMelodies(20);
    rig.Refresh();
    rig.bar->setValue(rig.bar->maximum());
    QCOMPARE(rig.view->TopIndex(), 16L);
    rig.host.resize(400, 300);
    QApplication::processEvents();
    QCOMPARE(rig.view->height(), 300);
    QCOMPARE(rig.view->TopIndex(), 13L);
    rig.host.resize(400, 900);
    QApplication::processEvents();
    QCOMPARE(rig.view->TopIndex(), 0L);
    QVERIFY(rig.bar->isHidden());
  }

  void pointerIsAHandOverLinksAndButtons() {
    TViewRig rig;
    rig.Add(rig.MelodyRow("Alpha", MidiAndMp3()));
    rig.Refresh();
    const int w = rig.view->width();
    const struct {
      QPoint at;
      Qt::CursorShape shape;
    } moves[] = {{{w - 147 + 3, 25}, Qt::PointingHandCursor}, {{20, 8}, Qt::ArrowCursor},
                 {{18, 27}, Qt::PointingHandCursor},          {{300, 10}, Qt::ArrowCursor},
                 {{w - 47 + 3, 25}, Qt::PointingHandCursor},  {{20, 120}, Qt::ArrowCursor}};
    for (const auto& move : moves) {
      QTest::mouseMove(rig.view, move.at);
      QTRY_COMPARE(rig.view->cursor().shape(), move.shape);
    }
  }

  void singleClickSelectsDoubleClickOpensPage() {
    TViewRig rig;
    rig.AddMelodies(3);
    rig.Refresh();
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {20, 40 + 8});
    QCOMPARE(rig.driver.SelectedRow(), 1L);
    QVERIFY(rig.opened.isEmpty());
    QTest::mouseDClick(rig.view, Qt::LeftButton, {}, {20, 40 + 8});
    QCOMPARE(rig.opened, QStringList{"http://tones.example/Tune 1.html"});
    // Double click on the background of a row opens its page too.
    QTest::mouseDClick(rig.view, Qt::LeftButton, {}, {300, 12});
    QCOMPARE(rig.opened.size(), 2);
    QCOMPARE(rig.opened.last(), QString("http://tones.example/Tune 0.html"));
  }

  void siteNameOpensHomePageAndBelowRowsClears() {
    TViewRig rig;
    rig.AddMelodies(1);
    rig.Add(rig.SiteRow());
    rig.Refresh();
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {18, 27});
    QCOMPARE(rig.opened, QStringList{"http://tones.example/"});
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {18, 40 + 7});
    QCOMPARE(rig.opened.size(), 2);
    QCOMPARE(rig.driver.SelectedRow(), 1L);
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {18, 150});
    QCOMPARE(rig.driver.SelectedRow(), -1L);
    QVERIFY(rig.driver.SelectedKey().empty());
  }

  void clickRaisesTheRowsPageTask() {
    TViewRig rig;
    for (int i = 0; i < 4; ++i) {
      TResult row = rig.MelodyRow("Tune " + std::to_string(i), {}, false);
      TTask task;
      task.Kind = taskMelodyPage;
      task.OriginKey = ResultKey(row);
      task.Melody = row.Melody;
      task.OriginRow = rig.driver.Results().Append(std::move(row));
      rig.driver.Tasks().push_back(task);
    }
    rig.driver.Results().MarkChanged();
    rig.Refresh();
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {300, 3 * 40 + 5});
    QCOMPARE(rig.driver.Tasks().size(), std::size_t(5));
    QCOMPARE(rig.driver.Tasks().front().Kind, taskMelodyPage);
    QCOMPARE(rig.driver.Tasks().front().OriginRow, rig.driver.Results().IdAt(3));
    QCOMPARE(rig.driver.Tasks().back().Kind, taskNone);  // the old task of that row
  }

  void pressWhileLockedIsIgnored() {
    TViewRig rig;
    rig.AddMelodies(2);
    rig.Refresh();
    rig.driver.ClickLock().Take();
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {20, 8});
    QCOMPARE(rig.driver.SelectedRow(), -1L);
    rig.driver.ClickLock().Release();
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {20, 8});
    QCOMPARE(rig.driver.SelectedRow(), 0L);
    QVERIFY(!rig.driver.ClickLock().Held());
  }

  void formatMenuForOneLinkOpensUnderTheButton() {
    TViewRig rig;
    rig.Add(rig.MelodyRow("Alpha"));
    rig.Add(rig.MelodyRow("Beta", MidiAndMp3()));
    rig.Refresh();
    const int w = rig.view->width();
    rig.onMenu = [](QMenu& menu) { menu.findChild<QAction*>("MenuDownload")->trigger(); };
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {w - 147 + 5, 40 + 25});
    QCOMPARE(rig.menus.size(), std::size_t(1));
    QCOMPARE(rig.menus[0].items, (QStringList{"Download", "Play", "Show link"}));
    QCOMPARE(rig.menus[0].at, rig.view->mapToGlobal(QPoint(w - 147, 40 + 35)));
    // The request goes to the head of the queue and the row waits.
    const TTask& task = rig.driver.Tasks().front();
    QCOMPARE(task.Kind, taskDownload);
    QCOMPARE(task.Format, fmMidi);
    QCOMPARE(task.LinkIndex, 0);
    QCOMPARE(task.OriginRow, rig.driver.Results().IdAt(1));
    QVERIFY(rig.driver.Results()[1].Waiting);
  }

  void formatMenuForSeveralLinksHasOneSubmenuEach() {
    TViewRig rig;
    std::array<TMelodyLinkList, FormatCount> links;
    links[fmMp3] = test::Links(
        {{"64 kbps", "http://tones.example/64.mp3"}, {"128 kbps", "http://tones.example/128.mp3"}});
    links[fmMmf] = test::Links({{"MMF", "http://tones.example/a.mmf"}});
    rig.Add(rig.MelodyRow("Alpha", links));
    rig.Refresh();
    rig.view->BuildFormatMenu(0, fmMp3);
    QCOMPARE(MenuItems(rig.view->FormatMenu()),
             (QStringList{"64 kbps/Download", "64 kbps/Play", "64 kbps/Show link",
                          "128 kbps/Download", "128 kbps/Play", "128 kbps/Show link"}));
    // Show link of the second link shows its address.
    QMenu* second = rig.view->FormatMenu().actions().at(1)->menu();
    second->findChild<QAction*>("MenuShowLink")->trigger();
    QCOMPARE(rig.notices, QStringList{"http://tones.example/128.mp3"});
    // No external player: MMF offers no Play; with one it does.
    rig.view->BuildFormatMenu(0, fmMmf);
    QCOMPARE(MenuItems(rig.view->FormatMenu()), (QStringList{"Download", "Show link"}));
    rig.view->SetPlayable(fmMmf, true);
    rig.view->BuildFormatMenu(0, fmMmf);
    QCOMPARE(MenuItems(rig.view->FormatMenu()), (QStringList{"Download", "Play", "Show link"}));
  }

  void downFromNothingSelectsTheFirstRow() {
    TViewRig rig;
    rig.AddMelodies(10);
    rig.Refresh();
    QVERIFY(rig.view->KeyDown(Qt::Key_Down, false));
    QCOMPARE(rig.driver.SelectedRow(), 0L);
    QCOMPARE(rig.view->TopIndex(), 0L);
    // With the history list dropped down the key belongs to the list.
    QVERIFY(!rig.view->KeyDown(Qt::Key_Down, true));
    QCOMPARE(rig.driver.SelectedRow(), 0L);
  }

  void edgeKeysAreSwallowed_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<long>("selected");
    QTest::newRow("up on the first") << int(Qt::Key_Up) << 0L;
    QTest::newRow("page up on the first") << int(Qt::Key_PageUp) << 0L;
    QTest::newRow("down on the last") << int(Qt::Key_Down) << 9L;
    QTest::newRow("page down on the last") << int(Qt::Key_PageDown) << 9L;
  }
  void edgeKeysAreSwallowed() {
    QFETCH(int, key);
    QFETCH(long, selected);
    TViewRig rig;
    rig.AddMelodies(10);
    rig.Refresh();
    rig.driver.SelectRow(selected);
    const long top = rig.view->TopIndex();
    QVERIFY(rig.view->KeyDown(key, false));
    QCOMPARE(rig.driver.SelectedRow(), selected);
    QCOMPARE(rig.view->TopIndex(), top);
    QVERIFY(!rig.view->KeyDown(Qt::Key_Home, false));
  }

  void pageDownWithNothingSelected() {
    TViewRig rig;
    rig.AddMelodies(10);
    rig.Refresh();
    // Four rows stay above the view's bottom edge; with the scroll bar shown one less.
    QCOMPARE(rig.view->PageRows(), 3L);
    QVERIFY(rig.view->KeyDown(Qt::Key_PageDown, false));
    QCOMPARE(rig.driver.SelectedRow(), 2L);
    QCOMPARE(rig.view->TopIndex(), 3L);
    QVERIFY(rig.view->KeyDown(Qt::Key_PageUp, false));
    QCOMPARE(rig.driver.SelectedRow(), 0L);
    QCOMPARE(rig.view->TopIndex(), 0L);
    // No rows: Page Down is swallowed, Up and Page Up are passed on.
    TViewRig empty;
    empty.Refresh();
    QVERIFY(empty.view->KeyDown(Qt::Key_PageDown, false));
    QVERIFY(!empty.view->KeyDown(Qt::Key_PageUp, false));
    QVERIFY(!empty.view->KeyDown(Qt::Key_Up, false));
  }

  void downScrollsJustFarEnough() {
    TViewRig rig({400, 100});
    rig.AddMelodies(10);
    rig.Refresh();
    rig.driver.SelectRow(1);
    QVERIFY(rig.view->KeyDown(Qt::Key_Down, false));
    QCOMPARE(rig.driver.SelectedRow(), 2L);
    // Row 2 spans 80..120: one row scrolled off puts its bottom at 80, inside the view.
    QCOMPARE(rig.view->TopIndex(), 1L);
    QVERIFY(rig.view->KeyDown(Qt::Key_Up, false));
    QVERIFY(rig.view->KeyDown(Qt::Key_Up, false));
    QCOMPARE(rig.driver.SelectedRow(), 0L);
    QCOMPARE(rig.view->TopIndex(), 0L);
  }
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::ResultViewTest)
#include "ResultViewTest.moc"
