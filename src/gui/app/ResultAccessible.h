#pragma once

class QObject;
class QAccessibleInterface;
class QString;

namespace cq {

// Screen readers see the result view as a list whose items are its rows.
QAccessibleInterface* ResultViewAccessible(const QString& className, QObject* object);

}  // namespace cq
