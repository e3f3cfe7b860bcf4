#include "fontes/views/Clientes.h"

#include <QLabel>

#include "fontes/dados/uDM.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"

TfClientes* fClientes = nullptr;

namespace {
constexpr int kPanelHeight = 200;
const QColor kSkyBlue(166, 202, 240);
}  // namespace

TfClientes::TfClientes(TComponent* AOwner)
    : TRegisterForm(AOwner, QStringLiteral("fClientes"), QStringLiteral("Clientes"),
                    DM != nullptr ? DM->adsClientes : nullptr, QStringLiteral("pBotton"), kPanelHeight) {
  CreateControls();
}

TfClientes::~TfClientes() {
  // Freed by its owner without being closed, it must not be left referred to.
  if (fClientes == this) fClientes = nullptr;
}

void TfClientes::CreateControls() {
  // The data module asks before a client is deleted; the grid adds no question of its own.
  DBGrid1->SetOptions(TDBGrid::kDefaultOptions & ~(dgEditing | dgConfirmDelete));
  pBotton = Panel();

  Label1 = AddLabel(QStringLiteral("Label1"), QStringLiteral("Código"), 24);
  DBEdit1 = new TDBEdit(this, pBotton);
  PlaceBox(DBEdit1, QStringLiteral("DBEdit1"), QStringLiteral("id"), Label1, 43, 81, 21);
  DBEdit1->SetReadOnly(true);
  DBEdit1->SetColor(kSkyBlue);

  Label2 = AddLabel(QStringLiteral("Label2"), QStringLiteral("Nome"), 64);
  cxDBTextEdit1 = new TcxDBTextEdit(this, pBotton);
  PlaceBox(cxDBTextEdit1, QStringLiteral("cxDBTextEdit1"), QStringLiteral("nome"), Label2, 80, 121, 21);

  Label3 = AddLabel(QStringLiteral("Label3"), QStringLiteral("Telefone"), 104);
  cxDBTextEdit2 = new TcxDBTextEdit(this, pBotton);
  PlaceBox(cxDBTextEdit2, QStringLiteral("cxDBTextEdit2"), QStringLiteral("telefone"), Label3, 120, 121, 21);

  DefineTabOrder({cxDBTextEdit1, cxDBTextEdit2, DBEdit1, DBGrid1});
}

void TfClientes::ClearReference() {
  fClientes = nullptr;
}
