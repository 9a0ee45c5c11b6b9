#include <unistd.h>

#include "gui/platform/UserIdentity.h"

namespace cq {

QString UserNumber() {
  return QString::number(::getuid());
}

}  // namespace cq
