#include "fontes/Startup.h"

#include <QLabel>
#include <cstdlib>

#include "fontes/dados/uDM.h"
#include "fontes/views/Login.h"
#include "fontes/views/Splash.h"
#include "platform/ui/Application.h"
#include "platform/ui/ControlPictures.h"
#include "resources/Pictures.h"

QLabel* lLabelApp = nullptr;

namespace startup {

namespace {

bool HasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

void Prepare(TApplication& application, const StepObserver& observer) {
  const auto done = [&observer](const char* step) {
    if (observer) observer(QString::fromLatin1(step));
  };
  application.Initialize();
  // The controls draw our own pictures; names the set lacks keep their drawn glyphs.
  ui::SetPictureProvider([](const QString& name) {
    return pictures::Exists(name) ? pictures::Icon(name) : QIcon();
  });
  done("Initialize");
  // Made directly, so that it never becomes the application's main window.
  fSplash = CreateForm<TfSplash>(&application);
  done("CreateSplash");
  lLabelApp = new QLabel(fSplash);
  lLabelApp->setObjectName(QStringLiteral("lLabelApp"));
  lLabelApp->hide();  // never displayed
  done("CreateLabel");
  // Still the title derived from the executable's name: the next steps set the real one.
  fSplash->MostrarForm(lLabelApp);
  done("MostrarForm");
  // No event loop runs yet and opening the database may take long.
  fSplash->Refresh();
  done("Refresh");
  application.SetTitle(QStringLiteral("Quorvel"));
  done("Title");
  application.CreateForm(DM);
  done("CreateDM");
  application.CreateForm(fLogin);
  done("CreateLogin");
  // Not the main window and no close handler: it is only hidden, and stays so.
  fSplash->Close();
  done("CloseSplash");
  fLogin->Show();
  done("ShowLogin");
}

int Run(TApplication& application, const StepObserver& observer) {
  Prepare(application, observer);
  application.Run();
  if (observer) observer(QStringLiteral("Run"));
  return EXIT_SUCCESS;
}

bool HasDisplay() {
  return HasEnv("DISPLAY") || HasEnv("WAYLAND_DISPLAY") || HasEnv("QT_QPA_PLATFORM");
}

QString NoDisplayMessage() {
  return QStringLiteral(
      "Quorvel: nenhuma tela disponível (DISPLAY e WAYLAND_DISPLAY vazios); "
      "abra o programa numa sessão gráfica ou defina QT_QPA_PLATFORM.");
}

}  // namespace startup
