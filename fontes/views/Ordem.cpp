#include "fontes/views/Ordem.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QResizeEvent>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/DBCheckBox.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBLookup.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Fonts.h"
#include "resources/Pictures.h"

namespace {

constexpr int kClientWidth = 859;
constexpr int kClientHeight = 567;
constexpr int kGridHeight = 209;
constexpr int kNavigatorHeight = 25;
constexpr int kBarHeight = 44;
// Distance of each button's left edge from the bar's right edge.
constexpr int kCancelarFromRight = kClientWidth - 690;
constexpr int kSalvarFromRight = kClientWidth - 771;
constexpr int kButtonTop = 9;
constexpr int kEditHeight = 21;

const QString kDecimalFormat = QStringLiteral(",0.00");
const QString kAutoIncFormat = QStringLiteral("00000");

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setAccessibleDescription(name);
  // Room above the capitals for their accents ("Última"), as the classic label's internal
  // leading gave; without it the acute is cut off.
  label->setContentsMargins(0, 2, 0, 0);
  label->move(left, top);
  label->adjustSize();
  return label;
}

// The amounts count in whole numbers; an empty one counts as 0.
int64_t WholeAmount(const TField& field) {
  if (field.IsNull()) return 0;
  const double value = field.AsFloat();
  // Checked before rounding, so that huge or broken values get our message too.
  constexpr double kLimit = 4294967296.0;
  if (!std::isfinite(value) || std::fabs(value) >= kLimit) return std::numeric_limits<int64_t>::max();
  return rtl::RoundHalfEven(value);
}

bool FitsInt32(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

const QString kRange = QStringLiteral("de -2.147.483.648 a 2.147.483.647");

int32_t CheckedAmount(const TField& field) {
  const int64_t amount = WholeAmount(field);
  if (!FitsInt32(amount))
    throw EDatabaseError(QStringLiteral("O valor de \"%1\" está fora do limite aceito para o subtotal (%2).")
                             .arg(field.DisplayLabel(), kRange));
  return static_cast<int32_t>(amount);
}

bool IsEditing(const TDataSet* dataSet) {
  return dataSet != nullptr && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}

}  // namespace

TfOrdem::TfOrdem(TComponent* AOwner) : TBaseForm(AOwner) {
  SetUniqueFormName(*this, QStringLiteral("fOrdem"));
  SetCaption(QStringLiteral("Ordem de Serviço"));
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  setFont(ui::WindowFont());
  CreateDataSources();
  CreateControls();
  DefineTabOrder();
  DockBottom();
  OnShow = [this] { FormShow(); };
}

TfOrdem::~TfOrdem() {
  // The data sources go with the window; their handlers must not reach controls that
  // are already gone.
  for (TDataSource* source : {dsOrdem, dsCliente, dsUserRecept, dsUserEntregue, dsItensOS}) {
    source->OnStateChange = nullptr;
    source->OnUpdateData = nullptr;
  }
  UnlinkItems();
}

void TfOrdem::CreateDataSources() {
  const auto make = [this](const QString& name) {
    auto* source = new TDataSource(this);
    source->SetName(name);
    return source;
  };
  dsOrdem = make(QStringLiteral("dsOrdem"));
  dsCliente = make(QStringLiteral("dsCliente"));
  dsUserRecept = make(QStringLiteral("dsUserRecept"));
  dsUserEntregue = make(QStringLiteral("dsUserEntregue"));
  dsItensOS = make(QStringLiteral("dsItensOS"));
  dsOrdem->OnStateChange = [this](TDataSource& sender) { dsOrdemStateChange(sender); };
  dsItensOS->OnStateChange = [this](TDataSource& sender) { dsItensOSStateChange(sender); };
  dsItensOS->OnUpdateData = [this](TDataSource& sender) { dsItensOSUpdateData(sender); };
}

