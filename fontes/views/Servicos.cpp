#include "fontes/views/Servicos.h"

#include <QLabel>

#include "fontes/dados/uDM.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"

TfServicos* fServicos = nullptr;

namespace {
constexpr int kPanelHeight = 165;
}  // namespace

TfServicos::TfServicos(TComponent* AOwner)
    : TRegisterForm(AOwner, QStringLiteral("fServicos"), QStringLiteral("Serviços"),
                    DM != nullptr ? DM->adsServicos : nullptr, QStringLiteral("Panel1"), kPanelHeight) {
  CreateControls();
}

TfServicos::~TfServicos() {
  // Freed by its owner without being closed, it must not be left referred to.
  if (fServicos == this) fServicos = nullptr;
}

void TfServicos::CreateControls() {
  // Cells are edited in place; Ctrl+Delete asks first.
  DBGrid1->SetOptions(TDBGrid::kDefaultOptions);
  Panel1 = Panel();

  // The box keeps its ordinary colour: the field itself refuses edits.
  Label1 = AddLabel(QStringLiteral("Label1"), QStringLiteral("Código"), 24);
  DBEdit1 = new TDBEdit(this, Panel1);
  PlaceBox(DBEdit1, QStringLiteral("DBEdit1"), QStringLiteral("id"), Label1, 40, 121, 21);

  Label2 = AddLabel(QStringLiteral("Label2"), QStringLiteral("Descrição"), 64);
  cxDBTextEdit1 = new TcxDBTextEdit(this, Panel1);
  PlaceBox(cxDBTextEdit1, QStringLiteral("cxDBTextEdit1"), QStringLiteral("descricao"), Label2, 80, 121, 21);

  DefineTabOrder({DBGrid1, cxDBTextEdit1, DBEdit1});
}

void TfServicos::ClearReference() {
  fServicos = nullptr;
}
