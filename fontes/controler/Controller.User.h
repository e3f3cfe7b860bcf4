#pragma once

#include <QString>

#include "fontes/controler/Controller.h"

class TADODataSet;
class TModelUser;

// Decides one login attempt against the Users table.
class TControllerUser : public TController {
 public:
  explicit TControllerUser(TComponent* AOwner);

  QString ClassName() const override { return QStringLiteral("TControllerUser"); }

  // The login window hands its data set; nothing is kept.
  void SetDataSet(TADODataSet* ADataSet);

  // True exactly when a user has this login and this password, both as typed (letter
  // case and blanks count). An empty login, or a stored null, never matches.
  bool Logar(const QString& ALogin, const QString& ASenha);

 private:
  TModelUser* User;
};
