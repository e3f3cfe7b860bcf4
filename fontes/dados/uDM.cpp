#include "fontes/dados/uDM.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventGuard.h"

TDM* DM = nullptr;

namespace {

const QString kProvider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");
const QString kPasswordKey = QStringLiteral("Jet OLEDB:Database Password=");
// Never used: ADOBeforeConnect replaces it before every connect.
const QString kDesignConnection = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=Quorvel.mdb");

template <class TFieldKind>
TFieldKind* NewField(TComponent* owner, TDataSet* dataSet, const QString& column) {
  auto* field = new TFieldKind(owner);
  field->SetName(dataSet->Name() + column);
  field->SetFieldName(column);
  field->SetDataSet(dataSet);
  return field;
}

void Present(TField* field, const QString& label, int width, const QString& format = {}) {
  if (!label.isEmpty()) field->SetDisplayLabel(label);
  if (width > 0) field->SetDisplayWidth(width);
  if (!format.isEmpty()) field->SetDisplayFormat(format);
}

// Jet's currency: 19 digits, 4 of them decimals.
void AsCurrencyColumn(TBCDField* field) {
  field->SetPrecision(19);
  field->SetSize(4);
}

TADODataSet* NewDataSet(TComponent* owner, TADOConnection* connection, const QString& name,
                        const QString& command) {
  auto* dataSet = new TADODataSet(owner);
  dataSet->SetName(name);
  dataSet->SetConnection(connection);
  dataSet->SetCursorType(ctStatic);
  dataSet->SetCommandText(command);
  return dataSet;
}

// The application's end comes with its event loop; without an application object
// (a unit test) Qt's own loop is asked instead.
void RequestTermination() {
  if (Application != nullptr)
    Application->Terminate();
  else
    QCoreApplication::quit();
}

}  // namespace

TDM::TDM(TComponent* AOwner) : TDataModule(AOwner) {
  SetName(QStringLiteral("DM"));
  CreateComponents();
  ConnectWhileLoading();
  OnCreate = [this] { DataModuleCreate(this); };
}

TDM::~TDM() {
  // The fields and data sources go with the other components; the global must not
  // outlive the module.
  if (DM == this) DM = nullptr;
}

void TDM::CreateComponents() {
  ADO = new TADOConnection(this);
  ADO->SetName(QStringLiteral("ADO"));
  ADO->SetConnectionString(kDesignConnection);
  ADO->SetLoginPrompt(false);
  ADO->SetMode(cmShareDenyNone);
  ADO->BeforeConnect = [this](TADOConnection& sender) { ADOBeforeConnect(&sender); };

  adsQry = new TADODataSet(this);
  adsQry->SetName(QStringLiteral("adsQry"));
  adsQry->SetConnection(ADO);

  adsClientes = NewDataSet(this, ADO, QStringLiteral("adsClientes"),
                           QStringLiteral("SELECT id, nome, telefone FROM Clientes;"));
  adsClientes->BeforeDelete = [this](TDataSet& sender) { adsClientesBeforeDelete(&sender); };
  CreateClientesFields();

  adsUsers = NewDataSet(this, ADO, QStringLiteral("adsUsers"),
                        QStringLiteral("select id, login, nome, password from Users"));
  CreateUsersFields();

  adsServicos = NewDataSet(this, ADO, QStringLiteral("adsServicos"),
                           QStringLiteral("select id, descricao from Servicos;"));
  CreateServicosFields();

  // Inactive until DataModuleCreate loads the translation.
  cxLocalizer1 = new TLocalizer(this);
  cxLocalizer1->SetName(QStringLiteral("cxLocalizer1"));

  adsOrdens =
      NewDataSet(this, ADO, QStringLiteral("adsOrdens"), QStringLiteral("select * from OrdensServico"));
  CreateOrdensFields();

  adsItensOS = NewDataSet(
      this, ADO, QStringLiteral("adsItensOS"),
      QStringLiteral("SELECT itens_os.id, itens_os.os_id, itens_os.servico_id, itens_os.produto_descricao, "
                     "itens_os.item_vlr, itens_os.item_qtde, itens_os.item_desconto, itens_os.item_subtotal "
                     "FROM itens_os;"));
  CreateItensOSFields();

  dsOrdem = new TDataSource(this);
  dsOrdem->SetName(QStringLiteral("dsOrdem"));
  dsOrdem->SetDataSet(adsOrdens);

  dsItensOS = new TDataSource(this);
  dsItensOS->SetName(QStringLiteral("dsItensOS"));
  dsItensOS->SetDataSet(adsItensOS);

  // The items follow the current order; dsOrdem exists only now.
  adsItensOS->SetDataSource(dsOrdem);
  adsItensOS->SetMasterFields(QStringLiteral("id"));
  adsItensOS->SetIndexFieldNames(QStringLiteral("os_id"));
}

