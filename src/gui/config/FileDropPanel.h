#pragma once

#include <QFrame>
#include <functional>

namespace cq {

// A panel that takes files dragged onto it and reports their names, each followed by CR LF, in
// the order they came. Folders and names that no longer exist are left out. It takes no drops
// until a handler is set.
class TFileDropPanel : public QFrame {
  Q_OBJECT

 public:
  using TDropHandler = std::function<void(TFileDropPanel& sender, const QString& files)>;

  explicit TFileDropPanel(QWidget* parent = nullptr);

  void SetOnDropFiles(TDropHandler handler);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  TDropHandler onDropFiles_;
};

}  // namespace cq
