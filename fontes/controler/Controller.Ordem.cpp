#include "fontes/controler/Controller.Ordem.h"

#include "fontes/models/Model.Cliente.h"
#include "fontes/models/Model.ItensOS.h"
#include "fontes/models/Model.Ordem.h"
#include "fontes/models/Model.User.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/Exceptions.h"

namespace {
const QString kUnit = QStringLiteral("trunk\\fontes\\controler\\Controller.Ordem");
const QStringList kIdNome = {QStringLiteral("id"), QStringLiteral("nome")};
}  // namespace

TControllerOrdem::TControllerOrdem(TComponent* AOwner)
    : TController(AOwner),
      Ordem(new TModelOrdem(this)),
      Cliente(new TModelCliente(this)),
      UserRecept(new TModelUser(this)),
      UserEntreg(new TModelUser(this)),
      ItensOS(new TModelItensOS(this)) {}

void TControllerOrdem::Alterar(int AID) {
  Ordem->SetDataSet(Ordem->get(AID));
  if (Ordem->DataSet()->RecordCount() != 1)
    rtl::AssertFailed(QStringLiteral("Código %1 não encontrado!").arg(AID), kUnit, 105);
  AbrirListas();
  ItensOS->SetDataSet(ItensOS->Where(QStringLiteral("os_id"), AID).get());
  ItensOS->OpenDataSet();
  Ordem->DataSet()->Edit();
  AbrirEditor();
}

void TControllerOrdem::Incluir() {
  // No auto-number is 0: the order's columns with no rows, found through the key, so a
  // large table costs nothing. The same for the items of an order not yet stored.
  Ordem->SetDataSet(Ordem->get(0));
  AbrirListas();
  ItensOS->SetDataSet(ItensOS->get(0));
  ItensOS->OpenDataSet();
  Ordem->DataSet()->Append();
  AbrirEditor();
}

bool TControllerOrdem::Excluir(int AID) {
  bool result = true;
  Ordem->SetDataSet(Ordem->Where(QStringLiteral("id"), AID).get());
  try {
    if (Ordem->DataSet()->RecordCount() == 1) Ordem->DataSet()->Delete();
  } catch (const Exception&) {
    result = false;
  }
  return result;
}

void TControllerOrdem::AbrirListas() {
  Cliente->SetDataSet(Cliente->Select(kIdNome).get());
  Cliente->OpenDataSet();
  UserRecept->SetDataSet(UserRecept->Select(kIdNome).get());
  UserRecept->OpenDataSet();
  UserEntreg->SetDataSet(UserEntreg->Select(kIdNome).get());
  UserEntreg->DataSet()->SetName(QStringLiteral("dsuserentreg"));
  UserEntreg->OpenDataSet();
}

void TControllerOrdem::AbrirEditor() {
  TDataSetMap map;
  for (TModelBase* model : {static_cast<TModelBase*>(Ordem), static_cast<TModelBase*>(UserRecept),
                            static_cast<TModelBase*>(UserEntreg), static_cast<TModelBase*>(Cliente),
                            static_cast<TModelBase*>(ItensOS)})
    map.Add(model->DataSet()->Name(), model->DataSet());
  ViewModal(QStringLiteral("TfOrdem"), &map);
}
