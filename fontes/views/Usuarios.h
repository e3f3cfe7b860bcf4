#pragma once

#include "fontes/views/RegisterForm.h"

class QFrame;
class QLabel;
class TDBEdit;
class TcxDBTextEdit;

// The register of users over the data module's adsUsers. The grid leaves the hidden
// password out; the panel's password box shows "*" for each character.
class TfUsuarios : public TRegisterForm {
  Q_OBJECT

 public:
  explicit TfUsuarios(TComponent* AOwner);
  ~TfUsuarios() override;

  QString ClassName() const override { return QStringLiteral("TfUsuarios"); }

  QFrame* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  TDBEdit* DBEdit1 = nullptr;
  QLabel* Label2 = nullptr;
  TcxDBTextEdit* cxDBTextEdit1 = nullptr;
  QLabel* Label3 = nullptr;
  TcxDBTextEdit* cxDBTextEdit2 = nullptr;
  QLabel* Label4 = nullptr;
  TcxDBTextEdit* cxDBTextEdit3 = nullptr;

 protected:
  void ClearReference() override;

 private:
  void CreateControls();
};

extern TfUsuarios* fUsuarios;
