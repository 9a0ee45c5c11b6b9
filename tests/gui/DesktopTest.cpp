// Addresses from pages open only as web pages; one instance per user.
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "GuiTestMain.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/UpdateBridge.h"
#include "gui/common/Desktop.h"
#include "support/FakeDesktop.h"
#include "support/ModalDialogs.h"

namespace cq {

// Stands in for the desktop's browser and file opener.
class TUrlRecorder : public QObject {
  Q_OBJECT

 public:
  Q_INVOKABLE void open(const QUrl& url) { opened << url.toString(); }
  QStringList opened;
};

QMessageBox* ShownMessageBox() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(window);
    if (box != nullptr && box->isVisible()) return box;
  }
  return nullptr;
}

class DesktopTest : public QObject {
  Q_OBJECT

  TUrlRecorder recorder_;
  static constexpr const char* Schemes[] = {"http", "https", "file", "javascript", "mailto"};

 private slots:
  void initTestCase() {
    for (const char* scheme : Schemes) QDesktopServices::setUrlHandler(scheme, &recorder_, "open");
  }
  void cleanupTestCase() {
    for (const char* scheme : Schemes) QDesktopServices::unsetUrlHandler(scheme);
  }

  void onlyWebAddressesOpen_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http") << "http://tones.example/page.html" << true;
    QTest::newRow("https") << "https://tones.example/" << true;
    QTest::newRow("upper case") << "HTTP://TONES.EXAMPLE/" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("local path") << "/usr/bin/xterm" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("mailto") << "mailto:someone@tones.example" << false;
    QTest::newRow("no host") << "http:///etc/passwd" << false;
    QTest::newRow("empty") << "" << false;
  }
  void onlyWebAddressesOpen() {
    QFETCH(QString, address);
    QFETCH(bool, opened);
    test::TFakeDesktop desktop;
    QCOMPARE(OpenWebAddress(desktop, address.toStdString()), opened);
    QCOMPARE(desktop.opened.size(), opened ? 1 : 0);
    // The desktop itself refuses whatever is no web page, whoever asks.
    const QUrl url(address);
    if (url.scheme().isEmpty()) return;
    recorder_.opened.clear();
    TQtDesktop real(nullptr);
    QCOMPARE(real.OpenUrl(url), opened);
    QCOMPARE(recorder_.opened.size(), opened ? 1 : 0);
  }

  // A site's address written as a link stays text: nothing in the box can be clicked open.
  void messageBoxesShowTheirTextAsTyped_data() {
    QTest::addColumn<bool>("question");
    QTest::newRow("notice") << false;
    QTest::newRow("question") << true;
  }
  void messageBoxesShowTheirTextAsTyped() {
    QFETCH(bool, question);
    const QString text = R"(<a href="file:///usr/bin/xterm">http://tones.example/a.mid</a>)";
    Qt::TextFormat format = Qt::AutoText;
    Qt::TextInteractionFlags flags;
    test::OnNextModal([&](QDialog& dialog) {
      const auto* label = dialog.findChild<QLabel*>("qt_msgbox_label");
      QVERIFY(label != nullptr);
      QCOMPARE(label->text(), text);
      format = label->textFormat();
      flags = label->textInteractionFlags();
    });
    TQtDesktop desktop(nullptr);
    question ? void(desktop.AskYesNo(text)) : desktop.Notice(text);
    QCOMPARE(format, Qt::PlainText);
    QVERIFY(flags.testFlag(Qt::TextSelectableByMouse));
    QVERIFY(!flags.testFlag(Qt::LinksAccessibleByMouse));
  }

  // Enter in the overwrite question keeps the file; Show link's box copies the address.
  void questionsDefaultToTheSafeAnswer() {
    TQtDesktop desktop(nullptr);
    test::OnNextModal([](QDialog& box) { QTest::keyClick(&box, Qt::Key_Return); });
    QVERIFY(!desktop.AskYesNo("a.mid\n\nFile already exists. Overwrite?"));
    const QString address = "http://tones.example/a.mid";
    QApplication::clipboard()->clear();
    test::OnNextModal([](QDialog& box) { test::Click(box, "CopyAddress"); });
    desktop.ShowAddress(address);
    QCOMPARE(QApplication::clipboard()->text(), address);
  }

  // The offer of a new version waits for its answer while every window goes on working.
  void updateOfferBlocksNothing() {
    TQtDesktop desktop(nullptr);
    TUpdateBridge bridge({}, desktop);
    int modal = 0;
    QTimer modalCloser;  // a modal question would hold the test inside it: count it and close it
    modalCloser.callOnTimeout([&modal] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ++modal;
        dialog->reject();
      }
    });
    modalCloser.start(10);
    recorder_.opened.clear();
    bridge.OfferNewVersion("A newer version of Chimequest is available.", "http://home.example/");
    QMessageBox* question = nullptr;
    QTRY_VERIFY((question = ShownMessageBox()) != nullptr);
    QVERIFY(!question->isModal());
    QCOMPARE(modal, 0);
    question->button(QMessageBox::Yes)->click();
    QCOMPARE(recorder_.opened, QStringList{"http://home.example/"});
  }

  void secondInstanceActivatesTheFirst() {
    const QString folder = test::TestHome() + "/instance";
    TSingleInstance first(folder);
    int activated = 0;
    first.SetOnActivate([&activated] { ++activated; });
    QVERIFY(first.Claim());
    TSingleInstance second(folder);
    QVERIFY(!second.Claim());
    QTRY_COMPARE(activated, 1);
  }
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::DesktopTest)
#include "DesktopTest.moc"
