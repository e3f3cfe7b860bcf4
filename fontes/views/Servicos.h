#pragma once

#include "fontes/views/RegisterForm.h"

class QFrame;
class QLabel;
class TDBEdit;
class TcxDBTextEdit;

// The register of services over the data module's adsServicos; its cells can be
// edited in the grid as well as in the panel.
class TfServicos : public TRegisterForm {
  Q_OBJECT

 public:
  explicit TfServicos(TComponent* AOwner);
  ~TfServicos() override;

  QString ClassName() const override { return QStringLiteral("TfServicos"); }

  QFrame* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  TDBEdit* DBEdit1 = nullptr;
  QLabel* Label2 = nullptr;
  TcxDBTextEdit* cxDBTextEdit1 = nullptr;

 protected:
  void ClearReference() override;

 private:
  void CreateControls();
};

extern TfServicos* fServicos;
