#include "fontes/views/Pesquisar.Ordem.h"

#include <QFrame>
#include <QVBoxLayout>
#include <utility>

#include "fontes/componentes/FormBase.h"
#include "fontes/controler/Controller.Ordem.h"
#include "fontes/dados/uDM.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/report/ComponentPrinter.h"
#include "platform/report/ReportLink.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/GridView.h"
#include "platform/ui/SaveDialog.h"
#include "resources/Pictures.h"

TfPsqOrdemServico* fPsqOrdemServico = nullptr;

namespace {

const QString kUnit = QStringLiteral("trunk\\fontes\\views\\Pesquisar.Ordem");
constexpr int kClientWidth = 894;
constexpr int kClientHeight = 464;
constexpr int kBarHeight = 56;
constexpr int kButtonTop = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kClienteWidth = 246;
constexpr int kTextSize = 255;
constexpr int kCurrencyPrecision = 19;

// Two lines, as the list has always been asked for.
const QString kSql = QStringLiteral(
    "SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
    "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = os.cliente_id) ON "
    "u.id = os.user_id;");

template <class F>
F* AddField(TComponent* owner, TDataSet* dataSet, const QString& name, const QString& fieldName,
            const QString& label) {
  auto* field = new F(owner);
  field->SetName(name);
  field->SetFieldName(fieldName);
  field->SetDisplayLabel(label);
  field->SetDataSet(dataSet);
  return field;
}

}  // namespace

TfPsqOrdemServico::TfPsqOrdemServico(TComponent* AOwner) : TForm(AOwner) {
  // Every press of "Lançar OS" opens one more list under the main window.
  SetUniqueFormName(*this, QStringLiteral("fPsqOrdemServico"));
  SetCaption(QStringLiteral("Pesquisar Ordem de Serviço"));
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetColor(ButtonFaceColor());
  setFont(ui::WindowFont());
  setWindowIcon(pictures::ApplicationIcon());
  OnCreate = [this] { FormCreate(); };
  OnClose = [this](TCloseAction& action) { FormClose(action); };

  CreateDataSet();
  CreateGrid();
  CreateButtons();
  CreatePrinter();

  setTabOrder(cxGrid1, _btnIncluir);
  setTabOrder(_btnIncluir, _btnAlterar);
  setTabOrder(_btnAlterar, _btnExcluir);
  setTabOrder(_btnExcluir, _btnImprimi);
  setTabOrder(_btnImprimi, _btnExpPDF);
  cxGrid1->setFocus();

  // Visible from its creation on; showing runs the creation handler first, so the list
  // is open when the window first paints.
  Show();
}

TfPsqOrdemServico::~TfPsqOrdemServico() {
  // Freed by its owner without being closed, it must not be left referred to.
  if (fPsqOrdemServico == this) fPsqOrdemServico = nullptr;
}

void TfPsqOrdemServico::CreateDataSet() {
  adsOS = new TADODataSet(this);
  adsOS->SetName(QStringLiteral("adsOS"));
  adsOS->SetConnection(DM != nullptr ? DM->ADO : nullptr);
  adsOS->SetCursorType(ctStatic);
  adsOS->SetCommandText(kSql);
  // SQLite hands the rows over grouped by the joins; the operator expects the orders in
  // their own order, so the snapshot is kept sorted by number.
  adsOS->SetSort(QStringLiteral("id"));

  adsOSid = AddField<TAutoIncField>(this, adsOS, QStringLiteral("adsOSid"), QStringLiteral("id"),
                                    QStringLiteral("Código"));
  adsOSid->SetDisplayWidth(9);
  adsOSid->SetReadOnly(true);
  adsOSid->SetProviderFlags(pfInUpdate | pfInWhere | pfInKey);

  adsOScnome = AddField<TWideStringField>(this, adsOS, QStringLiteral("adsOScnome"), QStringLiteral("c.nome"),
                                          QStringLiteral("Cliente"));
  adsOScnome->SetDisplayWidth(30);
  adsOScnome->SetSize(kTextSize);

  adsOSunome = AddField<TWideStringField>(this, adsOS, QStringLiteral("adsOSunome"), QStringLiteral("u.nome"),
                                          QStringLiteral("Recebeu"));
  adsOSunome->SetDisplayWidth(20);
  adsOSunome->SetSize(kTextSize);

  adsOSdt_entrada = AddField<TDateTimeField>(this, adsOS, QStringLiteral("adsOSdt_entrada"),
                                             QStringLiteral("dt_entrada"), QStringLiteral("Dt Entrada"));
  adsOSdt_entrada->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
  adsOSdt_entrada->SetAlignment(taRightJustify);

  adsOSdt_saida = AddField<TDateTimeField>(this, adsOS, QStringLiteral("adsOSdt_saida"),
                                           QStringLiteral("dt_saida"), QStringLiteral("Dt Saída"));
  adsOSdt_saida->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
  adsOSdt_saida->SetAlignment(taRightJustify);

  adsOSvlr_total = AddField<TBCDField>(this, adsOS, QStringLiteral("adsOSvlr_total"),
                                       QStringLiteral("vlr_total"), QStringLiteral("Vlr Total R$"));
  adsOSvlr_total->SetDisplayFormat(QStringLiteral("#,##0.00"));
  adsOSvlr_total->SetPrecision(kCurrencyPrecision);

  adsOSstatus = AddField<TBooleanField>(this, adsOS, QStringLiteral("adsOSstatus"), QStringLiteral("status"),
                                        QStringLiteral("Status"));
  adsOSstatus->SetDisplayWidth(10);

  dsOS = new TDataSource(this);
  dsOS->SetName(QStringLiteral("dsOS"));
  dsOS->SetDataSet(adsOS);
}

