#include "gui/config/Translators.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "core/config/Translation.h"
#include "gui/common/QtText.h"
#include "gui/config/ControlTree.h"

namespace cq {

namespace {

QString TranslateCaption(std::string_view language, const std::string& key,
                         const QString& caption) {
  return FromCp1251(Translate(language, key, ToCp1251(caption)));
}

// Controls of other kinds keep their text.
void TranslateCaptionOf(QWidget& control, std::string_view language, const std::string& key) {
  if (control.isWindow()) {
    control.setWindowTitle(TranslateCaption(language, key, control.windowTitle()));
    return;
  }
  if (qobject_cast<QCheckBox*>(&control) != nullptr ||
      qobject_cast<QRadioButton*>(&control) != nullptr ||
      qobject_cast<QPushButton*>(&control) != nullptr) {
    auto& button = static_cast<QAbstractButton&>(control);
    button.setText(TranslateCaption(language, key, button.text()));
    return;
  }
  if (auto* label = qobject_cast<QLabel*>(&control)) {
    label->setText(TranslateCaption(language, key, label->text()));
    return;
  }
  if (auto* box = qobject_cast<QGroupBox*>(&control)) {
    box->setTitle(TranslateCaption(language, key, box->title()));
  }
}

QString ItemName(const QAction& item) {
  if (!item.objectName().isEmpty() || item.menu() == nullptr) return item.objectName();
  return item.menu()->objectName();
}

void TranslateItem(QAction& item, std::string_view language, std::string_view prefix) {
  const std::string key = std::string(prefix) + "." + ToCp1251(ItemName(item));
  if (item.isSeparator()) {
    Translate(language, key, "-");
  } else {
    item.setText(TranslateCaption(language, key, item.text()));
  }
  if (QMenu* submenu = item.menu()) {
    for (QAction* subItem : submenu->actions()) TranslateItem(*subItem, language, key);
  }
}

}  // namespace

void TranslateControls(QWidget* control, std::string_view language, std::string_view prefix) {
  if (control == nullptr) return;
  const TTranslationBurst burst;
  const QString name = ComponentName(*control);
  if (name.startsWith(QLatin1Char('_'))) return;
  std::string key(prefix);
  if (!name.isEmpty()) {
    key += "." + ToCp1251(name);
    TranslateCaptionOf(*control, language, key);
  }
  for (QWidget* child : ChildControls(*control)) TranslateControls(child, language, key);
}

void TranslateMenuItems(QMenu& menu, std::string_view language, std::string_view prefix) {
  const TTranslationBurst burst;
  const std::string key = std::string(prefix) + ".";
  menu.setTitle(TranslateCaption(language, key, menu.title()));
  for (QAction* item : menu.actions()) TranslateItem(*item, language, key);
}

}  // namespace cq
