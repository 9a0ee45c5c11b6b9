#include "AboutFeedbackShots.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <random>

#include "gui/common/QtText.h"
#include "gui/config/AboutForm.h"
#include "gui/config/FeedbackForm.h"
#include "gui/config/Translators.h"
#include "gui/crash/MailSender.h"

namespace cq {

namespace {

// Always the same pictures from run to run.
class TSeededRandom final : public TEffectRandom {
 public:
  int Below(int n) override {
    return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }
  double Unit() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

 private:
  std::mt19937 engine_{20261207};
};

bool Save(QWidget& dialog, const QString& file) {
  const bool saved = dialog.grab().save(file);
  std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
  return saved;
}

bool ShootFeedback(const QString& folder, const char* language) {
  TFeedbackForm form(MailSender());
  TranslateControls(&form, language, "Forms");
  form.show();
  form.Name->setText(QStringLiteral("Ann"));
  form.Message->setPlainText(QString::fromUtf8("Thanks for the bells! / Спасибо за колокольчики!"));
  QTest::qWait(50);
  const QString name = folder + QStringLiteral("/feedback-%1").arg(QString::fromLatin1(language));
  bool saved = Save(form, name + QStringLiteral(".png"));
  form.resize(form.minimumSize());
  QTest::qWait(50);
  return Save(form, name + QStringLiteral("-smallest.png")) && saved;
}

bool ShootAbout(const QString& folder, const char* language) {
  TSeededRandom random;
  TAboutForm form(nullptr, &random);
  form.SetHooks({[] { return true; }, [] { return 0; }, {}, {}, {}});
  TranslateControls(&form, language, "Forms");
  form.show();
  form.MatrixTimer->stop();
  form.FireTimer->stop();
  // A flare lights the fire at once; the held button keeps it burning high.
  QTest::mousePress(form.FireBox, Qt::RightButton, Qt::NoModifier, QPoint(33, 20));
  QTest::mouseRelease(form.FireBox, Qt::RightButton, Qt::NoModifier, QPoint(33, 20));
  QTest::mousePress(form.FireBox, Qt::LeftButton, Qt::NoModifier, QPoint(35, 20));
  for (int tick = 0; tick < 400; ++tick) {
    if (tick % 2 == 0) form.MatrixTimerTimer();
    form.FireTimerTimer();
  }
  QTest::qWait(50);
  return Save(form, folder + QStringLiteral("/about-%1.png").arg(QString::fromLatin1(language)));
}

}  // namespace

bool ShootAboutAndFeedback(const QString& folder, const char* language) {
  const bool about = ShootAbout(folder, language);
  return ShootFeedback(folder, language) && about;
}

}  // namespace cq