void TfPsqOrdemServico::CreateGrid() {
  cxGrid1 = new TGrid(this, this);
  cxGrid1->SetName(QStringLiteral("cxGrid1"));
  cxGrid1->setAccessibleName(QStringLiteral("Ordens de serviço"));

  cxGrid1DBTableView1 = new TGridDBTableView(this, cxGrid1);
  cxGrid1DBTableView1->SetName(QStringLiteral("cxGrid1DBTableView1"));
  TGridDBTableView* view = cxGrid1DBTableView1;
  view->BeginUpdate();
  view->DataController().SetDataSource(dsOS);
  view->DataController().SetKeyFieldNames(QStringLiteral("id"));

  const struct {
    const char* fieldName;
    const char* columnName;
  } columns[] = {
      {"id", "cxGrid1DBTableView1id"},
      {"c.nome", "cxGrid1DBTableView1cnome"},
      {"u.nome", "cxGrid1DBTableView1unome"},
      {"dt_entrada", "cxGrid1DBTableView1dt_entrada"},
      {"dt_saida", "cxGrid1DBTableView1dt_saida"},
      {"vlr_total", "cxGrid1DBTableView1vlr_total"},
      {"status", "cxGrid1DBTableView1status"},
  };
  for (const auto& c : columns) {
    TGridColumn* column = view->CreateColumn();
    column->SetName(QString::fromLatin1(c.columnName));
    column->SetFieldName(QString::fromLatin1(c.fieldName));
    column->SetHeaderAlignmentHorz(taCenter);
  }
  view->ColumnByFieldName(QStringLiteral("c.nome"))->SetWidth(kClienteWidth);

  // The grid only shows: its navigator moves, it never inserts, deletes or edits.
  view->SetNavigatorVisible(true);
  for (auto button : {ui::gnbInsert, ui::gnbDelete, ui::gnbEdit, ui::gnbPost, ui::gnbSaveBookmark})
    view->Navigator()->SetButtonVisible(button, false);

  TGridOptionsCustomize customize;
  customize.ColumnSorting = true;
  customize.ColumnGrouping = true;
  customize.ColumnFiltering = true;
  customize.ColumnMoving = true;
  customize.ColumnHorzSizing = true;
  view->SetOptionsCustomize(customize);

  // The totals are defined for the footer and for each group, but neither is shown.
  TGridSummary& summary = view->DataController().Summary();
  summary.FooterSummaryItems.Add({QStringLiteral("vlr_total"), skSum, QStringLiteral("0.00"), spFooter});
  summary.DefaultGroupSummaryItems.Add(
      {QStringLiteral("vlr_total"), skSum, QStringLiteral("0.00"), spFooter});
  TGridOptionsView options;
  options.GroupByBox = true;
  options.Footer = false;
  options.GroupFooters = false;
  view->SetOptionsView(options);
  view->EndUpdate();
}

