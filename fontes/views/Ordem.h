#pragma once

#include "fontes/componentes/FormBase.h"

class QFrame;
class QLabel;
class TBitBtn;
class TcxDBCheckBox;
class TcxDBCurrencyEdit;
class TcxDBDateEdit;
class TDataSet;
class TDataSource;
class TDBEdit;
class TDBGrid;
class TDBLookupComboBox;
class TDBNavigator;

// The service order editor: one order row and its items, handed over by the order
// controller in its data set map. Opened by name ("TfOrdem") through the form factory;
// it frees itself when closed. The map's data sets belong to the controller: the editor
// binds, labels and links them, and never closes or frees them.
class TfOrdem : public TBaseForm {
  Q_OBJECT
  QUORVEL_FORM_CLASS(TfOrdem, TBaseForm)

 public:
  explicit TfOrdem(TComponent* AOwner);
  ~TfOrdem() override;

  QLabel* Label1;
  TDBEdit* _eCodigo;
  TcxDBCheckBox* _chkStatus;
  QLabel* Label2;
  TDBLookupComboBox* DBLookupComboBox1;
  QLabel* Label3;
  TDBLookupComboBox* _boxRecebido;
  QLabel* Label4;
  TDBLookupComboBox* _boxEntregue;
  QLabel* Label5;
  TcxDBDateEdit* _eDtEntrega;
  QLabel* Label6;
  TcxDBDateEdit* _eDtSaida;
  QLabel* Label7;
  TcxDBCurrencyEdit* _eVlrTotal;
  QLabel* Label8;
  TcxDBDateEdit* _eAdd;
  QLabel* Label9;
  TcxDBDateEdit* _eAlt;
  QLabel* Label10;
  TDBGrid* DBGrid1;
  TDBNavigator* DBNavigator1;
  QFrame* Panel1;
  TBitBtn* _btnCancelar;
  TBitBtn* _btnSalvar;

  TDataSource* dsOrdem;
  TDataSource* dsCliente;
  TDataSource* dsUserRecept;
  TDataSource* dsUserEntregue;
  TDataSource* dsItensOS;

  // Handlers.
  void FormShow();
  void dsOrdemStateChange(TDataSource& Sender);
  void dsItensOSStateChange(TDataSource& Sender);
  void dsItensOSUpdateData(TDataSource& Sender);
  void _btnSalvarClick();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void CreateDataSources();
  void DefineTabOrder();
  // Grid, navigator and button bar stay docked to the bottom edge.
  void DockBottom();

  // Binds the map's data sets, opens, labels, links and formats them; a new order gets
  // its defaults. Raises the missing key's message.
  void DefineDataSet();
  void BindDataSources();
  void OpenDataSets();
  void SetFieldAttributes();
  void LinkItemsToOrder();
  void SetDisplayFormats();
  void DefaultValues();

  // Stops the items following the order before the order's data source goes, so that
  // destroying the window stores nothing behind the user's back.
  void UnlinkItems() noexcept;

  TDataSet* Ordem() const;
  TDataSet* ItensOS() const;
};
