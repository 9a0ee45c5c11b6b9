#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include "GuiTestMain.h"
#include "gui/config/FileDropPanel.h"
#include "gui/config/RegConfig.h"
#include "gui/config/ZeqControl.h"

using namespace cq;

namespace {

// A spin edit bound to its up-down on a form, counting beeps and change events.
struct TSpinFixture {
  QWidget form;
  TZeqSpinEdit* edit = new TZeqSpinEdit(&form);
  TUpDown* upDown = new TUpDown(&form);
  int beeps = 0;
  QList<int> changes;  // IntValue at each OnChange_

  TSpinFixture(int min, int max, int position) {
    form.setObjectName("Form");
    edit->setObjectName("Edit");
    edit->SetTypingLimit(2);
    upDown->SetRange(min, max);
    upDown->SetPosition(position);
    edit->setText(QString::number(position));
    edit->SetUpDown(upDown);
    edit->SetBeep([this] { ++beeps; });
    QObject::connect(edit, &TZeqSpinEdit::OnChange_,
                     [this](TZeqSpinEdit* sender) { changes.append(sender->IntValue()); });
  }

  void LeaveField() {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &focusOut);
  }
};

void Drop(QWidget& target, const QList<QUrl>& urls, bool* enterAccepted = nullptr) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QCoreApplication::sendEvent(&target, &enter);
  if (enterAccepted != nullptr) *enterAccepted = enter.isAccepted();
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &drop);
}

void MakeFile(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("x");
}

}  // namespace

class ZeqControlTest : public QObject {
  Q_OBJECT