void TfOrdem::CreateControls() {
  const auto bind = [](auto* control, TDataSource* source, const QString& field, const QString& name,
                       const QString& label) {
    control->SetName(name);
    control->SetDataSource(source);
    control->SetDataField(field);
    control->setAccessibleName(label);
  };
  const auto lookup = [this, &bind](const QString& name, const QString& field, TDataSource* list,
                                    const QLabel* label, int left, int top, int width) {
    auto* box = new TDBLookupComboBox(this);
    bind(box, dsOrdem, field, name, label->text());
    box->SetListSource(list);
    box->SetKeyField(QStringLiteral("id"));
    box->SetListField(QStringLiteral("nome"));
    box->SetBounds(left, top, width, kEditHeight);
    return box;
  };
  const auto dateBox = [this, &bind](const QString& name, const QString& field, const QLabel* label, int left,
                                     int top, int width) {
    auto* box = new TcxDBDateEdit(this);
    bind(box, dsOrdem, field, name, label->text());
    box->SetBounds(left, top, width, kEditHeight);
    return box;
  };

  Label1 = NewLabel(this, QStringLiteral("Label1"), QStringLiteral("Código"), 24, 21);
  _eCodigo = new TDBEdit(this);
  bind(_eCodigo, dsOrdem, QStringLiteral("id"), QStringLiteral("_eCodigo"), Label1->text());
  _eCodigo->SetBounds(24, 38, 121, kEditHeight);

  _chkStatus = new TcxDBCheckBox(this);
  _chkStatus->SetName(QStringLiteral("_chkStatus"));
  _chkStatus->SetCaption(QStringLiteral("Ativo"));
  _chkStatus->SetDataSource(dsOrdem);
  _chkStatus->SetDataField(QStringLiteral("status"));
  _chkStatus->SetBounds(176, 38, _chkStatus->sizeHint().width() + 8, kEditHeight);

  Label2 = NewLabel(this, QStringLiteral("Label2"), QStringLiteral("Cliente"), 24, 64);
  DBLookupComboBox1 = lookup(QStringLiteral("DBLookupComboBox1"), QStringLiteral("cliente_id"), dsCliente,
                             Label2, 24, 78, 350);

  Label3 = NewLabel(this, QStringLiteral("Label3"), QStringLiteral("Recebido por"), 24, 105);
  _boxRecebido = lookup(QStringLiteral("_boxRecebido"), QStringLiteral("user_recept_id"), dsUserRecept,
                        Label3, 24, 119, 273);
  _boxRecebido->SetClearOnDelete(true);

  Label4 = NewLabel(this, QStringLiteral("Label4"), QStringLiteral("Entregue por"), 311, 105);
  _boxEntregue = lookup(QStringLiteral("_boxEntregue"), QStringLiteral("user_id"), dsUserEntregue, Label4,
                        311, 119, 273);
  _boxEntregue->SetClearOnDelete(true);

  Label5 = NewLabel(this, QStringLiteral("Label5"), QStringLiteral("Data de entrada"), 24, 144);
  _eDtEntrega = dateBox(QStringLiteral("_eDtEntrega"), QStringLiteral("dt_entrada"), Label5, 24, 160, 145);

  Label6 = NewLabel(this, QStringLiteral("Label6"), QStringLiteral("Data de Saída"), 185, 144);
  _eDtSaida = dateBox(QStringLiteral("_eDtSaida"), QStringLiteral("dt_saida"), Label6, 185, 160, 145);

  Label7 = NewLabel(this, QStringLiteral("Label7"), QStringLiteral("Valor Total"), 24, 184);
  _eVlrTotal = new TcxDBCurrencyEdit(this);
  bind(_eVlrTotal, dsOrdem, QStringLiteral("vlr_total"), QStringLiteral("_eVlrTotal"), Label7->text());
  _eVlrTotal->SetBounds(24, 203, 121, kEditHeight);

  Label8 = NewLabel(this, QStringLiteral("Label8"), QStringLiteral("Criado em"), 24, 232);
  _eAdd = dateBox(QStringLiteral("_eAdd"), QStringLiteral("dt_create"), Label8, 24, 248, 121);
  _eAdd->setEnabled(false);

  Label9 = NewLabel(this, QStringLiteral("Label9"), QStringLiteral("Última alteração"), 178, 232);
  _eAlt = dateBox(QStringLiteral("_eAlt"), QStringLiteral("dt_alt"), Label9, 176, 251, 121);
  _eAlt->setEnabled(false);

  // Only a caption: no value is shown beside it.
  Label10 = NewLabel(this, QStringLiteral("Label10"), QStringLiteral("Total do Itens"), 311, 255);

  DBGrid1 = new TDBGrid(this);
  DBGrid1->SetName(QStringLiteral("DBGrid1"));
  DBGrid1->SetDataSource(dsItensOS);
  DBGrid1->SetOptions(TDBGrid::kDefaultOptions);
  DBGrid1->setAccessibleName(QStringLiteral("Itens da ordem"));

  DBNavigator1 = new TDBNavigator(this);
  DBNavigator1->SetName(QStringLiteral("DBNavigator1"));
  DBNavigator1->SetDataSource(dsItensOS);
  DBNavigator1->SetVisibleButtons(kAllNavButtons);
  DBNavigator1->SetConfirmDelete(true);
  DBNavigator1->setAccessibleName(QStringLiteral("Navegador dos itens"));

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setAccessibleDescription(Panel1->objectName());
  Panel1->setAccessibleName(QStringLiteral("Barra de botões"));
  QPalette white = Panel1->palette();
  white.setColor(QPalette::Window, Qt::white);
  Panel1->setPalette(white);
  Panel1->setAutoFillBackground(true);

  const auto button = [this](const QString& name, const QString& caption, const QString& picture) {
    auto* btn = new TBitBtn(this, Panel1);
    btn->SetName(name);
    btn->SetCaption(caption);
    btn->SetGlyph(pictures::Icon(picture));
    btn->setIconSize(QSize(16, 16));
    return btn;
  };
  _btnCancelar =
      button(QStringLiteral("_btnCancelar"), QStringLiteral("&Cancelar"), QStringLiteral("cancel"));
  SetCancelButton(_btnCancelar);
  _btnSalvar = button(QStringLiteral("_btnSalvar"), QStringLiteral("&Salvar"), QStringLiteral("save"));
  _btnSalvar->OnClick = [this] { _btnSalvarClick(); };
}

