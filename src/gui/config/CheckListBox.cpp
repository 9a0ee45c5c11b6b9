#include "gui/config/CheckListBox.h"

namespace cq {

TCheckListBox::TCheckListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void TCheckListBox::AddEntry(const QString& text, bool checked) {
  auto* entry = new QListWidgetItem(text, this);
  entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QString TCheckListBox::EntryText(int index) const {
  return item(index)->text();
}

void TCheckListBox::SetEntryText(int index, const QString& text) {
  item(index)->setText(text);
}

bool TCheckListBox::Checked(int index) const {
  return item(index)->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool checked) {
  item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace cq
