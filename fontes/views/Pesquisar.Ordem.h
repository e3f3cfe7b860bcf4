#pragma once

#include "platform/ui/Forms.h"

class QFrame;
class TADODataSet;
class TAutoIncField;
class TBCDField;
class TBitBtn;
class TBooleanField;
class TComponentPrinter;
class TControllerOrdem;
class TDataSource;
class TDateTimeField;
class TGrid;
class TGridDBTableView;
class TGridReportLink;
class TSaveDialog;
class TWideStringField;

// The list of every service order: the way in to including, altering and deleting an
// order, and to printing or exporting the list. It shows itself once created, keeps its
// own query on the data module's connection and frees itself when closed.
class TfPsqOrdemServico : public TForm {
  Q_OBJECT

 public:
  explicit TfPsqOrdemServico(TComponent* AOwner);
  ~TfPsqOrdemServico() override;

  QString ClassName() const override { return QStringLiteral("TfPsqOrdemServico"); }

  TADODataSet* adsOS;
  TAutoIncField* adsOSid;
  TWideStringField* adsOScnome;
  TWideStringField* adsOSunome;
  TDateTimeField* adsOSdt_entrada;
  TDateTimeField* adsOSdt_saida;
  TBCDField* adsOSvlr_total;
  TBooleanField* adsOSstatus;
  TDataSource* dsOS;

  TGrid* cxGrid1;
  TGridDBTableView* cxGrid1DBTableView1;
  QFrame* _pBottom;
  TBitBtn* _btnIncluir;
  TBitBtn* _btnAlterar;
  TBitBtn* _btnExcluir;
  TBitBtn* _btnImprimi;
  TBitBtn* _btnExpPDF;

  TComponentPrinter* dxComponentPrinter1;
  TGridReportLink* dxComponentPrinter1Link1;
  TSaveDialog* SaveDialog1;

  // The order action under way; freed when it ends.
  TControllerOrdem* Controller = nullptr;

  // Handlers.
  void FormCreate();
  void FormClose(TCloseAction& Action);
  void _btnIncluirClick();
  void _btnAlterarClick();
  void _btnExcluirClick();
  void _btnImprimiClick();
  void _btnExpPDFClick();

 private:
  void CreateDataSet();
  void CreateGrid();
  void CreateButtons();
  void CreatePrinter();
  // Closes and opens the list, which puts the cursor on its first row.
  void Reabrir();
  // The current order's id, 0 when the list is empty.
  int IdAtual() const;
  // A controller owned by this window for one action, freed at the end however it ends.
  template <class F>
  void ComController(F&& action);
};

extern TfPsqOrdemServico* fPsqOrdemServico;
