#pragma once

#include "fontes/controler/Controller.h"

class TDataSetMap;
class TModelCliente;
class TModelItensOS;
class TModelOrdem;
class TModelUser;

// Opens the service order editor for one order, new or existing, and deletes orders.
// One controller serves one action: its models keep the conditions they were given.
class TControllerOrdem : public TController {
 public:
  explicit TControllerOrdem(TComponent* AOwner);

  QString ClassName() const override { return QStringLiteral("TControllerOrdem"); }

  // Runs the editor on order AID in edit state; returns when it closes. An order that
  // does not exist is an assertion failure and no window opens.
  void Alterar(int AID);
  // False only when counting or deleting failed; a missing order is not a failure.
  bool Excluir(int AID);
  // Runs the editor on a new order row in insert state; returns when it closes.
  void Incluir();

 private:
  // The clients and the two users lists, the second renamed so the map keys differ.
  void AbrirListas();
  // Gathers the five data sets under their names and runs the editor on them.
  void AbrirEditor();

  TModelOrdem* Ordem;
  TModelCliente* Cliente;
  TModelUser* UserRecept;
  TModelUser* UserEntreg;
  TModelItensOS* ItensOS;
};
