// Addresses from pages open only as web pages; one instance per user.
#include <QTest>

#include "GuiTestMain.h"
#include "gui/app/Desktop.h"
#include "gui/app/SingleInstance.h"
#include "support/FakeDesktop.h"

namespace cq {

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
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
