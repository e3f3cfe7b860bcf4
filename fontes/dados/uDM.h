#pragma once

#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/Localizer.h"

// The one database connection of the program and the shared data sets the register
// windows edit. Creation opens the connection ("connected when loaded"); a failure
// there is reported and creation goes on, then DataModuleCreate tries once more and,
// failing again, shows "ERRO" and asks the application to terminate.
//
// Create it with Application->CreateForm(DM) (or construct, then AfterConstruction).
class TDM : public TDataModule {
 public:
  explicit TDM(TComponent* AOwner);
  ~TDM() override;

  QString ClassName() const override { return QStringLiteral("TDM"); }

  TADOConnection* ADO;
  TADODataSet* adsQry;

  TADODataSet* adsClientes;
  TAutoIncField* adsClientesid;
  TWideStringField* adsClientesnome;
  TWideStringField* adsClientestelefone;

  TADODataSet* adsUsers;
  TAutoIncField* adsUsersid;
  TWideStringField* adsUserslogin;
  TWideStringField* adsUsersnome;
  TWideStringField* adsUserspassword;

  TADODataSet* adsServicos;
  TAutoIncField* adsServicosid;
  TWideStringField* adsServicosdescricao;

  TLocalizer* cxLocalizer1;

  TADODataSet* adsOrdens;
  TAutoIncField* adsOrdensid;
  TIntegerField* adsOrdenscliente_id;
  TIntegerField* adsOrdensuser_id;
  TDateTimeField* adsOrdensdt_entrada;
  TBCDField* adsOrdensvlr_total;
  TIntegerField* adsOrdensuser_recept_id;
  TDateTimeField* adsOrdensdt_saida;
  TDateTimeField* adsOrdensdt_create;
  TDateTimeField* adsOrdensdt_alt;
  TBooleanField* adsOrdensstatus;

  TADODataSet* adsItensOS;
  TAutoIncField* adsItensOSid;
  TIntegerField* adsItensOSos_id;
  TIntegerField* adsItensOSservico_id;
  TWideStringField* adsItensOSproduto_descricao;
  TBCDField* adsItensOSitem_vlr;
  TFloatField* adsItensOSitem_qtde;
  TBCDField* adsItensOSitem_desconto;
  TBCDField* adsItensOSitem_subtotal;
  TAggregateField* adsItensOSTotalItens;

  TDataSource* dsOrdem;
  TDataSource* dsItensOS;

  // Builds the connection string from ServerConfig.ini before every connect.
  void ADOBeforeConnect(TComponent* Sender);
  // Runs once, after every component was set up.
  void DataModuleCreate(TComponent* Sender);
  void adsClientesBeforeDelete(TDataSet* DataSet);

 private:
  // Asks before a delete; No cancels it silently.
  void ConfirmaDelete();

  void CreateComponents();
  void CreateClientesFields();
  void CreateUsersFields();
  void CreateServicosFields();
  void CreateOrdensFields();
  void CreateItensOSFields();
  // What the stored "connected when loaded" does once the components exist.
  void ConnectWhileLoading();
};

// The program's data module; set by Application->CreateForm(DM), cleared when it goes.
extern TDM* DM;
