#include "platform/ui/DBNavigator.h"

#include <QHBoxLayout>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/ui/ControlPictures.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/Localizer.h"
#include "platform/ui/RecordActions.h"

namespace {

struct ButtonInfo {
  const char* objectName;
  const char* picture;
  const QString* key;
  const char* fallback;
};

const ButtonInfo& Info(TNavigateBtn button) {
  static const ButtonInfo infos[kNavigateButtonCount] = {
      {"nbFirst", "nav-first", &loc::NavigatorFirst, "First record"},
      {"nbPrior", "nav-prior", &loc::NavigatorPrior, "Prior record"},
      {"nbNext", "nav-next", &loc::NavigatorNext, "Next record"},
      {"nbLast", "nav-last", &loc::NavigatorLast, "Last record"},
      {"nbInsert", "nav-insert", &loc::NavigatorInsert, "Insert record"},
      {"nbDelete", "nav-delete", &loc::NavigatorDelete, "Delete record"},
      {"nbEdit", "nav-edit", &loc::NavigatorEdit, "Edit record"},
      {"nbPost", "nav-post", &loc::NavigatorPost, "Post edit"},
      {"nbCancel", "nav-cancel", &loc::NavigatorCancel, "Cancel edit"},
      {"nbRefresh", "nav-refresh", &loc::NavigatorRefresh, "Refresh data"},
  };
  return infos[button];
}

}  // namespace

// Every notice of the data set may change what the buttons can do.
class TDBNavigator::Link : public TDataLink {
 public:
  explicit Link(TDBNavigator& navigator) : navigator_(navigator) {}

 protected:
  void ActiveChanged() override { navigator_.UpdateButtons(); }
  void EditingChanged() override { navigator_.UpdateButtons(); }
  void DataSetChanged() override { navigator_.UpdateButtons(); }
  void RecordChanged(TField* /*field*/) override { navigator_.UpdateButtons(); }

 private:
  TDBNavigator& navigator_;
};

TDBNavigator::TDBNavigator(TComponent* owner, QWidget* parent)
    : QWidget(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)),
      TComponent(owner),
      link_(std::make_unique<Link>(*this)) {
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(QStringLiteral("Navegador de registros"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int i = 0; i < kNavigateButtonCount; ++i) {
    const auto button = static_cast<TNavigateBtn>(i);
    auto* widget = new QToolButton(this);
    widget->setObjectName(ButtonName(button));
    widget->setAccessibleDescription(widget->objectName());
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setToolButtonStyle(Qt::ToolButtonIconOnly);
    widget->setIconSize(QSize(16, 16));
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(widget, &QToolButton::clicked, this, ui::Guarded([this, button] { Clicked(button); }));
    layout->addWidget(widget);
    buttons_[i] = widget;
  }
  connect(Localizer::Notifier::Instance(), &Localizer::Notifier::Changed, this, [this] { UpdateHints(); });
  UpdatePictures();
  UpdateHints();
  UpdateButtons();
}

TDBNavigator::~TDBNavigator() {
  link_->SetDataSource(nullptr);
}

void TDBNavigator::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

TDataSource* TDBNavigator::DataSource() const {
  return link_->DataSource();
}

void TDBNavigator::SetDataSource(TDataSource* source) {
  link_->SetDataSource(source);
  UpdateButtons();
}

void TDBNavigator::SetVisibleButtons(TNavButtonSet buttons) {
  visible_ = buttons & kAllNavButtons;
  for (int i = 0; i < kNavigateButtonCount; ++i) buttons_[i]->setVisible((visible_ & (1U << i)) != 0);
}

QString TDBNavigator::ButtonName(TNavigateBtn button) {
  return QString::fromLatin1(Info(button).objectName);
}

QString TDBNavigator::ButtonHint(TNavigateBtn button) {
  const ButtonInfo& info = Info(button);
  return Localizer::Text(*info.key, QString::fromLatin1(info.fallback));
}

void TDBNavigator::UpdateHints() {
  for (int i = 0; i < kNavigateButtonCount; ++i) {
    const QString hint = ButtonHint(static_cast<TNavigateBtn>(i));
    buttons_[i]->setToolTip(hint);
    buttons_[i]->setAccessibleName(hint);
  }
}

void TDBNavigator::UpdatePictures() {
  for (int i = 0; i < kNavigateButtonCount; ++i)
    buttons_[i]->setIcon(ui::ControlPicture(QString::fromLatin1(Info(static_cast<TNavigateBtn>(i)).picture)));
}

void TDBNavigator::UpdateButtons() {
  const TDataSet* ds = link_->Active() ? link_->DataSet() : nullptr;
  const bool active = ds != nullptr;
  const bool editing = link_->Editing();
  const bool empty = !active || ds->IsEmpty();
  const bool atStart = empty || ds->Bof() || ds->RecNo() <= 1;
  const bool atEnd = empty || ds->Eof() || ds->RecNo() >= ds->RecordCount();
  const bool canModify = active && ds->CanModify() && !editing;
  const bool enabled[kNavigateButtonCount] = {
      !atStart, !atStart,           !atEnd, !atEnd, canModify, canModify && !empty, canModify, editing,
      editing,  active && !editing,
  };
  for (int i = 0; i < kNavigateButtonCount; ++i) buttons_[i]->setEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
  TDataSet* ds = link_->Active() ? link_->DataSet() : nullptr;
  if (ds == nullptr) return;
  if (BeforeAction) BeforeAction(button);
  switch (button) {
    case nbFirst:
      ds->First();
      break;
    case nbPrior:
      ds->Prior();
      break;
    case nbNext:
      ds->Next();
      break;
    case nbLast:
      ds->Last();
      break;
    case nbInsert:
      ds->Insert();
      break;
    case nbDelete:
      ui::DeleteCurrentRecord(*ds, confirmDelete_);
      break;
    case nbEdit:
      ds->Edit();
      break;
    case nbPost:
      ds->Post();
      break;
    case nbCancel:
      ds->Cancel();
      break;
    case nbRefresh:
      ds->Refresh();
      break;
  }
  if (OnClick) OnClick(button);
}

void TDBNavigator::Clicked(TNavigateBtn button) {
  try {
    BtnClick(button);
  } catch (...) {
    UpdateButtons();
    throw;
  }
  UpdateButtons();
}
