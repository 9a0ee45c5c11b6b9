#include "gui/config/FileDropPanel.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace cq {

TFileDropPanel::TFileDropPanel(QWidget* parent) : QFrame(parent) {
  // Opaque: it paints its own background, not its parent's.
  setAutoFillBackground(true);
}

void TFileDropPanel::SetOnDropFiles(TDropHandler handler) {
  onDropFiles_ = std::move(handler);
  setAcceptDrops(static_cast<bool>(onDropFiles_));
}

void TFileDropPanel::dragEnterEvent(QDragEnterEvent* event) {
  if (onDropFiles_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFileDropPanel::dragMoveEvent(QDragMoveEvent* event) {
  if (onDropFiles_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFileDropPanel::dropEvent(QDropEvent* event) {
  if (!onDropFiles_) return;
  QString files;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    const QString name = QDir::toNativeSeparators(url.toLocalFile());
    if (!QFileInfo(name).isFile()) continue;
    files += name + QLatin1String("\r\n");
  }
  event->acceptProposedAction();
  onDropFiles_(*this, files);
}

}  // namespace cq
