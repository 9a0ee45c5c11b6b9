#include "gui/common/Fonts.h"

#include <QFont>
#include <QWidget>

namespace cq {

void InstallFontSubstitutes() {
  QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", "Liberation Sans"});
  QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
}

void UseFormFont(QWidget& form) {
  QFont font("Tahoma");
  font.setPixelSize(11);
  form.setFont(font);
}

}  // namespace cq
