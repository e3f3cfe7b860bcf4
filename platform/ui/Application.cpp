#include "platform/ui/Application.h"

#include <QEvent>
#include <QEventLoop>

#include "platform/ui/AppTitle.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/Fonts.h"

TApplication* Application = nullptr;

namespace {
const QEvent::Type QuitRequestEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ui::ReportCurrentException();
    return true;
  }
}

// The quit request travels as a posted event, so that it is fetched in turn, after
// the events already waiting.
class TApplication::QuitReceiver : public QObject {
 public:
  explicit QuitReceiver(TApplication* application) : application_(application) {}

  bool event(QEvent* event) override {
    if (event->type() != QuitRequestEvent) return QObject::event(event);
    application_->QuitRequestArrived();
    return true;
  }

 private:
  TApplication* application_;
};

TApplication::TApplication()
    : TComponent(nullptr),
      events_(std::make_unique<ui::ApplicationEvents>()),
      quitReceiver_(std::make_unique<QuitReceiver>(this)) {
  if (Application == nullptr) Application = this;
  // Termination is explicit (Terminate); hiding the last window must not end the run.
  QApplication::setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() {
  Finalize();
  if (Application == this) Application = nullptr;
  ui::ResetApplicationTitle();
}

void TApplication::Initialize() {
  ui::InstallFonts();
  ui::InstallTranslations();
}

QString TApplication::Title() const {
  return ui::ApplicationTitle();
}

void TApplication::SetTitle(const QString& title) {
  ui::SetApplicationTitle(title);
}

void TApplication::Run() {
  if (ShowMainForm && !terminated_ && mainForm_ && !mainForm_->isVisible()) mainForm_->Show();
  if (terminated_) {
    // The request was fetched before the loop (by a nested loop): end at once.
    ProcessMessages();
    return;
  }
  QEventLoop loop;
  mainLoop_ = &loop;
  loop.exec();
  mainLoop_ = nullptr;
}

void TApplication::Terminate() {
  QCoreApplication::postEvent(quitReceiver_.get(), new QEvent(QuitRequestEvent));
}

void TApplication::QuitRequestArrived() {
  terminated_ = true;
  emit events_->Terminating();
  if (mainLoop_ != nullptr) mainLoop_->quit();
}

void TApplication::ProcessMessages() {
  QCoreApplication::processEvents();
}

void TApplication::HandleException(const std::exception& error) {
  ShowException(error);
}

void TApplication::Finalize() {
  DestroyComponents();
}