void TfOrdem::DefineTabOrder() {
  QWidget* const order[] = {_eDtEntrega,  _eVlrTotal, _eDtSaida,    _chkStatus,        _eCodigo, _boxEntregue,
                            _boxRecebido, _btnSalvar, _btnCancelar, DBLookupComboBox1, DBGrid1};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  _eDtEntrega->setFocus();
}

void TfOrdem::DockBottom() {
  const int width = this->width();
  int bottom = height();
  bottom -= kBarHeight;
  Panel1->setGeometry(0, bottom, width, kBarHeight);
  bottom -= kNavigatorHeight;
  DBNavigator1->setGeometry(0, bottom, width, kNavigatorHeight);
  bottom -= kGridHeight;
  DBGrid1->setGeometry(0, bottom, width, kGridHeight);
  _btnCancelar->SetBounds(width - kCancelarFromRight, kButtonTop, 75, 25);
  _btnSalvar->SetBounds(width - kSalvarFromRight, kButtonTop, 75, 25);
}

void TfOrdem::resizeEvent(QResizeEvent* event) {
  TBaseForm::resizeEvent(event);
  DockBottom();
}

void TfOrdem::FormShow() {
  try {
    DefineDataSet();
  } catch (...) {
    // The error goes on to whoever asked for the editor; no hidden window stays behind.
    Release();
    throw;
  }
}

void TfOrdem::DefineDataSet() {
  BindDataSources();
  OpenDataSets();
  SetFieldAttributes();
  LinkItemsToOrder();
  SetDisplayFormats();
  if (Ordem()->State() == dsInsert) DefaultValues();
}

void TfOrdem::BindDataSources() {
  const struct {
    QString key;
    TDataSource* source;
    QString missing;
  } bindings[] = {
      {QStringLiteral("dsOrdensServico"), dsOrdem, QStringLiteral("DataSet Ordem não definido")},
      {QStringLiteral("dsClientes"), dsCliente, QStringLiteral("DataSet Cliente não definido")},
      {QStringLiteral("dsusers"), dsUserRecept, QStringLiteral("DataSet Recebeu não definido")},
      {QStringLiteral("dsuserentreg"), dsUserEntregue, QStringLiteral("DataSet Entregue não definido")},
      {QStringLiteral("dsitens_os"), dsItensOS, QStringLiteral("DataSet ItensOS não definido!")},
  };
  for (const auto& binding : bindings) {
    TDataSet* dataSet = nullptr;
    // A key that maps to nothing is as missing as an absent one.
    if (Controllers == nullptr || !Controllers->TryGetValue(binding.key, dataSet) || dataSet == nullptr)
      throw Exception(binding.missing);
    binding.source->SetDataSet(dataSet);
  }
}

