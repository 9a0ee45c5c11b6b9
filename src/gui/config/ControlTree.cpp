#include "gui/config/ControlTree.h"

#include <QWidget>

namespace cq {

QList<QWidget*> ChildControls(const QWidget& parent) {
  QList<QWidget*> controls;
  for (QObject* child : parent.children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget != nullptr && !widget->isWindow()) controls.append(widget);
  }
  return controls;
}

QString ComponentName(const QWidget& control) {
  const QString name = control.objectName();
  return name.startsWith(QLatin1String("qt_")) ? QString() : name;
}

}  // namespace cq
