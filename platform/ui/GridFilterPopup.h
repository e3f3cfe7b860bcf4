#pragma once

#include <QFrame>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ui {

// The list a column's filter button opens: "(All)" first, "(Blanks)" when some rows are
// empty, then the column's values with check boxes. OK applies the checked values; with
// all or none checked the column is not filtered. Cancel, Esc or a click elsewhere
// closes it and changes nothing.
class GridFilterPopup : public QFrame {
  Q_OBJECT

 public:
  struct Choice {
    QStringList values;  // in the column's order
    bool hasBlanks = false;
    // The current filter; filtered false: everything checked.
    bool filtered = false;
    QSet<QString> checked;
    bool blanksChecked = false;
  };
  struct Result {
    bool filtered = false;
    QSet<QString> values;
    bool blanks = false;
  };

  GridFilterPopup(const Choice& choice, QWidget* parent = nullptr);

  std::function<void(const Result&)> OnApply;

  QListWidget* List() const { return list_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ItemChanged(QListWidgetItem* item);
  void Apply();

  QListWidget* list_ = nullptr;
  QListWidgetItem* all_ = nullptr;
  QListWidgetItem* blanks_ = nullptr;
  QPushButton* ok_ = nullptr;
  bool updating_ = false;
};

}  // namespace ui
