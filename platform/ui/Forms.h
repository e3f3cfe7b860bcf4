#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/rtl/Component.h"

class QEventLoop;

// Modal results, by their classic values.
enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrClose = 8,
};

// What closing a window does with it.
enum TCloseAction { caNone = 0, caHide = 1, caFree = 2, caMinimize = 3 };

enum TFormBorderStyle {
  bsSizeable,  // ordinary frame with system menu, minimise and maximise
  bsDialog,    // fixed size, close box only
  bsNone,      // no frame and no title bar
};

enum TPosition {
  poDesigned,      // where the design puts it
  poDefault,       // where the window system puts it
  poScreenCenter,  // centred on the desktop when first shown
};

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TNotifyEvent = std::function<void()>;
using TCloseEvent = std::function<void(TCloseAction& action)>;

// The system's "button face" colour, the background of plain windows.
QColor ButtonFaceColor();

// A top-level window that is also a component.
//
// Design: a window's design is its constructor. Base constructors run first, so an
// ancestor's design is loaded before the descendant's, which overrides only what it
// names (handlers included).
//
// Events: assign the handlers (OnCreate, OnShow, OnHide, OnClose). The virtual
// DoCreate/DoShow/DoHide/DoClose run them; a base class that must act whatever the
// handlers are overrides those and calls the inherited one.
//
// Creation is two-phase because a constructor cannot reach a derived virtual: create
// windows with CreateForm<T>(owner) (or TApplication::CreateForm, or the class
// registry), which constructs and then calls AfterConstruction() to run OnCreate.
// An error leaving OnCreate is reported and creation completes.
//
// Ownership: the owner (a TComponent) destroys the window. An owned window is still a
// separate top-level window: it has no QWidget parent.
class TForm : public QWidget, public TComponent {
  Q_OBJECT

 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // The root of the class registry's chains (see ClassRegistry.h).
  static QString StaticClassName() { return QStringLiteral("TForm"); }
  QString ClassName() const override { return StaticClassName(); }

  // Second creation phase: runs the creation handler once.
  void AfterConstruction();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;

  // Shows the window modeless, in front and active. OnShow runs first, and an error
  // in it reaches the caller (the window then stays hidden).
  void Show();
  // Runs the window modally: the application's other windows take no input while a
  // nested event loop runs until ModalResult is non-zero. Closing the window by its
  // close box ends the run with mrCancel. An error in OnShow leaves ShowModal.
  int ShowModal();
  void Hide();
  // Asks OnClose what to do (caHide by default); closing the application's main window
  // terminates the application. In a modal run, Close ends the run with mrCancel.
  void Close();
  // Destroys the window once control is back in the event loop.
  void Release();
  // Repaints at once, even before the event loop runs.
  void Refresh();

  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption) { setWindowTitle(caption); }

  int ModalResult() const { return modalResult_; }
  // A non-zero result ends a modal run once the current event has been handled.
  void SetModalResult(int result);
  bool IsModal() const { return modalLoop_ != nullptr; }

  // Enter presses the default button, Esc the cancel button, in modeless windows too.
  void SetDefaultButton(QAbstractButton* button);
  void SetCancelButton(QAbstractButton* button);
  QAbstractButton* DefaultButton() const { return defaultButton_; }
  QAbstractButton* CancelButton() const { return cancelButton_; }

  // Design helpers.
  void SetClientSize(int width, int height) { resize(width, height); }
  void SetBorderStyle(TFormBorderStyle style);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetPosition(TPosition position) { position_ = position; }
  TPosition Position() const { return position_; }
  void SetWindowState(TWindowState state);
  TWindowState WindowState() const;
  void SetColor(const QColor& color);

  // Runs OnShow before the window appears, whoever shows it (show(), Show(), ...).
  void setVisible(bool visible) override;

 protected:
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);

  void NameChanged() override;
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CenterOnScreen();
  // End of a modal run: OnClose may refuse (caNone) or free the window.
  void CloseModal();
  void PressButton(QAbstractButton* button);

  bool created_ = false;
  bool shownOnce_ = false;
  int modalResult_ = mrNone;
  QEventLoop* modalLoop_ = nullptr;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TPosition position_ = poDesigned;
  QPointer<QAbstractButton> defaultButton_;
  QPointer<QAbstractButton> cancelButton_;
};

// Creates a window or data module owned by owner, in both creation phases.
template <class T, class... Args>
T* CreateForm(TComponent* owner, Args&&... args) {
  T* instance = new T(owner, std::forward<Args>(args)...);
  instance->AfterConstruction();
  return instance;
}
