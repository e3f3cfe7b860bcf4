#include "fontes/views/Splash.h"

#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "resources/Pictures.h"

TfSplash* fSplash = nullptr;

TfSplash::TfSplash(TComponent* AOwner) : TForm(AOwner) {
  SetName(QStringLiteral("fSplash"));
  SetBorderStyle(bsNone);
  SetPosition(poScreenCenter);
  SetClientSize(pictures::kSplashWidth, pictures::kSplashHeight);
  SetColor(ButtonFaceColor());
  setWindowIcon(pictures::ApplicationIcon());

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setAccessibleDescription(Image1->objectName());
  Image1->setAccessibleName(QStringLiteral("Imagem de abertura"));
  Image1->setGeometry(0, 0, pictures::kSplashWidth, pictures::kSplashHeight);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setPixmap(pictures::Splash());

  // Created after the picture, so it is drawn above it; no background of its own.
  _lNome = new QLabel(this);
  _lNome->setObjectName(QStringLiteral("_lNome"));
  _lNome->setAccessibleDescription(_lNome->objectName());
  _lNome->setFont(ui::FontOfHeight(QStringLiteral("Calibri"), -40));
  QPalette palette = _lNome->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  _lNome->setPalette(palette);
  _lNome->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  SetNome(QStringLiteral("{%ApplicationName%}"));
}

TfSplash::~TfSplash() {
  if (fSplash == this) fSplash = nullptr;
}

void TfSplash::SetNome(const QString& caption) {
  _lNome->setText(caption);
  const QSize size = _lNome->sizeHint();
  _lNome->setGeometry(kNomeRight - size.width(), kNomeTop, size.width(), size.height());
}

void TfSplash::MostrarForm(QLabel* ALabelInfo) {
  Q_UNUSED(ALabelInfo);
  SetNome(Application != nullptr ? Application->Title() : QString());
  Show();
}
