#pragma once

#include "platform/ui/Forms.h"
#include "platform/ui/Ribbon.h"
#include "platform/ui/StatusBar.h"

// The operator's home after logging in: a maximised window whose ribbon opens the
// register windows and the order search. Closing it ends the program.
class TfPrincipal : public TForm {
  Q_OBJECT

 public:
  // Shows itself, maximised, once created.
  explicit TfPrincipal(TComponent* AOwner);
  ~TfPrincipal() override;

  QString ClassName() const override { return QStringLiteral("TfPrincipal"); }

  TBarManager* dxBarManager1;
  TRibbon* dxRibbon1;
  TRibbonTab* tabCadastros;
  TRibbonTab* tabProcessos;
  TRibbonTab* tabRelatorios;
  TBar* dxBarManager1Bar1;
  TBar* dxBarManager1Bar2;
  TBar* dxBarManager1Bar3;
  TBarLargeButton* dxBarLargeButton4;
  TBarLargeButton* dxBarLargeButton5;
  TBarLargeButton* dxBarLargeButton6;
  TBarLargeButton* dxBarLargeButton7;
  TBarLargeButton* dxBarLargeButton8;
  TBarLargeButton* dxBarLargeButton9;
  TBarLargeButton* dxBarLargeButton10;
  TApplicationMenu* dxBarApplicationMenu1;
  TBarButton* dxBarButton2;
  TStatusBar* dxStatusBar1;

  void dxBarLargeButton4Click();  // "Clientes"
  void dxBarLargeButton5Click();  // "Serviços"
  void dxBarLargeButton6Click();  // "Usuários"
  void dxBarLargeButton7Click();  // "Lançar OS"
  void dxBarButton2Click();       // "Sair"
  void FormClose(TCloseAction& action);

 private:
  // Opens a further modeless window of a registered class, owned by this window.
  void OpenRegistered(const QString& className);
};

extern TfPrincipal* fPrincipal;
