// The result view: clicks, the format menu and the keys at the ends of the list.
#include <QAccessible>
#include <QHBoxLayout>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "GuiTestMain.h"
#include "core/jobs/JobManager.h"
#include "gui/app/ResultView.h"
#include "gui/app/RowPainter.h"
#include "support/FakeSite.h"

namespace cq {

namespace {

QStringList MenuItems(const QMenu& menu, const QString& prefix = QString()) {
  QStringList items;
  for (QAction* action : menu.actions()) {
    if (QMenu* sub = action->menu()) {
      items << MenuItems(*sub, prefix + QString(action->text()).remove('&') + "/");
    } else {
      items << prefix + QString(action->text()).remove('&');
    }
  }
  return items;
}

// A view with its scroll bar, as the main window holds them.
struct TViewRig {
  test::TNoSaves sink;
  TSearchDriver driver{{}, sink, {}};
  QWidget host;
  QScrollBar* bar = new QScrollBar(Qt::Vertical, &host);
  QStringList opened;
  QStringList notices;
  std::vector<QStringList> menus;  // "Caption" or "Caption/Item" per shown menu
  std::function<void(QMenu&)> onMenu;
  TResultView* view;
  test::TFakeSite site{"tones.example"};

  explicit TViewRig(QSize size = {400, 200}) {
    view = new TResultView(
        driver, *bar,
        {[this](const std::string& address) { opened << QString::fromStdString(address); },
         [this](const QString& text) { notices << text; },
         [this](QMenu& menu, QPoint) {
           menus.push_back(MenuItems(menu));
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
};

std::array<TMelodyLinkList, FormatCount> MidiAndMp3() {
  std::array<TMelodyLinkList, FormatCount> links;
  links[fmMidi] = test::Links({{"MIDI", "http://tones.example/a.mid"}});
  links[fmMp3] = test::Links({{"MP3", "http://tones.example/a.mp3"}});
  return links;
}

}  // namespace

class ResultViewTest : public QObject {
  Q_OBJECT

 private slots:
  void singleClickSelectsDoubleClickOpensPage() {
    TViewRig rig;
    rig.AddMelodies(3);
    rig.Refresh();
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {20, 40 + 8});
    QCOMPARE(rig.driver.SelectedRow(), 1L);
    QVERIFY(rig.opened.isEmpty());
    QTest::mouseDClick(rig.view, Qt::LeftButton, {}, {20, 40 + 8});
    QCOMPARE(rig.opened, QStringList{"http://tones.example/Tune 1"});
    // Double click on the background of a row opens its page too.
    QTest::mouseDClick(rig.view, Qt::LeftButton, {}, {300, 12});
    QCOMPARE(rig.opened.size(), 2);
    QCOMPARE(rig.opened.last(), QString("http://tones.example/Tune 0"));
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

  void formatButtonQueuesTheChosenDownload() {
    TViewRig rig;
    rig.Add(rig.MelodyRow("Alpha"));
    rig.Add(rig.MelodyRow("Beta", MidiAndMp3()));
    rig.Refresh();
    const int w = rig.view->width();
    rig.onMenu = [](QMenu& menu) { menu.findChild<QAction*>("MenuDownload")->trigger(); };
    QTest::mouseClick(rig.view, Qt::LeftButton, {}, {w - 147 + 5, 40 + 25});
    QCOMPARE(rig.menus.size(), std::size_t(1));
    QCOMPARE(rig.menus[0], (QStringList{"Download", "Play", "Show link"}));
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

  void screenReadersHearRowsAndSelection() {
    TViewRig rig;
    rig.Add(rig.SiteRow());
    rig.Add(rig.MelodyRow("Beta", MidiAndMp3()));
    TResult failed = rig.MelodyRow("Gamma");
    failed.ErrorText = "Cannot retreive page from the Internet.";
    rig.Add(failed);
    rig.Refresh();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(rig.view);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 3);
    const QStringList names = {"tones.example, Waiting", "Beta, tones.example",
                               "Gamma, tones.example, Cannot retreive page from the Internet."};
    const QStringList formats = {"", "MIDI, MP3", ""};
    for (int i = 0; i < 3; ++i) {
      QAccessibleInterface* row = list->child(i);
      QCOMPARE(row->role(), QAccessible::ListItem);
      QCOMPARE(row->text(QAccessible::Name), names[i]);
      QCOMPARE(row->text(QAccessible::Description), formats[i]);
      QCOMPARE(list->indexOfChild(row), i);
    }
    // The selection as a screen reader reads it (the offscreen platform delivers no events).
    QVERIFY(rig.view->KeyDown(Qt::Key_Down, false));
    QVERIFY(rig.view->KeyDown(Qt::Key_Down, false));
    QVERIFY(list->child(1)->state().selected);
    QVERIFY(!list->child(0)->state().selected);
  }

  void wheelScrollsByRows() {
    TViewRig rig;
    rig.AddMelodies(20);
    rig.Refresh();
    const auto turn = [&rig](int angle) {
      QWheelEvent wheel({50, 50}, rig.view->mapToGlobal(QPointF(50, 50)), {}, {0, angle},
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(rig.view, &wheel);
    };
    const long notch = QApplication::wheelScrollLines();
    turn(-120);
    QCOMPARE(rig.view->TopIndex(), notch);
    // A touchpad's small steps add up to the same rows.
    for (int i = 0; i < 4; ++i) turn(30);
    QCOMPARE(rig.view->TopIndex(), 0L);
  }

  void wordsReadOnEveryBackground() {
    // Relative luminance as the accessibility guidelines define it.
    const auto luminance = [](const QColor& colour) {
      const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
      };
      return 0.2126 * linear(static_cast<double>(colour.redF())) +
             0.7152 * linear(static_cast<double>(colour.greenF())) +
             0.0722 * linear(static_cast<double>(colour.blueF()));
    };
    QImage selection;
    MakeSelectionBitmap(selection, 4, MelodyRowHeight);
    const QList<QColor> backgrounds = {Qt::white, selection.pixelColor(0, 0),
                                       selection.pixelColor(0, MelodyRowHeight - 1)};
    QList<QColor> words = {SiteNameColour(rkSite), SiteNameColour(rkMelody), ErrorTextColour};
    for (int status = jsWaiting; status < jsFinished; ++status)
      words << StatusTextColour(static_cast<TJobStatus>(status));
    for (const QColor& word : words) {
      for (const QColor& back : backgrounds) {
        const double ratio = (luminance(back) + 0.05) / (luminance(word) + 0.05);
        QVERIFY2(ratio >= 4.5, qPrintable(word.name() + " on " + back.name()));
      }
    }
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
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::ResultViewTest)
#include "ResultViewTest.moc"
