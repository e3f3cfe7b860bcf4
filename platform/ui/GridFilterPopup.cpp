#include "platform/ui/GridFilterPopup.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/EventGuard.h"
#include "platform/ui/Localizer.h"

namespace ui {

namespace {

constexpr int kValueRole = Qt::UserRole + 1;

QListWidgetItem* NewCheckItem(QListWidget* list, const QString& text, bool checked) {
  auto* item = new QListWidgetItem(text, list);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAccessibleDescription(name);
  return button;
}

}  // namespace

GridFilterPopup::GridFilterPopup(const Choice& choice, QWidget* parent) : QFrame(parent, Qt::Popup) {
  setObjectName(QStringLiteral("GridFilterPopup"));
  setAccessibleDescription(objectName());
  setAccessibleName(QStringLiteral("Filtro da coluna"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFrameShape(QFrame::StyledPanel);

  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("GridFilterList"));
  list_->setAccessibleDescription(list_->objectName());
  list_->setAccessibleName(QStringLiteral("Valores da coluna"));
  all_ = NewCheckItem(list_, Localizer::Text(loc::FilterPopupAll, QStringLiteral("(All)")), false);
  if (choice.hasBlanks)
    blanks_ = NewCheckItem(list_, Localizer::Text(loc::FilterPopupBlanks, QStringLiteral("(Blanks)")),
                           !choice.filtered || choice.blanksChecked);
  for (const QString& value : choice.values) {
    auto* item = NewCheckItem(list_, value, !choice.filtered || choice.checked.contains(value));
    item->setData(kValueRole, value);
  }

  ok_ = NewButton(this, QStringLiteral("GridFilterOk"),
                  Localizer::Text(loc::FilterPopupOk, QStringLiteral("OK")));
  auto* cancel = NewButton(this, QStringLiteral("GridFilterCancel"),
                           Localizer::Text(loc::FilterPopupCancel, QStringLiteral("Cancel")));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, Guarded([this] { Apply(); }));
  connect(cancel, &QPushButton::clicked, this, [this] { close(); });
  connect(list_, &QListWidget::itemChanged, this,
          Guarded([this](QListWidgetItem* item) { ItemChanged(item); }));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  ItemChanged(nullptr);
  resize(std::max(180, list_->sizeHintForColumn(0) + 40),
         std::min(360, 60 + list_->count() * std::max(16, list_->sizeHintForRow(0))));
}

void GridFilterPopup::ItemChanged(QListWidgetItem* item) {
  if (updating_) return;
  updating_ = true;
  if (item == all_) {
    const Qt::CheckState state = all_->checkState() == Qt::Unchecked ? Qt::Unchecked : Qt::Checked;
    all_->setCheckState(state);
    for (int i = 1; i < list_->count(); ++i) list_->item(i)->setCheckState(state);
  } else {
    // "(All)" shows whether everything, nothing or some are checked.
    int checked = 0;
    for (int i = 1; i < list_->count(); ++i) checked += list_->item(i)->checkState() == Qt::Checked ? 1 : 0;
    const int values = list_->count() - 1;
    all_->setCheckState(checked == 0        ? Qt::Unchecked
                        : checked == values ? Qt::Checked
                                            : Qt::PartiallyChecked);
  }
  updating_ = false;
}

void GridFilterPopup::Apply() {
  Result result;
  result.filtered = all_->checkState() == Qt::PartiallyChecked;
  if (result.filtered) {
    for (int i = 1; i < list_->count(); ++i) {
      QListWidgetItem* item = list_->item(i);
      if (item->checkState() != Qt::Checked) continue;
      if (item == blanks_)
        result.blanks = true;
      else
        result.values.insert(item->data(kValueRole).toString());
    }
  }
  const auto apply = OnApply;
  close();
  if (apply) apply(result);
}

void GridFilterPopup::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    RunHandler([this] { Apply(); });
    return;
  }
  QFrame::keyPressEvent(event);
}

}  // namespace ui