void TfPsqOrdemServico::CreateButtons() {
  _pBottom = new QFrame(this);
  _pBottom->setObjectName(QStringLiteral("_pBottom"));
  _pBottom->setAccessibleDescription(_pBottom->objectName());
  _pBottom->setAccessibleName(QStringLiteral("Barra de botões"));
  _pBottom->setFrameShape(QFrame::NoFrame);
  _pBottom->setFixedHeight(kBarHeight);

  // The grid fills what the button bar along the bottom leaves.
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(cxGrid1, 1);
  column->addWidget(_pBottom);

  const auto button = [this](const char* name, const char* caption, const char* picture, int left,
                             void (TfPsqOrdemServico::*handler)()) {
    auto* btn = new TBitBtn(this, _pBottom);
    btn->SetName(QString::fromLatin1(name));
    btn->SetCaption(QString::fromUtf8(caption));
    btn->SetGlyph(pictures::Icon(QString::fromLatin1(picture)));
    btn->setIconSize(QSize(16, 16));
    btn->SetBounds(left, kButtonTop, kButtonWidth, kButtonHeight);
    btn->OnClick = [this, handler] { (this->*handler)(); };
    return btn;
  };
  _btnIncluir = button("_btnIncluir", "Incluir", "include", 23, &TfPsqOrdemServico::_btnIncluirClick);
  _btnAlterar = button("_btnAlterar", "Alterar", "alter", 104, &TfPsqOrdemServico::_btnAlterarClick);
  _btnExcluir = button("_btnExcluir", "Excluir", "delete", 184, &TfPsqOrdemServico::_btnExcluirClick);
  _btnImprimi = button("_btnImprimi", "Imprimir", "print", 265, &TfPsqOrdemServico::_btnImprimiClick);
  _btnExpPDF = button("_btnExpPDF", "&PDF", "pdf", 346, &TfPsqOrdemServico::_btnExpPDFClick);
}

void TfPsqOrdemServico::CreatePrinter() {
  dxComponentPrinter1 = new TComponentPrinter(this);
  dxComponentPrinter1->SetName(QStringLiteral("dxComponentPrinter1"));
  dxComponentPrinter1Link1 = new TGridReportLink(this);
  dxComponentPrinter1Link1->SetName(QStringLiteral("dxComponentPrinter1Link1"));
  dxComponentPrinter1Link1->SetComponent(cxGrid1);
  TPrinterPage& page = dxComponentPrinter1Link1->PrinterPage();
  page.DMPaper = dmpaper::A4;
  page.PageSize.X = 210000;
  page.PageSize.Y = 297000;
  page.Margins.Left = 12700;
  page.Margins.Top = 12700;
  page.Margins.Right = 12700;
  page.Margins.Bottom = 12700;
  page.Header = 6350;
  page.Footer = 6350;
  dxComponentPrinter1Link1->SetReportTitle(Caption());
  dxComponentPrinter1->SetCurrentLink(dxComponentPrinter1Link1);

  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName(QStringLiteral("SaveDialog1"));
  SaveDialog1->Filter = QStringLiteral("Arquivo PDF|*.pdf");
  SaveDialog1->DefaultExt = QStringLiteral("pdf");
  SaveDialog1->FileName = QStringLiteral("RelatorioOrdens");
}

void TfPsqOrdemServico::Reabrir() {
  adsOS->Close();
  adsOS->Open();
}

int TfPsqOrdemServico::IdAtual() const {
  return adsOSid->AsInteger();
}

template <class F>
void TfPsqOrdemServico::ComController(F&& action) {
  Controller = new TControllerOrdem(this);
  try {
    std::forward<F>(action)();
  } catch (...) {
    delete std::exchange(Controller, nullptr);
    throw;
  }
  delete std::exchange(Controller, nullptr);
}

void TfPsqOrdemServico::FormCreate() {
  if (!adsOS->Active()) adsOS->Open();
}

void TfPsqOrdemServico::FormClose(TCloseAction& Action) {
  Action = caFree;
  fPsqOrdemServico = nullptr;
}

void TfPsqOrdemServico::_btnIncluirClick() {
  ComController([this] {
    Controller->Incluir();
    Reabrir();
    adsOS->Last();
  });
}

void TfPsqOrdemServico::_btnAlterarClick() {
  ComController([this] {
    const int id = IdAtual();
    Controller->Alterar(id);
    Reabrir();
    adsOS->Locate(QStringLiteral("id"), id);
  });
}

void TfPsqOrdemServico::_btnExcluirClick() {
  if (MessageBox(QStringLiteral("Deeja realmente excluir o registro?"), QStringLiteral("CONFIRME"),
                 mb::YESNO | mb::ICONQUESTION) == id::NO)
    rtl::Abort();
  ComController([this] {
    if (!Controller->Excluir(IdAtual()))
      rtl::AssertFailed(QStringLiteral("Erro tentar excluir registro!"), kUnit, 124);
    Reabrir();
  });
}

void TfPsqOrdemServico::_btnImprimiClick() {
  dxComponentPrinter1->Preview(true);
}

void TfPsqOrdemServico::_btnExpPDFClick() {
  SaveDialog1->InitialDir = rtl::ExecutableFolder();
  if (SaveDialog1->Execute()) dxComponentPrinter1->ExportToPDF(SaveDialog1->FileName);
}
