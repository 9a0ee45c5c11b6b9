#include "gui/config/AboutForm.h"

#include <QAudioOutput>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>

#include "core/Product.h"
#include "core/platform/TempFiles.h"
#include "core/transfer/Version.h"
#include "gui/app/Desktop.h"
#include "gui/app/Fonts.h"
#include "gui/app/Named.h"
#include "gui/config/AboutPictures.h"
#include "gui/config/FlagMelody.h"

namespace cq {

namespace {

constexpr int NewDropLength = 20;

const char* const JobNoticeEnglish =
    "We are open to interesting work: if you have a project for us, write to the addresses "
    "above.";
const char* const JobNoticeRussian =
    "Мы открыты для интересной работы: если у вас есть для нас проект, пишите по адресам выше.";

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* Label(const char* name, const char* text) {
  return Named(new QLabel(QString::fromUtf8(text)), name);
}

QFrame* Bevel(const char* name) {
  auto* line = Named(new QFrame, name);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QFrame* SunkenPanel(const char* name) {
  auto* panel = Named(new QFrame, name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(2);
  return panel;
}

void MakeLink(QLabel& label) {
  label.setStyleSheet(QStringLiteral("color: #0000e0; text-decoration: underline;"));
  label.setCursor(Qt::PointingHandCursor);
}

// The mask of the matrix: the overlay's black pixels.
TMatrixEffect::TMask MaskFrom(const QImage& overlay) {
  TMatrixEffect::TMask mask{};
  for (int row = 0; row < TMatrixEffect::Height; ++row) {
    for (int col = 0; col < TMatrixEffect::Width; ++col) {
      mask[static_cast<std::size_t>(row * TMatrixEffect::Width + col)] =
          (overlay.pixel(col, row) & 0xFFFFFFu) == 0;
    }
  }
  return mask;
}

// The fire's middle, scaled into the picture; the backdrop shows through lit by the flames, in
// eight levels of its brightness.
QImage FireImage(const TFireEffect& fire, const QImage& backdrop) {
  constexpr int size = TFireEffect::PictureSize;
  QImage image(size, size, QImage::Format_ARGB32);
  const auto& palette = fire.Palette();
  for (int y = 0; y < size; ++y) {
    const int sourceY =
        TFireEffect::TopRow + y * (TFireEffect::BottomRow - TFireEffect::TopRow) / (size - 1);
    for (int x = 0; x < size; ++x) {
      const int sourceX = TFireEffect::BaseLeft + x * (TFireEffect::BaseCount - 1) / (size - 1);
      const int heat = fire.At(sourceX, sourceY);
      const QRgb flame = palette[static_cast<std::size_t>(heat)];
      const QRgb scene = backdrop.pixel(x, y);
      const int level = qGray(scene) / 32;
      const auto mix = [&](int flameChannel, int sceneChannel) {
        return std::min(255, flameChannel + sceneChannel * (level + 1) * (48 + heat) / (8 * 303));
      };
      image.setPixel(x, y,
                     qRgb(mix(qRed(flame), qRed(scene)), mix(qGreen(flame), qGreen(scene)),
                          mix(qBlue(flame), qBlue(scene))));
    }
  }
  return image;
}

}  // namespace

TPictureBox::TPictureBox(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
}

void TPictureBox::SetImage(const QImage& image) {
  image_ = image;
  update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(rect(), image_);
}

// The dialog's own player, for when no main window hands it one.
class TAboutForm::TMelodyPlayer {
 public:
  void Play(const QString& file) {
    output_.setVolume(0.8f);
    player_.setAudioOutput(&output_);
    player_.setSource(QUrl::fromLocalFile(file));
    player_.play();
  }

 private:
  QMediaPlayer player_;
  QAudioOutput output_;
};

TAboutForm::TAboutForm(QWidget* parent, TEffectRandom* random)
    : QDialog(parent),
      Icon(new TPictureBox(QStringLiteral("_Icon"))),
      ProductLabel(Label("_Chimequest", "Chimequest")),
      VersionLabel(Label("_VersionLabel", "")),
      RightsLbl(Label("RightsLbl", "© 2026 the Chimequest authors. All rights reserved.")),
      Bevel1(Bevel("Bevel1")),
      Role1Lbl(Label("Role1Lbl", "Programming:")),
      Name1(Label("_Name1", "Mira Holt")),
      Nick1(Label("_Nick1", "“Quill”")),
      Email1(Label("_Email1", "mira.holt@chimequest.example")),
      MatrixPanel(SunkenPanel("MatrixPanel")),
      MatrixBox(new TPictureBox(QStringLiteral("_Matrix"))),
      JobBtn(Named(new QPushButton(QStringLiteral("Hire us")), "JobBtn")),
      Bevel2(Bevel("Bevel2")),
      Role2Lbl(Label("Role2Lbl", "Graphics and sound:")),
      Name2(Label("_Name2", "Tomas Brandt")),
      Nick2(Label("_Nick2", "“Fermata”")),
      Email2(Label("_Email2", "tomas.brandt@chimequest.example")),
      FirePanel(SunkenPanel("FirePanel")),
      FireBox(new TPictureBox(QStringLiteral("_Fire"))),
      Bevel3(Bevel("Bevel3")),
      HomePageLbl(Label("HomePageLbl", "Homepage:")),
      HomePage(Named(new QLabel(FromView(product::HomePage)), "_HomePage")),
      FlagPanel(SunkenPanel("FlagPanel")),
      Flag(new TPictureBox(QStringLiteral("Flag"))),
      CountryLbl(Label("CountryLbl", "Made in Ruritania")),
      OkBtn(Named(new QPushButton(QStringLiteral("OK")), "_OkBtn")),
      MatrixTimer(Named(new QTimer(this), "MatrixTimer")),
      FireTimer(Named(new QTimer(this), "FireTimer")),
      ownRandom_(random == nullptr ? std::make_unique<TSystemRandom>() : nullptr),
      random_(random == nullptr ? *ownRandom_ : *random),
      matrix_(random_),
      fire_(random_),
      fireBackdrop_(FireBackdropPicture()) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About Chimequest"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  UseFormFont(*this);
  PlaceControls();
  ConnectControls();
  // FormCreate: the version, and the pictures as they stand before the effects start.
  VersionLabel->setText(QString::fromStdString(VersionText()));
  Icon->SetImage(AboutIconPicture(32));
  Flag->SetImage(FlagPicture());
  MatrixBox->SetImage(MatrixOverlayPicture());
  FireBox->SetImage(fireBackdrop_);
  MatrixTimer->setInterval(MatrixInterval);
  FireTimer->setInterval(FireInterval);
  JobBtn->setVisible(false);
  ResetEffects();
}

TAboutForm::~TAboutForm() {
  if (!flagTune_.isEmpty()) QFile::remove(flagTune_);
}

void TAboutForm::PlaceControls() {
  const auto place = [this](QWidget* control, int x, int y, int width, int height) {
    control->setParent(this);
    control->setGeometry(x, y, width, height);
  };
  // The size the main window holds the dialog at; the controls are laid out for 329 x 325.
  setFixedSize(330, 337);
  place(Icon, 12, 8, 32, 32);
  QFont big = font();
  big.setPixelSize(24);
  big.setBold(true);
  ProductLabel->setFont(big);
  place(ProductLabel, 52, 6, 170, 30);
  place(VersionLabel, 226, 16, 91, 16);
  VersionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  place(RightsLbl, 12, 42, 305, 16);
  place(Bevel1, 8, 62, 313, 2);

  place(MatrixPanel, 12, 68, 64, 74);
  MatrixBox->setParent(MatrixPanel);
  MatrixBox->setGeometry(2, 2, TMatrixEffect::Width, TMatrixEffect::Height);
  place(Role1Lbl, 88, 72, 150, 16);
  place(Name1, 88, 92, 150, 16);
  place(Nick1, 88, 108, 150, 16);
  place(Email1, 88, 124, 190, 16);
  place(JobBtn, 234, 68, 86, 22);
  JobBtn->setFlat(true);
  place(Bevel2, 8, 150, 313, 2);

  place(Role2Lbl, 12, 162, 210, 16);
  place(Name2, 12, 182, 210, 16);
  place(Nick2, 12, 198, 210, 16);
  place(Email2, 12, 214, 210, 16);
  place(FirePanel, 245, 158, 74, 74);
  FireBox->setParent(FirePanel);
  FireBox->setGeometry(2, 2, TFireEffect::PictureSize, TFireEffect::PictureSize);
  place(Bevel3, 8, 240, 313, 2);

  place(HomePageLbl, 12, 252, 80, 16);
  place(HomePage, 96, 252, 220, 16);
  place(FlagPanel, 12, 282, 36, 26);
  Flag->setParent(FlagPanel);
  Flag->setGeometry(2, 2, 32, 22);
  place(CountryLbl, 56, 287, 150, 16);
  place(OkBtn, 242, 284, 75, 25);
  OkBtn->setDefault(true);
}

void TAboutForm::ConnectControls() {
  for (QLabel* link : {Email1, Email2, HomePage}) {
    MakeLink(*link);
    link->installEventFilter(this);
  }
  Flag->setCursor(Qt::PointingHandCursor);
  for (QWidget* picture : {static_cast<QWidget*>(Flag), static_cast<QWidget*>(MatrixBox),
                           static_cast<QWidget*>(FireBox)}) {
    picture->installEventFilter(this);
  }
  MatrixBox->setMouseTracking(false);
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(JobBtn, &QPushButton::clicked, this, &TAboutForm::JobBtnClick);
  connect(MatrixTimer, &QTimer::timeout, this, &TAboutForm::MatrixTimerTimer);
  connect(FireTimer, &QTimer::timeout, this, &TAboutForm::FireTimerTimer);
}

void TAboutForm::ResetEffects() {
  matrix_.Reset(MaskFrom(MatrixOverlayPicture()));
  matrix_.SetFast(false);
  fire_.Reset();
}

void TAboutForm::OpenFresh() {
  ResetEffects();
  PaintMatrix();
  PaintFire();
  exec();
}

// FormShow: the effects run while the dialog is seen; the notice button as the settings say.
void TAboutForm::showEvent(QShowEvent* event) {
  JobBtn->setVisible(hooks_.ShowJobButton && hooks_.ShowJobButton());
  MatrixTimer->start();
  FireTimer->start();
  QDialog::showEvent(event);
}

void TAboutForm::hideEvent(QHideEvent* event) {
  MatrixTimer->stop();
  FireTimer->stop();
  QDialog::hideEvent(event);
}

bool TAboutForm::OpenUrl(const QUrl& url) {
  if (!IsWebAddress(url) && !IsMailAddress(url)) return false;
  return hooks_.OpenUrl ? hooks_.OpenUrl(url) : QDesktopServices::openUrl(url);
}

void TAboutForm::EmailClick(const QLabel& label) {
  OpenUrl(QUrl(QStringLiteral("mailto:") + label.text() + QStringLiteral("?subject=Chimequest")));
}

void TAboutForm::HomePageClick() {
  OpenUrl(QUrl(HomePage->text()));
}

void TAboutForm::FlagClick() {
  // One file for every click; written again only when something removed it meanwhile.
  if (flagTune_.isEmpty() || !QFileInfo::exists(flagTune_)) {
    flagTune_ = QFile::decodeName(WriteTempFile(FlagMelody(), ".mid").c_str());
    if (flagTune_.isEmpty()) return;
  }
  if (hooks_.PlayMelody) {
    hooks_.PlayMelody(flagTune_);
    return;
  }
  if (!player_) player_ = std::make_unique<TMelodyPlayer>();
  player_->Play(flagTune_);
}

void TAboutForm::JobBtnClick() {
  const bool second = hooks_.LanguagePosition && hooks_.LanguagePosition() == 1;
  const QString text = QString::fromUtf8(second ? JobNoticeRussian : JobNoticeEnglish);
  if (hooks_.ShowNotice) {
    hooks_.ShowNotice(this, text);
  } else {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Chimequest"), text, QMessageBox::Ok,
                    this);
    ShowPlainText(box);
    box.exec();
  }
}

void TAboutForm::MatrixTimerTimer() {
  if (!isVisible()) return;
  matrix_.Tick();
  PaintMatrix();
}

void TAboutForm::FireTimerTimer() {
  if (!isVisible()) return;
  fire_.Tick();
  PaintFire();
}

void TAboutForm::PaintMatrix() {
  const auto pixels = matrix_.Pixels();
  QImage image(TMatrixEffect::Width, TMatrixEffect::Height, QImage::Format_ARGB32);
  for (int row = 0; row < TMatrixEffect::Height; ++row) {
    std::copy_n(pixels.begin() + row * TMatrixEffect::Width, TMatrixEffect::Width,
                reinterpret_cast<QRgb*>(image.scanLine(row)));
  }
  MatrixBox->SetImage(image);
}

void TAboutForm::PaintFire() {
  FireBox->SetImage(FireImage(fire_, fireBackdrop_));
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      reject();
      return;
    case Qt::Key_PageUp:
      fire_.RotateChannels(true);
      return;
    case Qt::Key_PageDown:
      fire_.RotateChannels(false);
      return;
    case Qt::Key_Insert:
      fire_.ExchangeChannels();
      return;
    case Qt::Key_Delete:
      fire_.ScrambleChannels();
      return;
    case Qt::Key_Home:
      fire_.BuildPalette();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

// Up slows the matrix down, down speeds it up to 1 ms at the fastest.
void TAboutForm::wheelEvent(QWheelEvent* event) {
  const int turn = event->angleDelta().y();
  const int interval = MatrixTimer->interval();
  if (turn > 0) {
    MatrixTimer->setInterval(interval + WheelStep);
  } else if (turn < 0 && interval > WheelStep) {
    MatrixTimer->setInterval(interval - WheelStep);
  }
  event->accept();
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == MatrixBox) {
    MatrixMouse(event);
  } else if (watched == FireBox) {
    FireMouse(event);
  } else if (type == QEvent::MouseButtonRelease &&
             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == Flag) FlagClick();
    if (watched == HomePage) HomePageClick();
    if (watched == Email1 || watched == Email2) EmailClick(*static_cast<QLabel*>(watched));
  }
  return QDialog::eventFilter(watched, event);
}

