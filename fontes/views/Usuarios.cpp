#include "fontes/views/Usuarios.h"

#include <QLabel>

#include "fontes/dados/uDM.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"

TfUsuarios* fUsuarios = nullptr;

namespace {
constexpr int kPanelHeight = 200;
const QColor kSkyBlue(166, 202, 240);
}  // namespace

TfUsuarios::TfUsuarios(TComponent* AOwner)
    : TRegisterForm(AOwner, QStringLiteral("fUsuarios"), QStringLiteral("Usuários"),
                    DM != nullptr ? DM->adsUsers : nullptr, QStringLiteral("Panel1"), kPanelHeight) {
  CreateControls();
}

TfUsuarios::~TfUsuarios() {
  // Freed by its owner without being closed, it must not be left referred to.
  if (fUsuarios == this) fUsuarios = nullptr;
}

void TfUsuarios::CreateControls() {
  // No editing in cells; Ctrl+Delete asks first.
  DBGrid1->SetOptions(TDBGrid::kDefaultOptions & ~dgEditing);
  Panel1 = Panel();

  Label1 = AddLabel(QStringLiteral("Label1"), QStringLiteral("Código"), 24);
  DBEdit1 = new TDBEdit(this, Panel1);
  PlaceBox(DBEdit1, QStringLiteral("DBEdit1"), QStringLiteral("id"), Label1, 37, 89, 21);
  DBEdit1->SetReadOnly(true);
  DBEdit1->SetColor(kSkyBlue);

  Label2 = AddLabel(QStringLiteral("Label2"), QStringLiteral("Login"), 64);
  cxDBTextEdit1 = new TcxDBTextEdit(this, Panel1);
  PlaceBox(cxDBTextEdit1, QStringLiteral("cxDBTextEdit1"), QStringLiteral("login"), Label2, 80, 121, 21);

  Label3 = AddLabel(QStringLiteral("Label3"), QStringLiteral("Nome"), 104);
  cxDBTextEdit2 = new TcxDBTextEdit(this, Panel1);
  PlaceBox(cxDBTextEdit2, QStringLiteral("cxDBTextEdit2"), QStringLiteral("nome"), Label3, 121, 353, 21);

  Label4 = AddLabel(QStringLiteral("Label4"), QStringLiteral("Senha"), 144);
  cxDBTextEdit3 = new TcxDBTextEdit(this, Panel1);
  PlaceBox(cxDBTextEdit3, QStringLiteral("cxDBTextEdit3"), QStringLiteral("password"), Label4, 160, 121, 21);
  cxDBTextEdit3->SetPasswordChar(QLatin1Char('*'));

  DefineTabOrder({cxDBTextEdit1, cxDBTextEdit2, cxDBTextEdit3, DBEdit1, DBGrid1});
}

void TfUsuarios::ClearReference() {
  fUsuarios = nullptr;
}
