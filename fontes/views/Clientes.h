#pragma once

#include "fontes/views/RegisterForm.h"

class QFrame;
class QLabel;
class TDBEdit;
class TcxDBTextEdit;

// The register of clients over the data module's adsClientes. A delete asks twice: the
// navigator's question, then the data module's; Ctrl+Delete in the grid only the latter.
class TfClientes : public TRegisterForm {
  Q_OBJECT

 public:
  explicit TfClientes(TComponent* AOwner);
  ~TfClientes() override;

  QString ClassName() const override { return QStringLiteral("TfClientes"); }

  QFrame* pBotton = nullptr;
  QLabel* Label1 = nullptr;
  TDBEdit* DBEdit1 = nullptr;
  QLabel* Label2 = nullptr;
  TcxDBTextEdit* cxDBTextEdit1 = nullptr;
  QLabel* Label3 = nullptr;
  TcxDBTextEdit* cxDBTextEdit2 = nullptr;

 protected:
  void ClearReference() override;

 private:
  void CreateControls();
};

extern TfClientes* fClientes;