void TfOrdem::OpenDataSets() {
  for (TDataSource* source : {dsOrdem, dsCliente, dsUserEntregue, dsUserRecept, dsItensOS})
    if (!source->DataSet()->Active()) source->DataSet()->Open();
}

void TfOrdem::SetFieldAttributes() {
  TDataSet* ordem = Ordem();
  ordem->Fields(0)->SetDisplayLabel(QStringLiteral("Código"));
  ordem->Fields(1)->SetDisplayLabel(QStringLiteral("Cliente"));
  ordem->Fields(2)->SetDisplayLabel(QStringLiteral("Usuários"));
  ordem->Fields(3)->SetDisplayLabel(QStringLiteral("Entrada"));
  ordem->Fields(4)->SetDisplayLabel(QStringLiteral("Vlr Total"));
  ordem->Fields(5)->SetDisplayLabel(QStringLiteral("Quem recebeu"));
  ordem->Fields(6)->SetDisplayLabel(QStringLiteral("Saída"));
  ordem->Fields(7)->SetVisible(false);
  ordem->Fields(8)->SetVisible(false);
  ordem->Fields(9)->SetDisplayLabel(QStringLiteral("Ativo"));

  for (TDataSource* list : {dsCliente, dsUserRecept, dsUserEntregue}) {
    list->DataSet()->Fields(0)->SetDisplayLabel(QStringLiteral("Código"));
    list->DataSet()->Fields(1)->SetDisplayLabel(QStringLiteral("Nome"));
  }

  TDataSet* itens = ItensOS();
  itens->Fields(0)->SetDisplayLabel(QStringLiteral("Código"));
  itens->Fields(0)->SetProviderFlags(pfInUpdate | pfInWhere | pfInKey);
  itens->Fields(1)->SetVisible(false);
  itens->Fields(1)->SetRequired(true);
  itens->Fields(2)->SetDisplayLabel(QStringLiteral("Serviço"));
  itens->Fields(3)->SetDisplayLabel(QStringLiteral("Descr. Produto"));
  itens->Fields(3)->SetDisplayWidth(40);
  itens->Fields(4)->SetDisplayLabel(QStringLiteral("Vlr Unit."));
  itens->Fields(4)->SetDisplayWidth(20);
  itens->Fields(5)->SetDisplayLabel(QStringLiteral("Qtde"));
  itens->Fields(5)->SetDisplayWidth(20);
  itens->Fields(6)->SetDisplayLabel(QStringLiteral("Desconto"));
  itens->Fields(6)->SetDisplayWidth(20);
  itens->Fields(7)->SetDisplayLabel(QStringLiteral("SubTotal"));
}

void TfOrdem::LinkItemsToOrder() {
  TDataSet* itens = ItensOS();
  itens->SetDataSource(dsOrdem);
  itens->SetIndexFieldNames(itens->Fields(1)->FieldName());
  itens->SetMasterFields(Ordem()->Fields(0)->FieldName());
}

void TfOrdem::SetDisplayFormats() {
  for (TDataSet* dataSet : {Ordem(), ItensOS()}) {
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
      TField* field = dataSet->Fields(i);
      switch (field->DataType()) {
        case ftBCD:
        case ftFloat:
          field->SetDisplayFormat(kDecimalFormat);
          break;
        case ftAutoInc:
          field->SetDisplayFormat(kAutoIncFormat);
          break;
        default:
          break;
      }
    }
  }
}

