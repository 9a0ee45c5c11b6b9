#pragma once

#include <string_view>

class QMenu;
class QWidget;

namespace cq {

// Rewrites the captions of `control` and every control inside it from the language file, each
// under Prefix + "." + its name, the names of the enclosing named controls in between (so
// "Forms.SettingsForm.DownloadBox.DownloadAsk"). The current caption is the default. Captions of
// windows, labels, check boxes, radio buttons, push buttons and group boxes are translated;
// a control named "_..." is left alone with everything inside it. Qt's unnamed helper widgets
// add nothing to the key and are walked through.
void TranslateControls(QWidget* control, std::string_view language, std::string_view prefix);

// Rewrites the captions of a pop-up menu's items. The menu stands for its root item, which has
// no name: with prefix "MainMenu" its items are looked up as "MainMenu..Item", a submenu's items
// as "MainMenu..Submenu.Item". Separators are looked up with "-" and stay separators.
void TranslateMenuItems(QMenu& menu, std::string_view language, std::string_view prefix);

}  // namespace cq
