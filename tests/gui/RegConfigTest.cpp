#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <memory>

#include "GuiTestMain.h"
#include "gui/config/CheckListBox.h"
#include "gui/config/RegConfig.h"
#include "gui/config/ZeqControl.h"

using namespace cq;

namespace {

// A form with one control of every storable kind, some inside a group box and one inside an
// unnamed helper widget, plus controls that store nothing.
struct TSampleForm {
  QWidget form;
  QGroupBox* box = new QGroupBox("Box", &form);
  QCheckBox* check = new QCheckBox("Check", box);
  QRadioButton* radioA = new QRadioButton("A", box);
  QRadioButton* radioB = new QRadioButton("B", box);
  QLineEdit* edit = new QLineEdit(&form);
  TZeqSpinEdit* spin = new TZeqSpinEdit(&form);
  TUpDown* upDown = new TUpDown(&form);
  QPlainTextEdit* memo = new QPlainTextEdit(&form);
  QComboBox* combo = new QComboBox(&form);
  TCheckListBox* sites = new TCheckListBox(&form);
  QWidget* helper = new QWidget(&form);
  QCheckBox* nested = new QCheckBox("Nested", helper);
  QLabel* label = new QLabel("Label", &form);
  QPushButton* button = new QPushButton("Button", &form);
  int checkClicks = 0;

  TSampleForm() {
    form.setObjectName("Form");
    box->setObjectName("Box");
    check->setObjectName("Check");
    radioA->setObjectName("RadioA");
    radioB->setObjectName("RadioB");
    edit->setObjectName("Edit");
    spin->setObjectName("Spin");
    upDown->setObjectName("SpinUpDown");
    memo->setObjectName("Memo");
    combo->setObjectName("Combo");
    sites->setObjectName("Sites");
    nested->setObjectName("Nested");
    label->setObjectName("Label");
    button->setObjectName("Button");
    radioA->setChecked(true);
    edit->setText("design");
    upDown->SetRange(5, 99);
    upDown->SetPosition(20);
    spin->setText("20");
    spin->SetUpDown(upDown);
    spin->SetBeep([] {});
    memo->setPlainText("design memo");
    combo->addItems({"zero", "one", "two"});
    combo->setCurrentIndex(0);
    sites->AddEntry("Alpha", true);
    sites->AddEntry(QString::fromUtf8("Бета"), true);
    QObject::connect(check, &QCheckBox::clicked, [this] { ++checkClicks; });
  }
};

std::unique_ptr<QSettings> Store() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "ZEQ",
                                     "Chimequest");
}

void RemoveStore() {
  Store()->clear();
  QFile::remove(StoreLocation());
}

void WriteStoreText(const QByteArray& text) {
  RemoveStore();
  QFile file(StoreLocation());
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
}

}  // namespace

class RegConfigTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { RemoveStore(); }

  void roundTripsEveryKindAndValue_data() {
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("radioB");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<QString>("spinText");
    QTest::addColumn<QString>("memoText");
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<bool>("beta");
    QTest::newRow("set") << true << true << QString::fromUtf8("Папка/с, запятой") << "42"
                         << "one\ntwo\nthree\n"
                         << 2 << false << true;
    QTest::newRow("cleared") << false << false << QString() << "5" << QString() << -1 << true
                             << false;
    QTest::newRow("quotes and equals") << true << false << "a=b;\"c\" #d"
                                       << "99"
                                       << "\n\nx" << 1 << false << false;
  }
  void roundTripsEveryKindAndValue() {
    QFETCH(bool, checked);
    QFETCH(bool, radioB);
    QFETCH(QString, editText);
    QFETCH(QString, spinText);
    QFETCH(QString, memoText);
    QFETCH(int, comboIndex);
    QFETCH(bool, alpha);
    QFETCH(bool, beta);
    {
      TSampleForm saved;
      saved.check->setChecked(checked);
      (radioB ? saved.radioB : saved.radioA)->setChecked(true);
      saved.edit->setText(editText);
      saved.spin->setText(spinText);
      saved.memo->setPlainText(memoText);
      saved.combo->setCurrentIndex(comboIndex);
      saved.sites->SetChecked(0, alpha);
      saved.sites->SetChecked(1, beta);
      saved.nested->setChecked(true);
      QVERIFY(SaveControlState(saved.form, false));
    }
    TSampleForm loaded;
    LoadControlState(loaded.form, false);
    QCOMPARE(loaded.check->isChecked(), checked);
    QCOMPARE(loaded.radioB->isChecked(), radioB);
    QCOMPARE(loaded.radioA->isChecked(), !radioB);
    QCOMPARE(loaded.edit->text(), editText);
    QCOMPARE(loaded.spin->text(), spinText);
    QCOMPARE(loaded.spin->IntValue(), spinText.toInt());
    QCOMPARE(loaded.memo->toPlainText(), memoText);
    QCOMPARE(loaded.combo->currentIndex(), comboIndex);
    QCOMPARE(loaded.sites->Checked(0), alpha);
    QCOMPARE(loaded.sites->Checked(1), beta);
    QVERIFY(loaded.nested->isChecked());
  }

  void storesTheValuesOfTheTableAndNothingElse() {
    TSampleForm form;
    form.memo->setPlainText("one\ntwo\nthree\n");
    form.sites->SetChecked(1, false);
    QVERIFY(!StoreExists());
    QVERIFY(SaveControlState(form.form, false));
    QVERIFY(StoreExists());
    const auto store = Store();
    QStringList keys = store->allKeys();
    keys.sort();
    QStringList expected = {
        "Check",  "Combo",  "Edit",  "Memo",        "Nested",
        "RadioA", "RadioB", "Sites", "Sites-Alpha", QString::fromUtf8("Sites-Бета"),
        "Spin"};
    expected.sort();
    QCOMPARE(keys, expected);
    // Line breaks are stored as CR LF; a check list stores its marker and one value per entry.
    QCOMPARE(store->value("Memo").toString(), QString("one\r\ntwo\r\nthree\r\n"));
    QCOMPARE(store->value("Sites").toString(), QString("I exist"));
    QCOMPARE(store->value(QString::fromUtf8("Sites-Бета")).toInt(), 0);
  }

  void noStoreRestoresNothingAndCreatesNothing() {
    TSampleForm form;
    form.check->setChecked(true);
    LoadControlState(form.form, false);
    QVERIFY(form.check->isChecked());
    QCOMPARE(form.edit->text(), QString("design"));
    QCOMPARE(form.checkClicks, 0);
    QVERIFY(!StoreExists());
  }

  void checkListEntriesWithoutValueKeepTheirMark() {
    WriteStoreText("[General]\nSites=I exist\nSites-Alpha=0\nSites-Gone=0\n");
    TSampleForm form;
    form.sites->AddEntry("New site", true);
    LoadControlState(form.form, false);
    QVERIFY(!form.sites->Checked(0));
    QVERIFY(form.sites->Checked(1));
    QVERIFY(form.sites->Checked(2));
    // The value of a site that no longer exists stays in the store.
    QVERIFY(SaveControlState(form.form, false));
    QCOMPARE(Store()->value("Sites-Gone").toInt(), 0);
    QCOMPARE(Store()->value("Sites-New site").toInt(), 1);
  }

  // A damaged store never stops the program: values of the wrong type, or out of range, are
  // ignored and their controls keep their design values, while the sound values are restored.
  void valuesOfTheWrongTypeAreIgnored() {
    WriteStoreText(
        "[General]\n"
        "Check=abc\n"
        "RadioB=1\n"
        "Edit=first, second\n"
        "Memo=a, b\n"
        "Combo=7\n"
        "Sites=I exist\n"
        "Sites-Alpha=yes\n"
        "Spin=@Invalid()\n"
        "Nested=1\n");
    TSampleForm form;
    LoadControlState(form.form, false);
    QVERIFY(!form.check->isChecked());
    QCOMPARE(form.checkClicks, 0);
    QVERIFY(form.radioB->isChecked());
    QCOMPARE(form.edit->text(), QString("design"));
    QCOMPARE(form.memo->toPlainText(), QString("design memo"));
    QCOMPARE(form.combo->currentIndex(), 0);
    QVERIFY(form.sites->Checked(0));
    QCOMPARE(form.spin->text(), QString("20"));
    QVERIFY(form.nested->isChecked());
  }

  void unreadableStoreRestoresNothing() {
    WriteStoreText(QByteArray("\xFF\xFE\x00garbage=[[[\n", 14));
    TSampleForm form;
    LoadControlState(form.form, false);
    QCOMPARE(form.edit->text(), QString("design"));
    QVERIFY(form.radioA->isChecked());
  }

  // Even as root: a plain file where the store's folder belongs cannot be written through.
  void saveReportsAStoreThatCannotBeWritten() {
    const QString folder = QFileInfo(StoreLocation()).absolutePath();
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TSampleForm form;
    const bool saved = SaveControlState(form.form, false);
    QVERIFY(blocker.remove());
    QVERIFY(!saved);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(SaveControlState(form.form, false));
  }
};

CQ_GUI_TEST_MAIN(RegConfigTest)
#include "RegConfigTest.moc"
