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
  void matrixPalette_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<uint>("colour");
    QTest::newRow("black") << 0 << 0xFF000000u;
    QTest::newRow("first green") << 1 << 0xFF000200u;
    QTest::newRow("green doubles") << 100 << 0xFF00C800u;
    QTest::newRow("last of the green ramp") << 127 << 0xFF00FE00u;
    QTest::newRow("full green") << 128 << 0xFF00FF00u;
    QTest::newRow("first glow") << 129 << 0xFF01FF01u;
    QTest::newRow("brightest") << 255 << 0xFF7FFF7Fu;
  }

  void matrixPalette() {
    QFETCH(int, index);
    QFETCH(uint, colour);
    const auto palette = TMatrixEffect::Palette(TMatrixEffect::rampGreen);
    QCOMPARE(palette[static_cast<std::size_t>(index)], colour);
  }

  void matrixPixelsGoThroughTheRamp() {
    test::TScriptedRandom random;
    TMatrixEffect matrix(random);
    matrix.Reset({});
    matrix.SetCell(59, 69, 200);
    QCOMPARE(matrix.Pixels()[Cells - 1], 0xFF48FF48u);
    matrix.SetRamp(TMatrixEffect::rampAmber);
    QVERIFY(matrix.Pixels()[Cells - 1] != 0xFF48FF48u);
  }

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

  // Heat rises from the base, the base is stirred, cooled at its ends and smoothed.
  void fireTickByHand() {
    test::TScriptedRandom random;
    TFireEffect fire(random);
    fire.SetBase(90, 200);
    fire.SetBase(100, 100);
    fire.SetBase(150, 30);
    random.Queue({1, 4, 0, 9, 1, 40, 0, 2, 1, 60});
    random.Fractions = {0.0, 0.5, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    fire.Tick();
    QCOMPARE(random.Underflows, 0);
    QCOMPARE(random.Whole.size(), 0u);
    QCOMPARE(random.Fractions.size(), 0u);
    QCOMPARE(random.Ranges, (std::vector<int>{3, 10, 3, 10, 150, 41, 41, 3, 50, 121}));

    QCOMPARE(fire.At(90, 199), 200);
    QCOMPARE(fire.At(100, 199), 100);
    QCOMPARE(fire.At(150, 199), 30);
    QCOMPARE(fire.At(90, 198), 0);    // the edge columns never rise
    QCOMPARE(fire.At(100, 198), 96);  // straight up, 4 cooler
    QCOMPARE(fire.At(149, 198), 21);  // up and to the left, 9 cooler
    QCOMPARE(fire.At(150, 198), 0);

    const std::vector<std::pair<int, int>> base = {{99, 27},  {100, 36}, {101, 12},
                                                   {102, 4},  {103, 1},  {149, 10},
                                                   {150, 14}, {151, 4},  {152, 1}};
    for (int column = TFireEffect::BaseLeft; column <= TFireEffect::BaseRight; ++column) {
      const auto found = std::find_if(base.begin(), base.end(),
                                      [column](const auto& cell) { return cell.first == column; });
      QCOMPARE(fire.Base(column), found == base.end() ? 0 : found->second);
    }
  }

  // A flare, its cells capped at 255, cooling at columns 90 + 14 and 210 - 14, and a sputter
  // that clears ten cells and lowers one above 200.
  void fireFlareAndSputterByHand() {
    test::TScriptedRandom random;
    TFireEffect fire(random);
    random.Queue({0, 7, 20, 20, 20, 20, 20, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 150});
    random.Fractions.assign(15, 0.999);
    fire.Tick();
    QCOMPARE(random.Underflows, 0);
    QCOMPARE(random.Whole.size(), 0u);
    std::vector<int> ranges = {150, 115, 41, 41, 41, 41, 41, 50};
    ranges.insert(ranges.end(), 11, 121);
    ranges.push_back(200);
    QCOMPARE(random.Ranges, ranges);

    const std::vector<std::pair<int, int>> base = {{96, 85},   {97, 0},    {98, 236}, {99, 248},
                                                   {100, 150}, {101, 169}, {102, 56}, {103, 18},
                                                   {104, 6},   {105, 2}};
    for (int column = TFireEffect::BaseLeft; column <= TFireEffect::BaseRight; ++column) {
      const auto found = std::find_if(base.begin(), base.end(),
                                      [column](const auto& cell) { return cell.first == column; });
      QCOMPARE(fire.Base(column), found == base.end() ? 0 : found->second);
    }
  }

  void fireBaseBetweenElevenAndFiftyGrowsBelowTheHeat() {
    test::TScriptedRandom random;
    TFireEffect fire(random);
    fire.SetHeatRow(0);
    fire.SetBase(150, 11);
    fire.SetBase(151, 10);
    fire.SetBase(152, 49);
    // Rise: 150 and 152 are hot enough (>= 10) and go straight up; 151 (10) too.
    random.Queue({1, 0, 1, 0, 1, 0, 1, 123, 3, 1, 0});
    random.Fractions.assign(15, 0.0);
    fire.Tick();
    QCOMPARE(random.Underflows, 0);
    QCOMPARE(random.Ranges, (std::vector<int>{3, 10, 3, 10, 3, 10, 150, 124, 124, 50, 121}));
    // 11 + 123 = 134, 10 stays, 49 + 3 = 52, then smoothed left to right.
    QCOMPARE(fire.Base(149), (0 + 0 + 134) / 3);
    const int at150 = (44 + 134 + 10) / 3;
    QCOMPARE(fire.Base(150), at150);
    const int at151 = (at150 + 10 + 52) / 3;
    QCOMPARE(fire.Base(151), at151);
    QCOMPARE(fire.Base(152), (at151 + 52 + 0) / 3);
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
