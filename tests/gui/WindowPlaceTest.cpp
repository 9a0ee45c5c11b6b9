#include <QSettings>
#include <QTest>

#include "GuiTestMain.h"
#include "core/sites/registry/SiteRegistry.h"
#include "gui/app/MainWindow.h"
#include "support/FakeDesktop.h"

using namespace cq;

class WindowPlaceTest : public QObject {
  Q_OBJECT

 private slots:
  // The main window opens where it was closed; the design size only the very first time.
  void mainWindowOpensWhereItWasClosed() {
    QSettings("ZEQ", "Chimequest").setValue("Updates", true);  // no first start
    const TSiteRegistry noSites;
    for (const QSize expected : {QSize(393, 281), QSize(520, 400)}) {
      test::TFakeDesktop desktop;
      TMainWindow window(noSites, desktop, QString());
      window.RestoreSettings();
      window.Form().show();
      QTRY_VERIFY(window.Form().FirstShowDone());
      QCOMPARE(window.Form().size(), expected);
      window.Form().resize(520, 400);
      window.Form().close();
    }
  }
};

CQ_GUI_TEST_MAIN(WindowPlaceTest)
#include "WindowPlaceTest.moc"
