#include "gui/config/RegConfig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <memory>
#include <optional>
#include <stdexcept>

#include "gui/common/QtText.h"
#include "gui/config/CheckListBox.h"
#include "gui/config/ControlTree.h"

namespace cq {

namespace {

const QString kOrganisation = QStringLiteral("ZEQ");
const QString kApplication = QStringLiteral("Chimequest");
// A check-list box stores no state under its own name; this value tells that it was saved.
const QString kExistsMarker = QStringLiteral("I exist");

std::unique_ptr<QSettings> OpenStore() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganisation,
                                     kApplication);
}

enum class TControlKind { CheckBox, RadioButton, Edit, Memo, ComboBox, CheckList, Other };

// Tested in this order, so a subclass is stored as its most specific storable kind.
TControlKind KindOf(QWidget& control) {
  if (qobject_cast<QCheckBox*>(&control) != nullptr) return TControlKind::CheckBox;
  if (qobject_cast<QRadioButton*>(&control) != nullptr) return TControlKind::RadioButton;
  if (qobject_cast<QLineEdit*>(&control) != nullptr) return TControlKind::Edit;
  if (qobject_cast<QPlainTextEdit*>(&control) != nullptr) return TControlKind::Memo;
  if (qobject_cast<QComboBox*>(&control) != nullptr) return TControlKind::ComboBox;
  if (qobject_cast<TCheckListBox*>(&control) != nullptr) return TControlKind::CheckList;
  return TControlKind::Other;
}

[[noreturn]] void UnknownControl(const QString& name) {
  throw std::runtime_error("Unknown control type for control " + ToCp1251(name));
}

// The memo's lines are stored with CR LF between them, as on the program's home platform.
QString MemoToStore(const QString& text) {
  QString stored = text;
  return stored.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString MemoFromStore(const QString& stored) {
  QString text = stored;
  return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::optional<int> StoredInteger(const QSettings& store, const QString& name) {
  const QVariant value = store.value(name);
  if (value.typeId() == QMetaType::QStringList) return std::nullopt;
  bool ok = false;
  const int number = value.toInt(&ok);
  return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<QString> StoredString(const QSettings& store, const QString& name) {
  const QVariant value = store.value(name);
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString();
}

QString EntryValueName(const QString& listName, const QString& entry) {
  return listName + QLatin1Char('-') + entry;
}

void SaveOne(QSettings& store, QWidget& control, bool strict) {
  const bool leaf = ChildControls(control).isEmpty();
  const TControlKind kind = KindOf(control);
  if (kind == TControlKind::Other) {
    if (strict && leaf) UnknownControl(control.objectName());
    return;
  }
  const QString name = ComponentName(control);
  if (name.isEmpty()) return;
  switch (kind) {
    case TControlKind::CheckBox:
    case TControlKind::RadioButton:
      store.setValue(name, static_cast<QAbstractButton&>(control).isChecked() ? 1 : 0);
      break;
    case TControlKind::Edit:
      store.setValue(name, static_cast<QLineEdit&>(control).text());
      break;
    case TControlKind::Memo:
      store.setValue(name, MemoToStore(static_cast<QPlainTextEdit&>(control).toPlainText()));
      break;
    case TControlKind::ComboBox:
      store.setValue(name, static_cast<QComboBox&>(control).currentIndex());
      break;
    case TControlKind::CheckList: {
      auto& list = static_cast<TCheckListBox&>(control);
      store.setValue(name, kExistsMarker);
      for (int i = 0; i < list.EntryCount(); ++i) {
        store.setValue(EntryValueName(name, list.EntryText(i)), list.Checked(i) ? 1 : 0);
      }
      break;
    }
    case TControlKind::Other:
      break;
  }
}

void SaveTree(QSettings& store, QWidget& control, bool strict) {
  // Storable controls are leaves to the store: their insides are Qt's helpers.
  if (KindOf(control) == TControlKind::Other) {
    for (QWidget* child : ChildControls(control)) SaveTree(store, *child, false);
  }
  SaveOne(store, control, strict);
}

void LoadOne(const QSettings& store, QWidget& control, bool strict) {
  const QString name = ComponentName(control);
  if (name.isEmpty() || !store.contains(name)) return;
  switch (KindOf(control)) {
    case TControlKind::CheckBox: {
      auto& box = static_cast<QCheckBox&>(control);
      if (const auto value = StoredInteger(store, name)) {
        box.setChecked(*value != 0);
        emit box.clicked(box.isChecked());
      }
      break;
    }
    case TControlKind::RadioButton: {
      auto& button = static_cast<QRadioButton&>(control);
      if (const auto value = StoredInteger(store, name)) {
        // Qt refuses to clear the checked button of an exclusive group; the store may.
        const bool exclusive = button.autoExclusive();
        button.setAutoExclusive(exclusive && *value != 0);
        button.setChecked(*value != 0);
        button.setAutoExclusive(exclusive);
        if (button.isChecked()) emit button.clicked(true);
      }
      break;
    }
    case TControlKind::Edit:
      if (const auto text = StoredString(store, name)) {
        static_cast<QLineEdit&>(control).setText(*text);
      }
      break;
    case TControlKind::Memo:
      if (const auto text = StoredString(store, name)) {
        static_cast<QPlainTextEdit&>(control).setPlainText(MemoFromStore(*text));
      }
      break;
    case TControlKind::ComboBox: {
      auto& box = static_cast<QComboBox&>(control);
      const auto index = StoredInteger(store, name);
      if (index && *index >= -1 && *index < box.count()) box.setCurrentIndex(*index);
      break;
    }
    case TControlKind::CheckList: {
      auto& list = static_cast<TCheckListBox&>(control);
      for (int i = 0; i < list.EntryCount(); ++i) {
        const QString entry = EntryValueName(name, list.EntryText(i));
        if (!store.contains(entry)) continue;
        if (const auto value = StoredInteger(store, entry)) list.SetChecked(i, *value != 0);
      }
      break;
    }
    case TControlKind::Other:
      if (strict) UnknownControl(name);
      break;
  }
}

void LoadTree(const QSettings& store, QWidget& control, bool strict) {
  if (KindOf(control) == TControlKind::Other) {
    for (QWidget* child : ChildControls(control)) LoadTree(store, *child, false);
  }
  LoadOne(store, control, strict);
}

}  // namespace

bool StoreExists() {
#ifdef Q_OS_WIN
  return !OpenStore()->allKeys().isEmpty();
#else
  return QFileInfo::exists(OpenStore()->fileName());
#endif
}

QString StoreLocation() {
  return OpenStore()->fileName();
}

bool SaveControlState(QWidget& control, bool strict) {
  const auto store = OpenStore();
  SaveTree(*store, control, strict);
  store->sync();
  return store->status() == QSettings::NoError;
}

void LoadControlState(QWidget& control, bool strict) {
  if (!StoreExists()) return;
  const auto store = OpenStore();
  // A store that cannot be read restores nothing; the controls keep their design values. A
  // damaged one restores what still reads as the right type.
  if (store->status() == QSettings::AccessError) return;
  LoadTree(*store, control, strict);
}

void SaveWindowPlace(const QWidget& window) {
  const auto store = OpenStore();
  store->setValue(window.objectName() + ".Place", window.saveGeometry());
}

bool RestoreWindowPlace(QWidget& window) {
  if (!StoreExists()) return false;
  const QVariant place = OpenStore()->value(window.objectName() + ".Place");
  return place.typeId() == QMetaType::QByteArray && window.restoreGeometry(place.toByteArray());
}

}  // namespace cq