// Double click pauses; a drag paints (left) or drops (right); with Shift a click fills or
// clears, with Control it restarts the drops or switches the fast mode, with Alt the colours.
void TAboutForm::MatrixMouse(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonDblClick) {
    if (MatrixTimer->isActive()) {
      MatrixTimer->stop();
    } else {
      MatrixTimer->start();
    }
    return;
  }
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove) return;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint();
  const int col = at.x(), row = at.y();
  if (col < 0 || col >= TMatrixEffect::Width || row < 0 || row >= TMatrixEffect::Height) return;
  const Qt::KeyboardModifiers keys = mouse->modifiers();
  const Qt::MouseButtons buttons = mouse->buttons();
  if (type == QEvent::MouseButtonPress && keys != Qt::NoModifier) {
    const bool left = mouse->button() == Qt::LeftButton;
    if (keys & Qt::ShiftModifier) {
      matrix_.Fill(left ? 255 : 0);
    } else if (keys & Qt::ControlModifier) {
      if (left) {
        matrix_.StopDrops();
      } else {
        matrix_.SetFast(!matrix_.Fast());
      }
    } else if (keys & Qt::AltModifier) {
      matrix_.SetRamp(matrix_.Ramp() == TMatrixEffect::rampGreen ? TMatrixEffect::rampAmber
                                                                 : TMatrixEffect::rampGreen);
    }
  } else if (buttons & Qt::LeftButton) {
    matrix_.SetCell(col, row, 255);
  } else if (buttons & Qt::RightButton) {
    matrix_.StartDropAt(col, row, std::min(row + NewDropLength, TMatrixEffect::Height - 1));
  }
  PaintMatrix();
}

// A held button heats the fire, more the higher it is held; a right click starts a flare.
void TAboutForm::FireMouse(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->buttons() == Qt::NoButton) fire_.SetHeatRow(TFireEffect::Resting);
    return;
  }
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove) return;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->buttons() == Qt::NoButton) return;
  const QPoint at = mouse->position().toPoint();
  const int row = std::clamp(at.y(), 0, TFireEffect::PictureSize - 1);
  fire_.SetHeatRow(row);
  if (type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton) {
    const int x = std::clamp(at.x(), 0, TFireEffect::PictureSize - 1);
    fire_.Flare(TFireEffect::BaseLeft +
                x * (TFireEffect::BaseCount - 1) / (TFireEffect::PictureSize - 1));
  }
}

}  // namespace cq
