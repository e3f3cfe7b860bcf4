#include "fontes/views/Principal.h"

#include <QVBoxLayout>

#include "fontes/views/Clientes.h"
#include "fontes/views/Pesquisar.Ordem.h"
#include "fontes/views/Servicos.h"
#include "fontes/views/Usuarios.h"
#include "platform/ui/Application.h"
#include "platform/ui/ClassRegistry.h"
#include "platform/ui/ControlName.h"
#include "resources/Pictures.h"

TfPrincipal* fPrincipal = nullptr;

namespace {

using ui::Named;

}  // namespace

TfPrincipal::TfPrincipal(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("fPrincipal"));
  SetCaption(QStringLiteral("Quorvel"));
  SetClientSize(1024, 768);
  SetPosition(poScreenCenter);
  SetColor(ButtonFaceColor());
  setWindowIcon(pictures::ApplicationIcon());
  OnClose = [this](TCloseAction& action) { FormClose(action); };

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  dxBarManager1 = new TBarManager(this);
  dxBarManager1->setObjectName(QStringLiteral("dxBarManager1"));
  dxRibbon1 = Named(new TRibbon(this), QStringLiteral("dxRibbon1"));
  dxRibbon1->setAccessibleName(QStringLiteral("Faixa de opções"));
  dxRibbon1->SetColorSchemeName(QStringLiteral("Blue"));
  dxRibbon1->setFocusPolicy(Qt::NoFocus);
  column->addWidget(dxRibbon1);
  column->addStretch(1);
  dxStatusBar1 = Named(new TStatusBar(this), QStringLiteral("dxStatusBar1"));
  dxStatusBar1->setAccessibleName(QStringLiteral("Barra de status"));
  dxStatusBar1->SetColorSchemeName(QStringLiteral("Blue"));
  column->addWidget(dxStatusBar1);

  dxBarManager1Bar1 = dxBarManager1->AddBar(QStringLiteral("dxBarManager1Bar1"), QStringLiteral("Cadastros"));
  dxBarLargeButton4 = dxBarManager1Bar1->AddLargeButton(
      QStringLiteral("dxBarLargeButton4"), QStringLiteral("Clientes"), pictures::Icon("clientes"));
  dxBarLargeButton5 = dxBarManager1Bar1->AddLargeButton(
      QStringLiteral("dxBarLargeButton5"), QStringLiteral("Serviços"), pictures::Icon("servicos"));
  dxBarLargeButton6 = dxBarManager1Bar1->AddLargeButton(
      QStringLiteral("dxBarLargeButton6"), QStringLiteral("Usuários"), pictures::Icon("usuarios"));
  dxBarManager1Bar2 = dxBarManager1->AddBar(QStringLiteral("dxBarManager1Bar2"), QStringLiteral("Processos"));
  dxBarLargeButton7 = dxBarManager1Bar2->AddLargeButton(
      QStringLiteral("dxBarLargeButton7"), QStringLiteral("Lançar OS"), pictures::Icon("lancar-os"));
  dxBarManager1Bar3 =
      dxBarManager1->AddBar(QStringLiteral("dxBarManager1Bar3"), QStringLiteral("Relatorios"));
  dxBarLargeButton8 =
      dxBarManager1Bar3->AddLargeButton(QStringLiteral("dxBarLargeButton8"),
                                        QStringLiteral("Entregas Semana"), pictures::Icon("entregas-semana"));
  dxBarLargeButton9 = dxBarManager1Bar3->AddLargeButton(
      QStringLiteral("dxBarLargeButton9"), QStringLiteral("Entregas Dia"), pictures::Icon("entregas-dia"));
  dxBarLargeButton10 = dxBarManager1Bar3->AddLargeButton(QStringLiteral("dxBarLargeButton10"),
                                                         QStringLiteral("Valor Por Operador"),
                                                         pictures::Icon("valor-por-operador"));
  // The three report buttons stay inert: no handler.
  dxBarLargeButton4->OnClick = [this] { dxBarLargeButton4Click(); };
  dxBarLargeButton5->OnClick = [this] { dxBarLargeButton5Click(); };
  dxBarLargeButton6->OnClick = [this] { dxBarLargeButton6Click(); };
  dxBarLargeButton7->OnClick = [this] { dxBarLargeButton7Click(); };

  tabCadastros = dxRibbon1->AddTab(QStringLiteral("tabCadastros"), QStringLiteral("Cadastros"));
  tabCadastros->AddGroup()->SetToolBar(dxBarManager1Bar1);
  tabProcessos = dxRibbon1->AddTab(QStringLiteral("tabProcessos"), QStringLiteral("Processos"));
  tabProcessos->AddGroup()->SetToolBar(dxBarManager1Bar2);
  tabRelatorios = dxRibbon1->AddTab(QStringLiteral("tabRelatorios"), QStringLiteral("Relatórios"));
  // The group reads "Relatórios" although its toolbar's caption lacks the accent.
  tabRelatorios->AddGroup()->SetCaption(QStringLiteral("Relatórios"));
  tabRelatorios->Groups().first()->SetToolBar(dxBarManager1Bar3);
  dxRibbon1->SetActiveTab(tabCadastros);

  dxBarApplicationMenu1 = Named(new TApplicationMenu(this), QStringLiteral("dxBarApplicationMenu1"));
  dxBarButton2 = dxBarApplicationMenu1->AddButton(QStringLiteral("dxBarButton2"), QStringLiteral("Sair"),
                                                  pictures::Icon("exit"));
  dxBarButton2->SetHint(QStringLiteral("Sair"));
  dxBarButton2->OnClick = [this] { dxBarButton2Click(); };
  dxRibbon1->SetApplicationMenu(dxBarApplicationMenu1);
  dxRibbon1->SetApplicationButtonPicture(pictures::ApplicationIcon());

  // Visible from its creation on.
  SetWindowState(wsMaximized);
  Show();
}

TfPrincipal::~TfPrincipal() {
  if (fPrincipal == this) fPrincipal = nullptr;
}

void TfPrincipal::OpenRegistered(const QString& className) {
  if (const TFormClass* formClass = GetClass(className)) formClass->Create(this)->Show();
}

// Every press opens a further window; the reference follows the newest.
void TfPrincipal::dxBarLargeButton4Click() {
  fClientes = CreateForm<TfClientes>(this);
  fClientes->Show();
}

void TfPrincipal::dxBarLargeButton5Click() {
  fServicos = CreateForm<TfServicos>(this);
  fServicos->Show();
}

void TfPrincipal::dxBarLargeButton6Click() {
  fUsuarios = CreateForm<TfUsuarios>(this);
  fUsuarios->Show();
}

void TfPrincipal::dxBarLargeButton7Click() {
  fPsqOrdemServico = CreateForm<TfPsqOrdemServico>(this);
  fPsqOrdemServico->Show();
}

void TfPrincipal::dxBarButton2Click() {
  Application->Terminate();
}

void TfPrincipal::FormClose(TCloseAction& action) {
  Q_UNUSED(action);  // left at hide
  Application->Terminate();
}
