#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>

#include "gui/config/EffectRandom.h"
#include "gui/config/FireEffect.h"
#include "gui/config/MatrixEffect.h"

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QUrl;

namespace cq {

// A picture that paints an image at its natural size; not a label, so no translation walk ever
// replaces it with a caption.
class TPictureBox : public QWidget {
 public:
  explicit TPictureBox(const QString& name, QWidget* parent = nullptr);
  void SetImage(const QImage& image);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

// What the About dialog asks of the rest of the program. Unset members fall back to the
// desktop (links, message boxes), the dialog's own media player, or a hidden notice button.
struct TAboutHooks {
  std::function<bool()> ShowJobButton;    // the settings dialog's _ShowJobButton
  std::function<int()> LanguagePosition;  // the settings dialog's Language position
  std::function<bool(const QUrl&)> OpenUrl;
  std::function<void(const QString& midiFile)> PlayMelody;  // the main window's media player
  std::function<void(QWidget* owner, const QString& text)> ShowNotice;
};

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int MatrixInterval = 50;
  static constexpr int FireInterval = 25;
  static constexpr int WheelStep = 5;

  // The effects draw their chance from `random`, or from the system's when it is null.
  explicit TAboutForm(QWidget* parent = nullptr, TEffectRandom* random = nullptr);
  ~TAboutForm() override;

  void SetHooks(TAboutHooks hooks) { hooks_ = std::move(hooks); }

  // The About command: the effects start afresh and the dialog returns when it is closed.
  // Showing it again otherwise (restored from being minimised) lets them run on.
  void OpenFresh();

  void EmailClick(const QLabel& label);
  void HomePageClick();
  void FlagClick();
  void JobBtnClick();
  void MatrixTimerTimer();
  void FireTimerTimer();

  const TMatrixEffect& Matrix() const { return matrix_; }
  const TFireEffect& Fire() const { return fire_; }

  TPictureBox* const Icon;
  QLabel* const ProductLabel;  // "_Chimequest"
  QLabel* const VersionLabel;  // "_VersionLabel"
  QLabel* const RightsLbl;
  QFrame* const Bevel1;
  QLabel* const Role1Lbl;
  QLabel* const Name1;
  QLabel* const Nick1;
  QLabel* const Email1;
  QFrame* const MatrixPanel;
  TPictureBox* const MatrixBox;
  QPushButton* const JobBtn;
  QFrame* const Bevel2;
  QLabel* const Role2Lbl;
  QLabel* const Name2;
  QLabel* const Nick2;
  QLabel* const Email2;
  QFrame* const FirePanel;
  TPictureBox* const FireBox;
  QFrame* const Bevel3;
  QLabel* const HomePageLbl;
  QLabel* const HomePage;
  QFrame* const FlagPanel;
  TPictureBox* const Flag;
  QLabel* const CountryLbl;
  QPushButton* const OkBtn;
  QTimer* const MatrixTimer;
  QTimer* const FireTimer;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceControls();
  void ConnectControls();
  void ResetEffects();
  bool OpenUrl(const QUrl& url);
  void PaintMatrix();
  void PaintFire();
  void MatrixMouse(QEvent* event);
  void FireMouse(QEvent* event);

  std::unique_ptr<TEffectRandom> ownRandom_;
  TEffectRandom& random_;
  TMatrixEffect matrix_;
  TFireEffect fire_;
  QImage fireBackdrop_;
  TAboutHooks hooks_;
  class TMelodyPlayer;
  std::unique_ptr<TMelodyPlayer> player_;
  // The flag's tune in the temporary folder, removed with the dialog at program end.
  QString flagTune_;
};

}  // namespace cq
