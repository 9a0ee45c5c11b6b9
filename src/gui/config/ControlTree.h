#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace cq {

// The controls a walker visits below `parent`: its child widgets in child-list order, without
// separate windows. Qt's own helpers carry no name or one starting "qt_"; they are walked through
// but never stand for a control of their own.
QList<QWidget*> ChildControls(const QWidget& parent);

// The component name of a control: its object name, or empty for Qt's unnamed helpers.
QString ComponentName(const QWidget& control);

}  // namespace cq