void TfOrdem::DefaultValues() {
  TDataSet* ordem = Ordem();
  ordem->FieldByName(QStringLiteral("dt_entrada"))->SetAsDateTime(rtl::Now());
  ordem->FieldByName(QStringLiteral("vlr_total"))->SetAsInteger(0);
  ordem->FieldByName(QStringLiteral("dt_saida"))->SetAsDateTime(rtl::Now());
  ordem->FieldByName(QStringLiteral("dt_create"))->SetAsDateTime(rtl::Now());
  ordem->FieldByName(QStringLiteral("dt_alt"))->SetAsDateTime(rtl::Now());
  ordem->FieldByName(QStringLiteral("status"))->SetAsBoolean(true);
}

void TfOrdem::dsOrdemStateChange(TDataSource& Sender) {
  const bool editing = Sender.State() == dsEdit || Sender.State() == dsInsert;
  _btnSalvar->setEnabled(editing);
  _btnCancelar->setEnabled(!editing);
}

void TfOrdem::dsItensOSStateChange(TDataSource& Sender) {
  if (Sender.State() != dsInsert) return;
  TDataSet* itens = Sender.DataSet();
  // The master-detail link copies the order's id again right after this.
  itens->FieldByName(QStringLiteral("os_id"))
      ->SetAsInteger(Ordem()->FieldByName(QStringLiteral("id"))->AsInteger());
  itens->FieldByName(QStringLiteral("item_vlr"))->SetAsInteger(0);
  itens->FieldByName(QStringLiteral("item_desconto"))->SetAsInteger(0);
  itens->FieldByName(QStringLiteral("item_qtde"))->SetAsInteger(1);
  itens->FieldByName(QStringLiteral("item_subtotal"))->SetAsInteger(0);
}

void TfOrdem::dsItensOSUpdateData(TDataSource& Sender) {
  TDataSet* itens = Sender.DataSet();
  if (!IsEditing(itens)) return;

  // An item begun before its order was stored has no order id yet; once the order has
  // one, the item takes it. An untouched row stays untouched, so leaving it drops it.
  TField* osId = itens->FieldByName(QStringLiteral("os_id"));
  const TField* id = Ordem()->FieldByName(QStringLiteral("id"));
  if (osId->IsNull() && !id->IsNull() && itens->Modified()) osId->SetAsInteger(id->AsInteger());

  const int64_t v = CheckedAmount(*itens->FieldByName(QStringLiteral("item_vlr")));
  const int64_t d = CheckedAmount(*itens->FieldByName(QStringLiteral("item_desconto")));
  const int64_t q = CheckedAmount(*itens->FieldByName(QStringLiteral("item_qtde")));
  const int64_t subtotal = (v - d) * q;
  if (!FitsInt32(subtotal))
    throw EDatabaseError(QStringLiteral("O subtotal do item está fora do limite aceito (%1).").arg(kRange));

  TField* field = itens->FieldByName(QStringLiteral("item_subtotal"));
  // Written only when it changes, so that a row nobody touched is not taken as edited.
  if (field->IsNull() || field->AsFloat() != static_cast<double>(subtotal))
    field->SetAsInteger(static_cast<int32_t>(subtotal));
}

void TfOrdem::_btnSalvarClick() {
  TDataSet* ordem = Ordem();
  if (!IsEditing(ordem)) return;
  // Storing a new order hands its id to an item being typed, which is then stored too:
  // check that item first, so that a refusal comes before the order is written.
  if (ordem->State() == dsInsert && IsEditing(ItensOS())) ItensOS()->UpdateRecord();
  // "Última alteração" tells when the order was last stored.
  if (ordem->State() == dsEdit) ordem->FieldByName(QStringLiteral("dt_alt"))->SetAsDateTime(rtl::Now());
  ordem->Post();
}

void TfOrdem::UnlinkItems() noexcept {
  TDataSet* itens = dsItensOS->DataSet();
  if (itens == nullptr || itens->DataSource() != dsOrdem) return;
  try {
    // An item left half-typed is dropped, not stored, when the editor goes.
    if (IsEditing(itens)) itens->Cancel();
    itens->SetDataSource(nullptr);
  } catch (const std::exception& error) {
    ShowException(error);
  }
}

TDataSet* TfOrdem::Ordem() const {
  return dsOrdem->DataSet();
}

TDataSet* TfOrdem::ItensOS() const {
  return dsItensOS->DataSet();
}

QUORVEL_REGISTER_CLASS(TfOrdem)