void TDM::CreateClientesFields() {
  adsClientesid = NewField<TAutoIncField>(this, adsClientes, QStringLiteral("id"));
  Present(adsClientesid, QStringLiteral("Código"), 0, QStringLiteral("00000"));
  adsClientesnome = NewField<TWideStringField>(this, adsClientes, QStringLiteral("nome"));
  Present(adsClientesnome, QStringLiteral("Nome"), 80);
  adsClientestelefone = NewField<TWideStringField>(this, adsClientes, QStringLiteral("telefone"));
  Present(adsClientestelefone, QStringLiteral("Telefone"), 20);
  adsClientestelefone->SetAlignment(taRightJustify);
}

void TDM::CreateUsersFields() {
  adsUsersid = NewField<TAutoIncField>(this, adsUsers, QStringLiteral("id"));
  Present(adsUsersid, QStringLiteral("Código"), 0, QStringLiteral("00000"));
  adsUsersid->SetReadOnly(true);
  adsUserslogin = NewField<TWideStringField>(this, adsUsers, QStringLiteral("login"));
  Present(adsUserslogin, QStringLiteral("Login"), 25);
  adsUsersnome = NewField<TWideStringField>(this, adsUsers, QStringLiteral("nome"));
  Present(adsUsersnome, QStringLiteral("Nome"), 45);
  adsUserspassword = NewField<TWideStringField>(this, adsUsers, QStringLiteral("password"));
  Present(adsUserspassword, QStringLiteral("Senha"), 30);
  adsUserspassword->SetVisible(false);
}

void TDM::CreateServicosFields() {
  adsServicosid = NewField<TAutoIncField>(this, adsServicos, QStringLiteral("id"));
  Present(adsServicosid, QStringLiteral("Código"), 0, QStringLiteral("00000"));
  adsServicosid->SetReadOnly(true);
  adsServicosdescricao = NewField<TWideStringField>(this, adsServicos, QStringLiteral("descricao"));
  Present(adsServicosdescricao, QStringLiteral("Descrição"), 100);
}

void TDM::CreateOrdensFields() {
  adsOrdensid = NewField<TAutoIncField>(this, adsOrdens, QStringLiteral("id"));
  adsOrdensid->SetReadOnly(true);
  adsOrdenscliente_id = NewField<TIntegerField>(this, adsOrdens, QStringLiteral("cliente_id"));
  adsOrdensuser_id = NewField<TIntegerField>(this, adsOrdens, QStringLiteral("user_id"));
  adsOrdensdt_entrada = NewField<TDateTimeField>(this, adsOrdens, QStringLiteral("dt_entrada"));
  adsOrdensvlr_total = NewField<TBCDField>(this, adsOrdens, QStringLiteral("vlr_total"));
  AsCurrencyColumn(adsOrdensvlr_total);
  adsOrdensuser_recept_id = NewField<TIntegerField>(this, adsOrdens, QStringLiteral("user_recept_id"));
  adsOrdensdt_saida = NewField<TDateTimeField>(this, adsOrdens, QStringLiteral("dt_saida"));
  adsOrdensdt_create = NewField<TDateTimeField>(this, adsOrdens, QStringLiteral("dt_create"));
  adsOrdensdt_alt = NewField<TDateTimeField>(this, adsOrdens, QStringLiteral("dt_alt"));
  adsOrdensstatus = NewField<TBooleanField>(this, adsOrdens, QStringLiteral("status"));
}

