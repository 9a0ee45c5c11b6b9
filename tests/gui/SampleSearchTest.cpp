// The whole program's search: the real seven sites, reached through the sample sites server in
// this process, the window as the program creates it, a term typed and Search pressed, until
// every row is a ready melody with links.
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <map>
#include <memory>

#include "GuiTestMain.h"
#include "InProcessServer.h"
#include "core/sites/registry/ProgramSites.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ResultView.h"
#include "support/FakeDesktop.h"

namespace cq {

namespace {

bool HasAnyLink(const TMelody& melody) {
  for (const TMelodyFormat format : AllFormats)
    if (!melody.Links[format].empty()) return true;
  return false;
}

// The window with its first-start and settings dialogs, as the program creates them.
struct TFormRig {
  test::TFakeDesktop desktop;
  TMainWindow window;
  TMainForm& form = window.Form();

  explicit TFormRig(const TSiteRegistry& sites) : window(sites, desktop, QString()) {
    window.RestoreSettings();
    form.SetUpdateStarter([] {});
    form.show();
  }
};

}  // namespace

class SampleSearchTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    server_ = std::make_unique<samples::TInProcessServer>();
    QVERIFY2(server_->Bound(), "the sample sites need a loopback port");
    // The store exists: no first start.
    QSettings("ZEQ", "Chimequest").setValue("Updates", true);
    QCOMPARE(sites_.Sites().size(), std::size_t{7});
  }
  void cleanupTestCase() { server_.reset(); }

  void searchFillsTheWindowWithReadyRows() {
    TFormRig rig(sites_);
    TMainForm& form = rig.form;
    test::TFakeDesktop& desktop = rig.desktop;
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    form.SearchTerm->setEditText("love");
    form.SearchBtn->click();
    TSearchDriver& driver = form.Driver();
    QVERIFY(!driver.Results().empty());
    // Every row ready: no site rows, every melody processed, no jobs, nothing waiting.
    const auto settled = [&driver] {
      if (!driver.Manager().Idle()) return false;
      for (std::size_t i = 0; i < driver.Results().size(); ++i) {
        const TResult& row = driver.Results()[i];
        if (row.Kind != rkMelody || !row.Melody.Processed || row.Waiting || row.Job != nullptr)
          return false;
      }
      return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 90000);
    QVERIFY(desktop.notices.isEmpty());

    const TResultModel& rows = driver.Results();
    QVERIFY2(rows.size() >= 300, qPrintable(QString::number(rows.size())));
    std::map<const TSite*, int> perSite;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      QVERIFY2(rows[i].ErrorText.empty(), rows[i].ErrorText.str().c_str());
      QVERIFY2(HasAnyLink(rows[i].Melody), rows[i].Melody.Title.str().c_str());
      ++perSite[rows[i].Melody.Site];
    }
    for (const TSite* site : sites_.Sites()) QVERIFY2(perSite[site] > 0, site->GetName().c_str());
    QCOMPARE(perSite.size(), std::size_t{7});
    QString counts;
    for (const auto& [site, count] : perSite)
      counts += QStringLiteral(" %1 %2").arg(QString::fromStdString(site->GetName())).arg(count);
    qInfo("%zu rows:%s", rows.size(), qPrintable(counts));
  }

 private:
  const TSiteRegistry sites_ = BuiltInSites();
  std::unique_ptr<samples::TInProcessServer> server_;
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::SampleSearchTest)
#include "SampleSearchTest.moc"
