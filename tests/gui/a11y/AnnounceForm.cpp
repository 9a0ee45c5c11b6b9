// The main window over the test sites, for a screen reader's test (announce.py): it searches,
// prints "ready", then presses in the result list each key named on its standard input, one a
// line, until "quit".
#include <QFile>
#include <QPushButton>
#include <QSocketNotifier>

#include "FormRig.h"

namespace cq {

class AnnounceForm : public QObject {
  Q_OBJECT

 private slots:
  void pressesTheKeysItIsTold() {
    LayOutFormRigSites();
    const TMelody failing = SiteB().Melody("Bell Three");
    SiteB().Shelve("bell", failing, {});
    SiteB().OnPage(failing.PageURL.str(), test::Fails("Cannot retreive page from the Internet."));
    TFormRig rig;
    rig.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
    // No window manager activates it.
    rig.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));
    rig.Search("bell");
    QTRY_VERIFY_WITH_TIMEOUT(rig.Settled(), 10000);
    rig.form.PaintBox->setFocus();
    QTRY_VERIFY(rig.form.PaintBox->hasFocus());
    QFile input;
    QVERIFY(input.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered));
    bool quit = false;
    QSocketNotifier told(input.handle(), QSocketNotifier::Read);
    connect(&told, &QSocketNotifier::activated, this, [&] {
      const QString key = QString::fromUtf8(input.readLine()).trimmed();
      quit = key.isEmpty() || key == "quit";
      if (!quit) QTest::keyClick(rig.form.PaintBox, QKeySequence(key)[0].key());
    });
    QTextStream(stdout) << "ready" << Qt::endl;
    QTRY_VERIFY_WITH_TIMEOUT(quit, 60000);
  }
};

}  // namespace cq

CQ_GUI_TEST_MAIN(cq::AnnounceForm)
#include "AnnounceForm.moc"