void TDM::CreateItensOSFields() {
  adsItensOSid = NewField<TAutoIncField>(this, adsItensOS, QStringLiteral("id"));
  Present(adsItensOSid, {}, 10);
  adsItensOSid->SetReadOnly(true);
  adsItensOSid->SetProviderFlags(pfInUpdate | pfInWhere | pfInKey);
  adsItensOSos_id = NewField<TIntegerField>(this, adsItensOS, QStringLiteral("os_id"));
  Present(adsItensOSos_id, {}, 10);
  adsItensOSservico_id = NewField<TIntegerField>(this, adsItensOS, QStringLiteral("servico_id"));
  Present(adsItensOSservico_id, {}, 10);
  adsItensOSproduto_descricao =
      NewField<TWideStringField>(this, adsItensOS, QStringLiteral("produto_descricao"));
  Present(adsItensOSproduto_descricao, {}, 31);
  adsItensOSitem_vlr = NewField<TBCDField>(this, adsItensOS, QStringLiteral("item_vlr"));
  AsCurrencyColumn(adsItensOSitem_vlr);
  Present(adsItensOSitem_vlr, {}, 20, QStringLiteral("#,##0.00"));
  adsItensOSitem_qtde = NewField<TFloatField>(this, adsItensOS, QStringLiteral("item_qtde"));
  Present(adsItensOSitem_qtde, {}, 10, QStringLiteral("0.00"));
  adsItensOSitem_desconto = NewField<TBCDField>(this, adsItensOS, QStringLiteral("item_desconto"));
  AsCurrencyColumn(adsItensOSitem_desconto);
  Present(adsItensOSitem_desconto, {}, 20);
  adsItensOSitem_subtotal = NewField<TBCDField>(this, adsItensOS, QStringLiteral("item_subtotal"));
  AsCurrencyColumn(adsItensOSitem_subtotal);
  Present(adsItensOSitem_subtotal, {}, 20, QStringLiteral("#,##0.00"));
  adsItensOSTotalItens = NewField<TAggregateField>(this, adsItensOS, QStringLiteral("TotalItens"));
  adsItensOSTotalItens->SetExpression(QStringLiteral("SUM(item_subtotal)"));
}

void TDM::ConnectWhileLoading() {
  try {
    ADO->Open();
  } catch (...) {
    // As any error while loading: reported, and loading goes on with the connection closed.
    ui::ReportCurrentException();
  }
}

void TDM::ADOBeforeConnect(TComponent* Sender) {
  Q_UNUSED(Sender);
  const QString ini = TUtil::IniFileServer();
  const QString path = TUtil::ReadIni(ini, INI_SESSAO_CONEXAO, INI_BD, QString());
  const QString password = TUtil::Criptografar(TUtil::ReadIni(ini, INI_SESSAO_CONEXAO, INI_PSWDB, QString()));
  ADO->SetConnectionString(kProvider + path + QStringLiteral(";") + kPasswordKey + password);
}

void TDM::DataModuleCreate(TComponent* Sender) {
  Q_UNUSED(Sender);
  if (!ADO->Connected()) {
    try {
      ADO->Open();
    } catch (const Exception& E) {
      MessageBox(QStringLiteral("Erro de conexão com o banco\r\n") + E.Message(), QStringLiteral("ERRO"),
                 mb::OK | mb::ICONERROR);
      RequestTermination();
    } catch (const std::exception& E) {
      MessageBox(QStringLiteral("Erro de conexão com o banco\r\n") + QString::fromUtf8(E.what()),
                 QStringLiteral("ERRO"), mb::OK | mb::ICONERROR);
      RequestTermination();
    }
  }

  const QString translation = TUtil::CaminhoExe() + QStringLiteral("IdiomaBrasil.ini");
  if (QFileInfo::exists(translation)) {
    cxLocalizer1->LoadFromFile(translation);
    cxLocalizer1->SetLanguageIndex(1);
    cxLocalizer1->SetActive(true);
  }
}

void TDM::adsClientesBeforeDelete(TDataSet* DataSet) {
  Q_UNUSED(DataSet);
  ConfirmaDelete();
}

void TDM::ConfirmaDelete() {
  if (MessageBox(QStringLiteral("Deseja realmente excluir o registro?"), QStringLiteral("CONFIRME"),
                 mb::YESNO | mb::ICONQUESTION | mb::DEFBUTTON2) != id::YES)
    rtl::Abort();
}
