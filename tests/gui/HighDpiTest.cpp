// At twice the pixels (QT_SCALE_FACTOR=2) the list and the icons are drawn at the screen's
// pixels, not drawn at 1x and doubled.
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTest>

#include "GuiTestMain.h"
#include "gui/app/Images.h"
#include "gui/app/ResultView.h"
#include "gui/app/RowPainter.h"
#include "support/FakeSite.h"

namespace cq {

namespace {

// Blocks of 2 x 2 pixels that are not one colour: none in a 1x drawing doubled.
int SharpBlocks(const QImage& image) {
  int sharp = 0;
  for (int y = 0; y + 1 < image.height(); y += 2)
    for (int x = 0; x + 1 < image.width(); x += 2) {
      const QRgb corner = image.pixel(x, y);
      if (image.pixel(x + 1, y) != corner || image.pixel(x, y + 1) != corner ||
          image.pixel(x + 1, y + 1) != corner)
        ++sharp;
    }
  return sharp;
}

}  // namespace

class HighDpiTest : public QObject {
  Q_OBJECT

 private slots:
  void listIsDrawnAtTheScreensPixels() {
    test::TNoSaves sink;
    TSearchDriver driver{{}, sink, {}};
    test::TFakeSite site("tones.example");
    TResult row;
    row.Kind = rkMelody;
    row.Melody = site.Melody("Crisp Bell");
    row.Melody.Processed = true;
    row.Melody.Links[fmMidi] = test::Links({{"MIDI", "http://tones.example/a.mid"}});
    driver.Results().Append(row);
    driver.Results().MarkChanged();
    QWidget host;
    QScrollBar bar(Qt::Vertical);
    auto* view = new TResultView(driver, bar, {}, &host);
    (new QHBoxLayout(&host))->addWidget(view);
    host.resize(400, 100);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    view->RefreshResults();
    QCOMPARE(view->devicePixelRatioF(), 2.0);
    const QImage list = view->grab().toImage();
    QCOMPARE(list.size(), view->size() * 2);
    QVERIFY2(SharpBlocks(list) > 50, "the list is a 1x drawing doubled");
    // The hit image follows: the format button is still found under the pointer.
    QCOMPARE(view->HitColorAt({view->width() - 147 + 5, 30}), HitColors[fmMidi]);
  }

  void iconsAreDrawnAtTheScreensPixels() {
    // Icons with slants and curves: those of straight bars are the same doubled.
    for (const QIcon& icon :
         {SearchButtonGlyph(), FormatMenuIcon(fiDownload), FormatMenuIcon(fiFirstFormat + fmMp3),
          MainMenuIcon(TMainMenuIcon::Settings)}) {
      const QImage image = icon.pixmap(QSize(16, 16), 2.0).toImage();
      QCOMPARE(image.size(), QSize(32, 32));
      QVERIFY(SharpBlocks(image) > 0);
    }
  }
};

}  // namespace cq

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "2");
  return cq::test::RunGuiTest<cq::HighDpiTest>(argc, argv);
}
#include "HighDpiTest.moc"
