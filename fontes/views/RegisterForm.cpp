#include "fontes/views/RegisterForm.h"

#include <QFrame>
#include <QLabel>
#include <QResizeEvent>
#include <algorithm>

#include "fontes/componentes/FormBase.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/Fonts.h"
#include "resources/Pictures.h"

namespace {

constexpr int kClientWidth = 734;
constexpr int kClientHeight = 501;
constexpr int kNavigatorHeight = 25;
constexpr int kPanelLeft = 72;
// The boxes take text of any length, so that a text longer than its column reaches the
// field, which refuses it with a clear message instead of the box cutting it short.
constexpr int kTypingLimit = 32767;

}  // namespace

TRegisterForm::TRegisterForm(TComponent* AOwner, const QString& name, const QString& caption,
                             TDataSet* dataSet, const QString& panelName, int panelHeight)
    : TForm(AOwner) {
  // A register may be open more than once under the same owner.
  SetUniqueFormName(*this, name);
  SetCaption(caption);
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(bsSizeable);
  SetPosition(poDefault);
  SetColor(ButtonFaceColor());
  setFont(ui::WindowFont());
  setWindowIcon(pictures::ApplicationIcon());
  OnShow = [this] { FormShow(); };
  OnClose = [this](TCloseAction& action) { FormClose(action); };

  DataSource1 = new TDataSource(this);
  DataSource1->SetName(QStringLiteral("DataSource1"));
  DataSource1->SetDataSet(dataSet);

  DBGrid1 = new TDBGrid(this);
  DBGrid1->SetName(QStringLiteral("DBGrid1"));
  DBGrid1->SetDataSource(DataSource1);
  DBGrid1->setAccessibleName(caption);

  DBNavigator1 = new TDBNavigator(this);
  DBNavigator1->SetName(QStringLiteral("DBNavigator1"));
  DBNavigator1->SetDataSource(DataSource1);
  DBNavigator1->SetVisibleButtons(kAllNavButtons);
  DBNavigator1->SetConfirmDelete(true);
  DBNavigator1->setAccessibleName(QStringLiteral("Navegador de registros"));

  panel_ = new QFrame(this);
  panel_->setObjectName(panelName);
  panel_->setAccessibleDescription(panelName);
  panel_->setAccessibleName(QStringLiteral("Dados do registro"));
  panel_->setFrameShape(QFrame::NoFrame);
  panel_->resize(kClientWidth, panelHeight);
  Dock();
}

TRegisterForm::~TRegisterForm() = default;

QLabel* TRegisterForm::AddLabel(const QString& name, const QString& caption, int top) {
  auto* label = new QLabel(caption, panel_);
  label->setObjectName(name);
  label->setAccessibleDescription(name);
  label->move(kPanelLeft, top);
  label->adjustSize();
  return label;
}

void TRegisterForm::PlaceBox(TCustomDBEdit* box, const QString& name, const QString& fieldName, QLabel* label,
                             int top, int width, int height) {
  box->SetName(name);
  box->SetDataSource(DataSource1);
  box->SetDataField(fieldName);
  box->SetMaxLength(kTypingLimit);
  box->SetBounds(kPanelLeft, top, width, height);
  box->setAccessibleName(label->text());
  label->setBuddy(box);
}

void TRegisterForm::DefineTabOrder(std::initializer_list<QWidget*> order) {
  QWidget* previous = nullptr;
  for (QWidget* control : order) {
    if (previous != nullptr) setTabOrder(previous, control);
    previous = control;
  }
  if (order.size() > 0) (*order.begin())->setFocus();
}

void TRegisterForm::Dock() {
  const int width = this->width();
  int bottom = height() - panel_->height();
  panel_->setGeometry(0, bottom, width, panel_->height());
  bottom -= kNavigatorHeight;
  DBNavigator1->setGeometry(0, bottom, width, kNavigatorHeight);
  DBGrid1->setGeometry(0, 0, width, std::max(0, bottom));
}

void TRegisterForm::resizeEvent(QResizeEvent* event) {
  TForm::resizeEvent(event);
  Dock();
}

void TRegisterForm::FormShow() {
  try {
    TDataSet* dataSet = DataSource1->DataSet();
    if (dataSet == nullptr)
      throw EDatabaseError(QStringLiteral("A janela \"%1\" não tem conjunto de dados: o módulo de dados não "
                                          "foi criado.")
                               .arg(Caption()));
    if (!dataSet->Active()) dataSet->Open();
  } catch (...) {
    // A window that cannot show its rows is of no use: it goes, and the error travels on.
    Release();
    throw;
  }
}

void TRegisterForm::FormClose(TCloseAction& Action) {
  if (TDataSet* dataSet = DataSource1->DataSet(); dataSet != nullptr && dataSet->Active()) dataSet->Close();
  Action = caFree;
  ClearReference();
}
