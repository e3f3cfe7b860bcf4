#include "fontes/controler/Controller.User.h"

#include "fontes/models/Model.User.h"
#include "platform/db/ADODataSet.h"

TControllerUser::TControllerUser(TComponent* AOwner) : TController(AOwner), User(new TModelUser(this)) {}

void TControllerUser::SetDataSet(TADODataSet* ADataSet) {
  Q_UNUSED(ADataSet);
}

bool TControllerUser::Logar(const QString& ALogin, const QString& ASenha) {
  if (ALogin.isEmpty()) return false;
  // The builder upper-cases its statements and the columns compare without case, so
  // nothing typed goes into the SQL: the pairs are fetched and compared here, exactly.
  if (User->DataSet() == nullptr) {
    User->SetDataSet(User->Select({QStringLiteral("login"), QStringLiteral("password")}).get());
  } else {
    User->DataSet()->Close();  // a second attempt on this controller reads afresh
  }
  User->OpenDataSet();
  TADODataSet* users = User->DataSet();
  const TField* login = users->FieldByName(QStringLiteral("login"));
  const TField* password = users->FieldByName(QStringLiteral("password"));
  for (users->First(); !users->Eof(); users->Next()) {
    if (login->IsNull() || password->IsNull()) continue;
    if (login->AsString() == ALogin && password->AsString() == ASenha) return true;
  }
  return false;
}
