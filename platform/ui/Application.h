#pragma once

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QString>
#include <exception>
#include <memory>
#include <type_traits>

#include "platform/rtl/Component.h"
#include "platform/ui/Forms.h"

class QEventLoop;

// The program's QApplication: every error that leaves an event handler is reported
// (ShowException) instead of unwinding through Qt; the silent abort shows nothing.
// The program creates one in main() before its TApplication.
class TQtApplication : public QApplication {
 public:
  TQtApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

namespace ui {
// Carries the application's termination to the modal loops that must end with it.
class ApplicationEvents : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 signals:
  void Terminating();
};
}  // namespace ui

// The application object: owner of the data modules and top-level windows, keeper of
// the title and the main window, and runner of the event loop. It sits beside whatever
// QApplication exists (a TQtApplication in the program, the test runner's in tests).
class TApplication : public TComponent {
 public:
  // Becomes the global Application while it lives.
  TApplication();
  // Destroys every component it owns.
  ~TApplication() override;

  QString ClassName() const override { return QStringLiteral("TApplication"); }

  // Installs fonts and translations; the event loop alone decides when the program ends.
  void Initialize();

  // Until set, derived from the executable's file name (QUORVEL -> Quorvel).
  QString Title() const;
  void SetTitle(const QString& title);

  // Creates a window or data module owned by the application. The reference is set
  // before the creation handler runs; the first window so made becomes MainForm.
  // If the constructor fails, the reference is cleared and the error goes on.
  template <class T>
  void CreateForm(T*& reference);

  TForm* MainForm() const { return mainForm_; }
  // Whether Run shows the main window first (default true).
  bool ShowMainForm = true;

  // Processes events until termination is requested.
  void Run();
  // Posts a quit request: the loop ends once the events already waiting are handled.
  // Asked before Run, it ends Run as soon as that starts; modal runs end with mrCancel.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles the events waiting, then returns.
  void ProcessMessages();

  // The report of an error that reached the event loop.
  void HandleException(const std::exception& error);

  // Destroys every owned component now (also done by the destructor).
  void Finalize();

  ui::ApplicationEvents* Events() const { return events_.get(); }

 private:
  class QuitReceiver;
  void QuitRequestArrived();

  std::unique_ptr<ui::ApplicationEvents> events_;
  std::unique_ptr<QObject> quitReceiver_;
  QPointer<TForm> mainForm_;
  QEventLoop* mainLoop_ = nullptr;
  bool terminated_ = false;
};

// The application object of the running program, or null.
extern TApplication* Application;

template <class T>
void TApplication::CreateForm(T*& reference) {
  try {
    reference = new T(this);
  } catch (...) {
    reference = nullptr;
    throw;
  }
  T* instance = reference;
  instance->AfterConstruction();
  if constexpr (std::is_base_of_v<TForm, T>) {
    if (mainForm_.isNull()) mainForm_ = instance;
  }
}
