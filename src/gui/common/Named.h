#pragma once

#include <QString>

namespace cq {

// Gives a new control its component name, the name the settings store and the language file
// know it by.
template <typename T>
T* Named(T* object, const char* name) {
  object->setObjectName(QString::fromLatin1(name));
  return object;
}

}  // namespace cq
