// The About dialog across a restore from being minimised, and the files it leaves.
#include <QFileInfo>
#include <QTest>

#include "GuiTestMain.h"
#include "gui/config/AboutForm.h"
#include "support/ModalDialogs.h"

namespace cq {

class AboutFormTest : public QObject {
  Q_OBJECT

 private slots:
  // Restored, the pictures run on where they were; the About command starts them afresh.
  void effectsRestartOnlyWhenOpenedFromTheMenu() {
    TAboutForm form;
    form.show();
    QTest::mouseClick(form.MatrixBox, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    const auto filled = form.Matrix().Pixels();
    form.showMinimized();
    form.showNormal();
    QVERIFY(form.Matrix().Pixels() == filled);
    form.hide();
    bool fresh = false;
    test::OnNextModal([&](QDialog&) { fresh = form.Matrix().Pixels() != filled; });
    form.OpenFresh();
    QVERIFY(fresh);
  }

  // The flag writes its tune once, and the dialog's end takes it away.
  void flagLeavesNoTemporaryFile() {
    QStringList played;
    {
      TAboutForm form;
      form.SetHooks({{}, {}, {}, [&played](const QString& file) { played << file; }, {}});
      form.FlagClick();
      form.FlagClick();
      QCOMPARE(played.size(), 2);
      QCOMPARE(played[1], played[0]);
      QVERIFY(QFileInfo::exists(played[0]));
    }
    QVERIFY(!QFileInfo::exists(played[0]));
  }
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::AboutFormTest)
#include "AboutFormTest.moc"