 private slots:
  // Steps beyond the range are refused whole, never clamped to the nearest end.
  void keysStepWithinTheRange_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("Page Up at 95") << 0 << 99 << 95 << int(Qt::Key_PageUp) << 95;
    QTest::newRow("Page Up at 89") << 0 << 99 << 89 << int(Qt::Key_PageUp) << 99;
    QTest::newRow("Page Down at 14") << 5 << 99 << 14 << int(Qt::Key_PageDown) << 14;
    QTest::newRow("Page Down at 15") << 5 << 99 << 15 << int(Qt::Key_PageDown) << 5;
    QTest::newRow("Up at 7") << 0 << 99 << 7 << int(Qt::Key_Up) << 8;
    QTest::newRow("Up at 99") << 0 << 99 << 99 << int(Qt::Key_Up) << 99;
    QTest::newRow("Down at 0") << 0 << 99 << 0 << int(Qt::Key_Down) << 0;
  }
  void keysStepWithinTheRange() {
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    TSpinFixture spin(min, max, start);
    QTest::keyClick(spin.edit, static_cast<Qt::Key>(key));
    QCOMPARE(spin.upDown->Position(), expected);
    QCOMPARE(spin.edit->text(), QString::number(expected));
    QCOMPARE(spin.beeps, 0);
    QVERIFY(!spin.changes.isEmpty());
    QCOMPARE(spin.changes.last(), expected);
  }

  void otherKeysReachTheEdit() {
    TSpinFixture spin(0, 99, 7);
    spin.edit->selectAll();
    QTest::keyClicks(spin.edit, "42");
    QCOMPARE(spin.upDown->Position(), 42);
    QCOMPARE(spin.edit->text(), QString("42"));
  }

  void emptyingTheFieldKeepsThePositionUntilLeft() {
    TSpinFixture spin(5, 99, 20);
    spin.edit->clear();
    QCOMPARE(spin.edit->text(), QString());
    QCOMPARE(spin.upDown->Position(), 20);
    QCOMPARE(spin.beeps, 0);
    spin.LeaveField();
    QCOMPARE(spin.beeps, 1);
    QCOMPARE(spin.edit->text(), QString("20"));
    QCOMPARE(spin.upDown->Position(), 20);
  }

  void emptyingTheFieldOfARangeFromZeroTakesZero() {
    TSpinFixture spin(0, 99, 7);
    spin.edit->clear();
    QCOMPARE(spin.upDown->Position(), 0);
    QCOMPARE(spin.edit->text(), QString());
    spin.LeaveField();
    QCOMPARE(spin.edit->text(), QString("0"));
    QCOMPARE(spin.beeps, 0);
  }

  void noBreakSpacesAreDropped() {
    TSpinFixture spin(0, 99, 7);
    spin.edit->setText(QStringLiteral(u"1\u00A02"));
    QCOMPARE(spin.upDown->Position(), 12);
    QCOMPARE(spin.edit->text(), QString("12"));
    QCOMPARE(spin.beeps, 0);
  }

  void refusedTextsBeepAndShowThePosition_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << "ab";
    QTest::newRow("below the range") << "3";
    QTest::newRow("sign only") << "-";
    QTest::newRow("negative") << "-7";
  }
  void refusedTextsBeepAndShowThePosition() {
    QFETCH(QString, text);
    TSpinFixture spin(5, 99, 20);
    spin.edit->setText(text);
    QCOMPARE(spin.beeps, 1);
    QCOMPARE(spin.edit->text(), QString("20"));
    QCOMPARE(spin.upDown->Position(), 20);
  }

  void refusedTypingPutsTheCaretBack() {
    TSpinFixture spin(0, 99, 20);
    spin.edit->setSelection(1, 1);
    QTest::keyClick(spin.edit, Qt::Key_X);
    QCOMPARE(spin.beeps, 1);
    QCOMPARE(spin.edit->text(), QString("20"));
    QCOMPARE(spin.edit->cursorPosition(), 2);
  }

  void typingStopsAtTheLimit() {
    TSpinFixture spin(0, 99, 20);
    spin.edit->end(false);
    QTest::keyClick(spin.edit, Qt::Key_5);
    QCOMPARE(spin.edit->text(), QString("20"));
    QCOMPARE(spin.beeps, 0);
  }

  void anInvalidStoredTextGivesWayToTheDesignPosition() {
    {
      QSettings store(QSettings::NativeFormat, QSettings::UserScope, "ZEQ", "Chimequest");
      store.setValue("Edit", "150");
    }
    TSpinFixture spin(0, 99, 7);
    LoadControlState(spin.form, false);
    QCOMPARE(spin.edit->text(), QString("7"));
    QCOMPARE(spin.upDown->Position(), 7);
    QCOMPARE(spin.beeps, 1);
  }

  void intValueReportsThePendingPositionDuringTheChange() {
    TSpinFixture spin(0, 99, 7);
    int positionDuringChange = -1;
    QObject::connect(spin.edit, &TZeqSpinEdit::OnChange_,
                     [&] { positionDuringChange = spin.upDown->Position(); });
    spin.edit->SetIntValue(30);
    QCOMPARE(spin.changes, QList<int>{30});
    QCOMPARE(positionDuringChange, 7);
    QCOMPARE(spin.edit->IntValue(), 30);
    QCOMPARE(spin.edit->text(), QString("30"));
  }

  void intValueOutsideTheRangeIsRefusedOrAnError() {
    TSpinFixture spin(0, 99, 7);
    spin.edit->SetIntValue(100);
    QCOMPARE(spin.edit->IntValue(), 7);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, spin.edit->SetIntValue(40000));
    QCOMPARE(spin.edit->IntValue(), 7);
  }

  void withoutUpDownItIsAPlainEdit() {
    TZeqSpinEdit edit;
    edit.setText("x");
    QCOMPARE(edit.IntValue(), -1);
    edit.SetIntValue(5);
    QCOMPARE(edit.text(), QString("x"));
    QTest::keyClick(&edit, Qt::Key_PageUp);
    QCOMPARE(edit.text(), QString("x"));
  }

  void arrowsOfTheUpDownStep() {
    TSpinFixture spin(0, 99, 7);
    spin.form.resize(200, 100);
    spin.edit->setGeometry(10, 10, 30, 20);
    QTest::mouseClick(spin.upDown, Qt::LeftButton, {}, QPoint(5, 2));
    QCOMPARE(spin.edit->text(), QString("8"));
    QTest::mouseClick(spin.upDown, Qt::LeftButton, {}, QPoint(5, 18));
    QTest::mouseClick(spin.upDown, Qt::LeftButton, {}, QPoint(5, 18));
    QCOMPARE(spin.edit->text(), QString("6"));
    QCOMPARE(spin.upDown->Position(), 6);
  }

  void dropReportsExistingFilesInOrder() {
    QTemporaryDir dir;
    const QString first = dir.filePath("b.mid");
    const QString second = dir.filePath(QString::fromUtf8("а.wav"));
    MakeFile(first);
    MakeFile(second);
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    TFileDropPanel panel;
    int calls = 0;
    QString reported;
    panel.SetOnDropFiles([&](TFileDropPanel& sender, const QString& files) {
      QCOMPARE(&sender, &panel);
      ++calls;
      reported = files;
    });
    bool accepted = false;
    Drop(panel,
         {QUrl::fromLocalFile(first), QUrl::fromLocalFile(dir.filePath("folder")),
          QUrl::fromLocalFile(dir.filePath("missing.mp3")), QUrl::fromLocalFile(second)},
         &accepted);
    QVERIFY(accepted);
    QCOMPARE(calls, 1);
    QCOMPARE(reported, first + "\r\n" + second + "\r\n");
  }

  void dropOfFoldersOnlyReportsNothingButIsReported() {
    QTemporaryDir dir;
    TFileDropPanel panel;
    int calls = 0;
    QString reported = "unset";
    panel.SetOnDropFiles([&](TFileDropPanel&, const QString& files) {
      ++calls;
      reported = files;
    });
    Drop(panel, {QUrl::fromLocalFile(dir.path())});
    QCOMPARE(calls, 1);
    QCOMPARE(reported, QString());
  }

  void noDropsAreTakenUntilAHandlerIsSet() {
    QTemporaryDir dir;
    MakeFile(dir.filePath("a.mid"));
    TFileDropPanel panel;
    QVERIFY(!panel.acceptDrops());
    bool accepted = true;
    Drop(panel, {QUrl::fromLocalFile(dir.filePath("a.mid"))}, &accepted);
    QVERIFY(!accepted);
  }
};

CQ_GUI_TEST_MAIN(ZeqControlTest)
#include "ZeqControlTest.moc"
