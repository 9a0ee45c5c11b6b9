#pragma once

#include <QListWidget>

namespace cq {

// A list whose entries each carry a check mark (the sites to search).
class TCheckListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit TCheckListBox(QWidget* parent = nullptr);

  void AddEntry(const QString& text, bool checked);
  int EntryCount() const { return count(); }
  QString EntryText(int index) const;
  void SetEntryText(int index, const QString& text);
  bool Checked(int index) const;
  void SetChecked(int index, bool checked);
};

}  // namespace cq
