#include "fontes/views/Login.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProxyStyle>
#include <memory>

#include "fontes/controler/Controller.User.h"
#include "fontes/views/Principal.h"
#include "platform/db/ADODataSet.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlName.h"
#include "platform/ui/Dialogs.h"
#include "resources/Pictures.h"

TfLogin* fLogin = nullptr;

namespace {

using ui::Named;

QLineEdit* NewEdit(QWidget* parent, const QString& name, const QLabel* label, const QRect& bounds) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setGeometry(bounds);
  edit->setAccessibleName(label->text());
  return edit;
}

TBitBtn* NewButton(TForm* owner, QWidget* parent, const QString& name, const QString& caption,
                   const QString& picture, int modalResult, const QRect& bounds) {
  auto* button = new TBitBtn(owner, parent);
  button->SetName(name);
  button->SetCaption(caption);
  button->SetGlyph(pictures::Icon(picture));
  button->SetModalResult(modalResult);
  button->setGeometry(bounds);
  return button;
}

// Shows every character of the password as "*", whatever the style's own choice.
class AsteriskStyle : public QProxyStyle {
 public:
  // One for the program, going with the QApplication, after every window.
  static AsteriskStyle* Instance() {
    static QPointer<AsteriskStyle> instance;
    if (instance.isNull()) {
      instance = new AsteriskStyle;
      instance->setParent(QCoreApplication::instance());
    }
    return instance;
  }

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

TfLogin::TfLogin(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("fLogin"));
  SetCaption(QStringLiteral("Área restrita"));
  SetClientSize(352, 231);
  SetPosition(poScreenCenter);
  SetColor(ButtonFaceColor());
  setWindowIcon(pictures::ApplicationIcon());

  GroupBox1 = Named(new QGroupBox(this), QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(40, 33, 273, 161);
  GroupBox1->setAccessibleName(QStringLiteral("Área restrita"));

  Label1 = Named(new QLabel(QStringLiteral("Login"), GroupBox1), QStringLiteral("Label1"));
  Label1->move(41, 32);
  Label1->adjustSize();
  Label2 = Named(new QLabel(QStringLiteral("Senha"), GroupBox1), QStringLiteral("Label2"));
  Label2->move(41, 56);
  Label2->adjustSize();

  _eLogin = NewEdit(GroupBox1, QStringLiteral("_eLogin"), Label1, QRect(96, 29, 121, 21));
  _eLogin->setText(QStringLiteral("admin"));
  _eLogin->setPlaceholderText(QStringLiteral("Informe o usuário"));
  Label1->setBuddy(_eLogin);

  _ePassword = NewEdit(GroupBox1, QStringLiteral("_ePassword"), Label2, QRect(96, 56, 121, 21));
  _ePassword->setEchoMode(QLineEdit::Password);
  _ePassword->setStyle(AsteriskStyle::Instance());
  _ePassword->setText(QStringLiteral("senha"));
  _ePassword->setPlaceholderText(QStringLiteral("Informa senha"));
  Label2->setBuddy(_ePassword);

  _btnCancelar = NewButton(this, GroupBox1, QStringLiteral("_btnCancelar"), QStringLiteral("Cancelar"),
                           QStringLiteral("cancel"), mrCancel, QRect(41, 99, 75, 25));
  _btnCancelar->OnClick = [this] { _btnCancelarClick(); };
  _btnOK = NewButton(this, GroupBox1, QStringLiteral("_btnOK"), QStringLiteral("OK"), QStringLiteral("ok"),
                     mrOk, QRect(142, 99, 75, 25));
  _btnOK->OnClick = [this] { _btnOKClick(); };
  SetCancelButton(_btnCancelar);
  SetDefaultButton(_btnOK);

  setTabOrder(_eLogin, _ePassword);
  setTabOrder(_ePassword, _btnCancelar);
  setTabOrder(_btnCancelar, _btnOK);
  _eLogin->setFocus();

  adsQry = new TADODataSet(this);
  adsQry->SetName(QStringLiteral("adsQry"));
}

TfLogin::~TfLogin() {
  if (fLogin == this) fLogin = nullptr;
}

void TfLogin::_btnOKClick() {
  // The controller goes at the end of the attempt, whatever happens.
  std::unique_ptr<TControllerUser> controller(new TControllerUser(this));
  Controller = controller.get();
  struct Forget {
    TControllerUser*& field;
    ~Forget() { field = nullptr; }
  } forget{Controller};

  Controller->SetDataSet(adsQry);
  const QString senha = _ePassword->text();
  const QString login = _eLogin->text();
  if (Controller->Logar(login, senha)) {
    Application->CreateForm(fPrincipal);
    fPrincipal->Show();
    Hide();
  } else {
    MessageBox(QStringLiteral("Usuário ou senha inválido!"), QStringLiteral("LOGAR"),
               mb::OK | mb::ICONWARNING);
  }
}

void TfLogin::_btnCancelarClick() {
  Application->Terminate();
}
