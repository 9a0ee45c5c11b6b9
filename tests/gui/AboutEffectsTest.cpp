#include <QTest>
#include <algorithm>

#include "ScriptedRandom.h"
#include "gui/config/FireEffect.h"
#include "gui/config/MatrixEffect.h"

using namespace cq;

namespace {

constexpr int Cells = TMatrixEffect::Width * TMatrixEffect::Height;

int CellIndex(int col, int row) {
  return row * TMatrixEffect::Width + col;
}

// Fade draws for every cell: zero except where the test says.
std::vector<int> FadeDraws(std::initializer_list<std::pair<int, int>> cellDraws) {
  std::vector<int> draws(Cells, 0);
  for (const auto& [index, draw] : cellDraws) draws[static_cast<std::size_t>(index)] = draw;
  return draws;
}

void QueueAll(test::TScriptedRandom& random, const std::vector<int>& values) {
  random.Whole.insert(random.Whole.end(), values.begin(), values.end());
}

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

  // Three ticks: a drop starts after rejected tries, lights its rows (brighter on the mask),
  // a second drop is refused for overlapping rows, a lit cell and length, and the grid fades,
  // less on the mask and three times as fast in the fast mode.
  void matrixTicksByHand() {
    test::TScriptedRandom random;
    TMatrixEffect matrix(random);
    TMatrixEffect::TMask mask{};
    mask[static_cast<std::size_t>(CellIndex(5, 11))] = true;
    matrix.Reset(mask);

    random.Queue({5, 10, 15, 5, 40, 20, 5, 10, 30});
    QueueAll(random, FadeDraws({}));
    matrix.Tick();
    QCOMPARE(random.Whole.size(), 0u);
    QCOMPARE(random.Underflows, 0);
    QVERIFY(matrix.Drop(0).Active());
    QCOMPARE(matrix.Drop(0).Col, 5);
    QCOMPARE(matrix.Drop(0).First, 10);
    QCOMPARE(matrix.Drop(0).Last, 30);
    QCOMPARE(matrix.Drop(0).Progress, 0);
    QVERIFY(!matrix.Drop(1).Active());
    QCOMPARE(CountNonZero(matrix), 0);
    const std::vector<int> firstRanges = {60, 70, 70, 60, 70, 70, 60, 70, 70};
    QVERIFY(std::equal(firstRanges.begin(), firstRanges.end(), random.Ranges.begin()));
    QCOMPARE(std::count(random.Ranges.begin() + 9, random.Ranges.end(), 10), Cells);

    matrix.SetCell(7, 25, 3);
    random.Ranges.clear();
    random.Queue({5, 5, 20, 40, 7, 20, 40, 6, 0, 60, 6, 20, 40});
    QueueAll(random, FadeDraws({{CellIndex(5, 11), 9}, {CellIndex(7, 25), 5}}));
    matrix.Tick();
    QCOMPARE(random.Underflows, 0);
    QCOMPARE(random.Ranges.front(), 128);
    QCOMPARE(matrix.Cell(5, 11), 247);  // 255 - 5, then 9 / 3 on the mask
    QCOMPARE(matrix.Cell(7, 25), 0);    // 3 - 5 stops at 0
    QCOMPARE(matrix.Drop(0).Progress, 1);
    QCOMPARE(matrix.Drop(1).Col, 6);
    QCOMPARE(matrix.Drop(1).First, 20);
    QCOMPARE(matrix.Drop(1).Last, 40);
    QCOMPARE(CountNonZero(matrix), 1);

    matrix.SetFast(true);
    random.Queue({40, 0});
    random.QueueRepeated(0, std::size_t{3 * TMatrixEffect::StartTries});
    QueueAll(random,
             FadeDraws({{CellIndex(5, 11), 9}, {CellIndex(5, 12), 2}, {CellIndex(6, 21), 9}}));
    matrix.Tick();
    QCOMPARE(random.Whole.size(), 0u);
    QCOMPARE(random.Underflows, 0);
    QCOMPARE(matrix.Cell(5, 11), 238);  // 9 × 3 / 3 on the mask
    QCOMPARE(matrix.Cell(5, 12), 194);  // 240 - 40, then 2 × 3
    QCOMPARE(matrix.Cell(6, 21), 213);  // 240 - 0, then 9 × 3
    QCOMPARE(CountNonZero(matrix), 3);
    QVERIFY(!matrix.Drop(2).Active());
    QCOMPARE(random.OutOfRange, 0);
  }

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
