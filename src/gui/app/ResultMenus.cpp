// The result view's menus: a format's button, and the selected row's menu of all its formats.
#include <QMenu>
#include <QTimer>
#include <algorithm>

#include "core/config/Translation.h"
#include "core/platform/Text.h"
#include "gui/app/Images.h"
#include "gui/app/ResultView.h"
#include "gui/app/RowTraits.h"
#include "gui/common/QtText.h"

namespace cq {

namespace {

// A link that carries nothing but its format's name.
bool OnlyFormatName(const TMelodyLinkList& links, TMelodyFormat format) {
  return links.size() == 1 &&
         UpperLatin(links[0].Caption.str()) == UpperLatin(std::string(FormatNames[format]));
}

}  // namespace

void TResultView::BuildFormatMenu(long index, TMelodyFormat format) {
  driver_.OpenFormatMenu(static_cast<std::size_t>(index), format);
  formatMenu_->clear();
  AddFormatItems(*formatMenu_, format, driver_.FormatMenu().Melody.Links[format]);
}

void TResultView::AddFormatItems(QMenu& menu, TMelodyFormat format, const TMelodyLinkList& links) {
  if (OnlyFormatName(links, format)) {
    AddFormatMenuItems(menu, 0, playable_[format]);
    return;
  }
  for (std::size_t k = 0; k < links.size(); ++k) {
    QMenu* link = menu.addMenu(FormatMenuIcon(fiFirstFormat + format),
                               FromCp1251(links[k].Caption.view()).replace('&', "&&"));
    AddFormatMenuItems(*link, static_cast<int>(k), playable_[format]);
  }
}

bool TResultView::OpenRowMenu() {
  const long sel = driver_.SelectedRow();
  if (sel < 0) return false;
  const TResult& row = driver_.Results()[static_cast<std::size_t>(sel)];
  if (MenuReady(row)) {
    ShowRowMenu(sel);
  } else if (row.Kind == rkMelody && row.ErrorText.empty()) {
    pendingMenuKey_ = driver_.SelectedKey();
    RunLocked(driver_.ClickLock(), [&] { driver_.ClickRow(sel); });
  }
  return true;
}

void TResultView::OpenPendingRowMenu() {
  if (pendingMenuKey_.empty()) return;
  const long sel = driver_.SelectedRow();
  if (sel < 0 || driver_.SelectedKey() != pendingMenuKey_ ||
      !driver_.Results()[static_cast<std::size_t>(sel)].ErrorText.empty()) {
    pendingMenuKey_.clear();
    return;
  }
  if (!MenuReady(driver_.Results()[static_cast<std::size_t>(sel)])) return;
  pendingMenuKey_.clear();
  ShowRowMenu(sel);
}

void TResultView::ShowRowMenu(long index) {
  RunLocked(driver_.ClickLock(), [&] {
    rowMenu_->clear();
    const TMelody melody = ShownRow(index).Melody;
    for (const TMelodyFormat format : AllFormats) {
      if (melody.Links[format].empty()) continue;
      const std::string key = "RowMenu." + std::string(FormatNames[format]);
      QMenu* sub = rowMenu_->addMenu(FormatMenuIcon(fiFirstFormat + format),
                                     FromCp1251(Translate(key, FormatMenuCaptions[format])));
      // The format's actions read the format menu's context, set as its submenu opens.
      connect(sub, &QMenu::aboutToShow, this, [this, index, format] {
        driver_.OpenFormatMenu(static_cast<std::size_t>(index), format);
      });
      AddFormatItems(*sub, format, melody.Links[format]);
    }
    if (rowMenu_->isEmpty()) return;
    // Opened from the keyboard: Enter takes the first entry at once.
    QTimer::singleShot(0, rowMenu_, [menu = rowMenu_] {
      if (menu->isVisible()) menu->setActiveAction(menu->actions().constFirst());
    });
    const int top = index >= topIndex_ ? std::min(RowsHeight(topIndex_, index - 1), height()) : 0;
    actions_.PopupMenu(*rowMenu_, mapToGlobal(QPoint(15, top + RowHeight(index))));
  });
}

void TResultView::AddFormatMenuItems(QMenu& parent, int tag, bool playable) {
  const auto caption = [](const char* key, const char* text) {
    return FromCp1251(Translate(key, text));
  };
  QAction* download =
      parent.addAction(FormatMenuIcon(fiDownload), caption("FormatMenu.Download", "&Download"));
  download->setObjectName("MenuDownload");
  connect(download, &QAction::triggered, this, [this, tag] { driver_.MenuDownloadClick(tag); });
  if (playable) {
    QAction* play = parent.addAction(FormatMenuIcon(fiPlay), caption("FormatMenu.Play", "&Play"));
    play->setObjectName("MenuPlay");
    connect(play, &QAction::triggered, this, [this, tag] { driver_.MenuPlayClick(tag); });
  }
  QAction* show =
      parent.addAction(FormatMenuIcon(fiShowLink), caption("FormatMenu.ShowLink", "&Show link"));
  show->setObjectName("MenuShowLink");
  connect(show, &QAction::triggered, this, [this, tag] { MenuShowLinkClick(tag); });
}

void TResultView::MenuShowLinkClick(int tag) {
  const TFormatMenuContext& menu = driver_.FormatMenu();
  const TMelodyLinkList& links = menu.Melody.Links[menu.Format];
  if (tag < 0 || static_cast<std::size_t>(tag) >= links.size() || !actions_.ShowAddress) return;
  actions_.ShowAddress(FromCp1251(links[static_cast<std::size_t>(tag)].URL.view()));
}

}  // namespace cq
