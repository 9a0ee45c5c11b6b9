#include "GuiTestMain.h"
#include "gui/common/QtText.h"

using namespace cq;

class QtTextTest : public QObject {
  Q_OBJECT

 private slots:
  void cp1251RoundTrip_data() {
    QTest::addColumn<QByteArray>("cp1251");
    QTest::addColumn<QString>("qt");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("latin") << QByteArray("Chimequest 1.0") << QStringLiteral("Chimequest 1.0");
    QTest::newRow("cyrillic") << QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2")
                              << QStringLiteral(u"Привет");
    QTest::newRow("yo and no-break space")
        << QByteArray("\xA8\xB8\xA0") << QStringLiteral(u"Ёё\u00A0");
  }
  void cp1251RoundTrip() {
    QFETCH(QByteArray, cp1251);
    QFETCH(QString, qt);
    const std::string core(cp1251.constData(), static_cast<std::size_t>(cp1251.size()));
    QCOMPARE(FromCp1251(core), qt);
    QCOMPARE(ToCp1251(qt), core);
  }

  // One '?' per character, whatever its length in UTF-16.
  void unrepresentableBecomesOneQuestionMark() {
    QCOMPARE(ToCp1251(QStringLiteral(u"a\u4E2Db")), std::string("a?b"));
    QCOMPARE(ToCp1251(QStringLiteral(u"x\U0001F514y")), std::string("x?y"));
  }

  void everyByteSurvivesTheRoundTrip() {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
      if (byte != 0x98)
        all += static_cast<char>(byte);  // the one byte windows-1251 leaves unassigned
    }
    QCOMPARE(ToCp1251(FromCp1251(all)), all);
  }
};

CQ_GUI_TEST_MAIN(QtTextTest)
#include "QtTextTest.moc"
