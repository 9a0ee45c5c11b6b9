#pragma once

#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <functional>

class QTimer;

namespace cq {

// An up-down control: two arrow halves that propose the position one step up or down. Every
// proposed position goes through the changing handler, which may refuse it.
class TUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit TUpDown(QWidget* parent = nullptr);

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  // Proposes a new position; returns whether it was taken.
  bool SetPosition(int position);
  // Asked with every proposed position before it is taken.
  void SetOnChanging(std::function<bool(int proposed)> handler) {
    onChanging_ = std::move(handler);
  }

  QSize sizeHint() const override { return {17, 21}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Step();

  int min_ = 0;
  int max_ = 100;
  std::int16_t position_ = 0;
  std::function<bool(int)> onChanging_;
  int pressedStep_ = 0;  // +1 or -1 while an arrow is held
  QTimer* repeat_;
};

// A right-aligned edit holding a whole number within the range of its bound up-down. Texts that
// are no number in range are refused with a beep; steps beyond the range are refused whole, never
// clamped. The up-down stands one pixel right of the edit and shows and hides with it.
class TZeqSpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TZeqSpinEdit(QWidget* parent = nullptr);

  TUpDown* UpDown() const { return upDown_; }
  // Binds the up-down (not owned); its changing handler becomes this edit's range test.
  void SetUpDown(TUpDown* upDown);

  // The up-down's position (the proposed one while a change is being reported); -1 without one.
  int IntValue() const;
  // Proposes a position; outside -32768..32767 it is a range error (std::out_of_range).
  void SetIntValue(int value);

  // The most characters the user may type. Unlike QLineEdit::setMaxLength it never cuts a text
  // set by the program, so a stored "150" is refused whole instead of read as "15".
  void SetTypingLimit(int characters);

  // How a refused text is signalled; QApplication::beep unless replaced.
  void SetBeep(std::function<void()> beep) { beep_ = std::move(beep); }

  void setVisible(bool visible) override;

 signals:
  // Every change of the text and every accepted step; stands in for textChanged.
  void OnChange_(cq::TZeqSpinEdit* sender);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  static constexpr int kNoPendingValue = -31337;

  bool UpDownChanging(int proposed);
  void TextChanged();
  void RewriteText(int value);
  void SetTextKeepingSelection(const QString& text);
  void PlaceUpDown();

  TUpDown* upDown_ = nullptr;
  bool updating_ = false;
  std::int16_t pendingValue_ = kNoPendingValue;
  std::function<void()> beep_;
};

}  // namespace cq
