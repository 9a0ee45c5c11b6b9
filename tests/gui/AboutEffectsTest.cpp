#include <QTest>
#include <algorithm>

#include "ScriptedRandom.h"
#include "gui/config/FireEffect.h"
#include "gui/config/MatrixEffect.h"

using namespace cq;

namespace {

int CountNonZero(const TMatrixEffect& matrix) {
  int count = 0;
  for (int row = 0; row < TMatrixEffect::Height; ++row) {
    for (int col = 0; col < TMatrixEffect::Width; ++col) count += matrix.Cell(col, row) != 0;
  }
  return count;
}

}  // namespace

class AboutEffectsTest : public QObject {
  Q_OBJECT

 private slots:
  void matrixDropEndsPastItsLastRow() {
    test::TScriptedRandom random;
    random.FallbackWhole = 0;
    TMatrixEffect matrix(random);
    matrix.Reset({});
    QVERIFY(matrix.StartDropAt(3, 0, 10));
    for (int tick = 1; tick <= 10; ++tick) {
      matrix.Tick();
      QCOMPARE(matrix.Cell(3, tick), 240);
      QVERIFY(matrix.Drop(0).Active());
    }
    matrix.Tick();
    QVERIFY(!matrix.Drop(0).Active());
    QCOMPARE(matrix.Cell(3, 0), 0);
    QCOMPARE(CountNonZero(matrix), 10);
  }

  void matrixDropRules_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("starts");
    QTest::newRow("ten rows") << 0 << 0 << 10 << true;
    QTest::newRow("fifty rows") << 1 << 19 << 69 << true;
    QTest::newRow("nine rows") << 2 << 0 << 9 << false;
    QTest::newRow("fifty-one rows") << 3 << 0 << 51 << false;
    QTest::newRow("upside down") << 4 << 30 << 10 << false;
    QTest::newRow("overlaps the running drop") << 40 << 30 << 45 << false;
    QTest::newRow("below the running drop") << 40 << 31 << 50 << true;
    QTest::newRow("over a lit cell") << 41 << 0 << 20 << false;
  }

  void matrixDropRules() {
    QFETCH(int, col);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, starts);
    test::TScriptedRandom random;
    TMatrixEffect matrix(random);
    matrix.Reset({});
    QVERIFY(matrix.StartDropAt(40, 10, 30));
    matrix.SetCell(41, 15, 1);
    QCOMPARE(matrix.StartDropAt(col, first, last), starts);
  }

  void fireHeat_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("heat");
    QTest::newRow("at rest") << int{TFireEffect::Resting} << 3;
    QTest::newRow("top row") << 0 << 124;  // n = 11
    QTest::newRow("row 62") << 62 << 7;    // n = 2
    QTest::newRow("row 63") << 63 << 7;    // (70 - 63) / 7 + 1 = 2
    QTest::newRow("row 64") << 64 << 4;    // n = 1
    QTest::newRow("bottom row") << 69 << 4;
    QTest::newRow("row 35") << 35 << 39;  // n = 6
  }

  void fireHeat() {
    QFETCH(int, row);
    QFETCH(int, heat);
    test::TScriptedRandom random;
    TFireEffect fire(random);
    fire.SetHeatRow(row);
    QCOMPARE(fire.Heat(), heat);
  }

  void firePaletteKeys() {
    test::TScriptedRandom random;
    TFireEffect fire(random);
    const TFireEffect::TPalette built = fire.Palette();
    QCOMPARE(built[0], 0xFF000000u);
    QCOMPARE(built[255], 0xFFFFFFFFu);
    const std::uint32_t middle = built[128];
    QVERIFY((middle >> 16 & 0xFF) > (middle & 0xFF));  // reddish, not bluish

    fire.RotateChannels(true);
    const std::uint32_t r = middle >> 16 & 0xFF, g = middle >> 8 & 0xFF, b = middle & 0xFF;
    QCOMPARE(fire.Palette()[128], 0xFF000000u | g << 16 | b << 8 | r);
    fire.RotateChannels(false);
    QCOMPARE(fire.Palette(), built);

    random.Queue({2});  // red and blue change places
    fire.ExchangeChannels();
    QCOMPARE(fire.Palette()[128], 0xFF000000u | b << 16 | g << 8 | r);
    fire.BuildPalette();
    QCOMPARE(fire.Palette(), built);

    random.FallbackWhole = 0;  // every entry: red and green
    fire.ScrambleChannels();
    QCOMPARE(fire.Palette()[128], 0xFF000000u | g << 16 | r << 8 | b);
    QCOMPARE(random.Ranges.back(), 3);
  }
};

QTEST_APPLESS_MAIN(AboutEffectsTest)
#include "AboutEffectsTest.moc"
