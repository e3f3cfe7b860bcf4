#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/ui/Buttons.h"
#include "platform/ui/Forms.h"

class TADODataSet;
class TControllerUser;

// Asks for a login and a password; on success opens the main window and hides itself.
// It is the application's main window, so closing it ends the program.
class TfLogin : public TForm {
  Q_OBJECT

 public:
  explicit TfLogin(TComponent* AOwner);
  ~TfLogin() override;

  QString ClassName() const override { return QStringLiteral("TfLogin"); }

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* _eLogin;
  QLineEdit* _ePassword;
  TBitBtn* _btnCancelar;
  TBitBtn* _btnOK;
  TADODataSet* adsQry;

  // One login attempt with the texts exactly as typed.
  void _btnOKClick();
  // Ends the program.
  void _btnCancelarClick();

 private:
  // Lives only while one attempt is handled.
  TControllerUser* Controller = nullptr;
};

extern TfLogin* fLogin;
