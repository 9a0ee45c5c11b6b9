#include "gui/config/ZeqControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QValidator>
#include <limits>
#include <stdexcept>

namespace cq {

namespace {

constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 60;
constexpr QChar kNoBreakSpace(0x00A0);

bool FitsPosition(int value) {
  return value >= std::numeric_limits<std::int16_t>::min() &&
         value <= std::numeric_limits<std::int16_t>::max();
}

// Bounds what the user types; texts set by the program pass unchecked.
class TLengthLimit : public QValidator {
 public:
  TLengthLimit(int characters, QObject* parent) : QValidator(parent), characters_(characters) {}
  State validate(QString& input, int&) const override {
    return input.size() <= characters_ ? Acceptable : Invalid;
  }

 private:
  int characters_;
};

}  // namespace

TUpDown::TUpDown(QWidget* parent) : QWidget(parent), repeat_(new QTimer(this)) {
  setFocusPolicy(Qt::NoFocus);
  resize(sizeHint());
  connect(repeat_, &QTimer::timeout, this, [this] {
    repeat_->setInterval(kRepeatIntervalMs);
    Step();
  });
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
}

bool TUpDown::SetPosition(int position) {
  if (!FitsPosition(position)) return false;
  if (onChanging_ && !onChanging_(position)) return false;
  position_ = static_cast<std::int16_t>(position);
  return true;
}

void TUpDown::Step() {
  SetPosition(position_ + pressedStep_);
}

void TUpDown::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  const int half = height() / 2;
  const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
  for (int i = 0; i < 2; ++i) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = halves[i];
    const bool pressed = pressedStep_ == (i == 0 ? 1 : -1);
    button.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawPrimitive(QStyle::PE_PanelButtonBevel, button);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = halves[i].adjusted(3, 2, -3, -2);
    painter.drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                          arrow);
  }
}

void TUpDown::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressedStep_ = event->position().y() < height() / 2.0 ? 1 : -1;
  Step();
  repeat_->start(kRepeatDelayMs);
  update();
}

void TUpDown::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  repeat_->stop();
  pressedStep_ = 0;
  update();
}

TZeqSpinEdit::TZeqSpinEdit(QWidget* parent)
    : QLineEdit(parent), beep_([] { QApplication::beep(); }) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

void TZeqSpinEdit::SetUpDown(TUpDown* upDown) {
  upDown_ = upDown;
  if (upDown_ == nullptr) return;
  upDown_->SetOnChanging([this](int proposed) { return UpDownChanging(proposed); });
  upDown_->setVisible(isVisibleTo(parentWidget()));
  PlaceUpDown();
}

void TZeqSpinEdit::SetTypingLimit(int characters) {
  setValidator(new TLengthLimit(characters, this));
}

int TZeqSpinEdit::IntValue() const {
  if (upDown_ == nullptr) return -1;
  if (pendingValue_ != kNoPendingValue) return pendingValue_;
  return upDown_->Position();
}

void TZeqSpinEdit::SetIntValue(int value) {
  if (upDown_ == nullptr) return;
  if (!FitsPosition(value)) throw std::out_of_range("spin edit value out of range");
  upDown_->SetPosition(value);
}

void TZeqSpinEdit::setVisible(bool visible) {
  QLineEdit::setVisible(visible);
  if (upDown_ == nullptr) return;
  upDown_->setVisible(visible);
  if (visible) PlaceUpDown();
}

bool TZeqSpinEdit::UpDownChanging(int proposed) {
  if (proposed < upDown_->Min() || proposed > upDown_->Max()) return false;
  if (!updating_) {
    updating_ = true;
    pendingValue_ = static_cast<std::int16_t>(proposed);
    emit OnChange_(this);
    RewriteText(proposed);
    updating_ = false;
    pendingValue_ = kNoPendingValue;
  }
  return true;
}

void TZeqSpinEdit::TextChanged() {
  if (updating_) return;
  emit OnChange_(this);
  if (upDown_ == nullptr) return;
  QString cleaned = text();
  cleaned.remove(kNoBreakSpace);
  int value = 0;
  if (!cleaned.isEmpty()) {
    bool ok = false;
    value = cleaned.toInt(&ok);
    if (!ok || value < upDown_->Min() || value > upDown_->Max()) {
      beep_();
      SetTextKeepingSelection(QString::number(upDown_->Position()));
      return;
    }
  }
  if (upDown_->Position() != value) upDown_->SetPosition(value);
  if (text() != cleaned) setText(cleaned);
}

void TZeqSpinEdit::RewriteText(int value) {
  if (upDown_ == nullptr) return;
  if (text().isEmpty() && value == 0) return;
  SetTextKeepingSelection(QString::number(value));
}

void TZeqSpinEdit::SetTextKeepingSelection(const QString& newText) {
  const int start = hasSelectedText() ? selectionStart() : cursorPosition();
  const int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
  setText(newText);
  const int end = static_cast<int>(newText.size());
  if (length > 0) {
    setSelection(std::min(start, end), std::min(length, end - std::min(start, end)));
  } else {
    setCursorPosition(std::min(start, end));
  }
}

void TZeqSpinEdit::keyPressEvent(QKeyEvent* event) {
  int step = 0;
  switch (event->key()) {
    case Qt::Key_Up:
      step = 1;
      break;
    case Qt::Key_Down:
      step = -1;
      break;
    case Qt::Key_PageUp:
      step = 10;
      break;
    case Qt::Key_PageDown:
      step = -10;
      break;
    default:
      break;
  }
  if (upDown_ == nullptr || step == 0) return QLineEdit::keyPressEvent(event);
  updating_ = true;
  upDown_->SetPosition(upDown_->Position() + step);
  updating_ = false;
  event->accept();
  RewriteText(upDown_->Position());
  emit OnChange_(this);
}

void TZeqSpinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (text().isEmpty()) setText(QStringLiteral("0"));
}

void TZeqSpinEdit::moveEvent(QMoveEvent* event) {
  QLineEdit::moveEvent(event);
  PlaceUpDown();
}

void TZeqSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceUpDown();
}

void TZeqSpinEdit::PlaceUpDown() {
  if (upDown_ == nullptr) return;
  upDown_->setGeometry(x() + width() + 1, y(), upDown_->width(), height());
}

}  // namespace cq
