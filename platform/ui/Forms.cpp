#include "platform/ui/Forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/Fonts.h"

QColor ButtonFaceColor() {
  return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

TForm::TForm(TComponent* owner) : QWidget(nullptr, Qt::Window), TComponent(owner) {
  setFont(ui::WindowFont());
}

TForm::~TForm() {
  // Owned components go while this window is still whole.
  DestroyComponents();
}

void TForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  ui::RunHandler([this] { DoCreate(); });
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate();
}

void TForm::DoShow() {
  if (OnShow) OnShow();
}

void TForm::DoHide() {
  if (OnHide) OnHide();
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(action);
}

void TForm::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

void TForm::setVisible(bool visible) {
  if (visible == isVisible()) {
    QWidget::setVisible(visible);
    return;
  }
  if (visible) {
    // A window made without the two-phase helper still gets its creation handler.
    AfterConstruction();
    DoShow();
    const bool first = !shownOnce_;
    if (first && borderStyle_ == bsDialog) setFixedSize(size());
    shownOnce_ = true;
    QWidget::setVisible(true);
    // Centred once shown, when the frame around the client area is known.
    if (first && position_ == poScreenCenter) CenterOnScreen();
  } else if (IsModal()) {
    // Hiding a modal window would leave the application blocked: end the run instead.
    if (modalResult_ == mrNone) SetModalResult(mrCancel);
  } else {
    QWidget::setVisible(false);
    DoHide();
  }
}

void TForm::CenterOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || isMaximized() || isFullScreen()) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void TForm::Show() {
  setVisible(true);
  raise();
  activateWindow();
}

void TForm::Hide() {
  setVisible(false);
}

int TForm::ShowModal() {
  if (IsModal() || isVisible()) throw Exception(QStringLiteral("Cannot make a visible window modal"));
  modalResult_ = mrNone;
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modalLoop_ = &loop;
  try {
    Show();
  } catch (...) {
    modalLoop_ = nullptr;
    setWindowModality(Qt::NonModal);
    throw;
  }
  const QMetaObject::Connection terminating =
      Application != nullptr ? connect(Application->Events(), &ui::ApplicationEvents::Terminating, &loop,
                                       [this] { SetModalResult(mrCancel); })
                             : QMetaObject::Connection();
  if (Application != nullptr && Application->Terminated()) modalResult_ = mrCancel;
  while (modalResult_ == mrNone) {
    // exec() refuses to run once the whole application was told to quit.
    if (loop.exec() != 0) modalResult_ = mrCancel;
    if (modalResult_ != mrNone) CloseModal();
  }
  disconnect(terminating);
  modalLoop_ = nullptr;
  QWidget::setVisible(false);
  setWindowModality(Qt::NonModal);
  return modalResult_;
}

void TForm::CloseModal() {
  try {
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) modalResult_ = mrNone;
    if (action == caFree) Release();
  } catch (...) {
    modalResult_ = mrNone;
    ui::ReportCurrentException();
  }
}

void TForm::SetModalResult(int result) {
  modalResult_ = result;
  if (modalLoop_ != nullptr && result != mrNone) modalLoop_->quit();
}

void TForm::Close() {
  if (IsModal()) {
    SetModalResult(mrCancel);
    return;
  }
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      showMinimized();
      break;
    case caFree:
      Release();
      break;
    case caNone:
      break;
  }
}

void TForm::Release() {
  QWidget::setVisible(false);
  deleteLater();
}

void TForm::Refresh() {
  // Before the loop runs a new window may not be exposed yet; let it be, then paint.
  if (isVisible() && windowHandle() != nullptr && !windowHandle()->isExposed())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  repaint();
}

void TForm::SetDefaultButton(QAbstractButton* button) {
  // Only the look: outside dialogs Qt leaves Enter to us.
  if (auto* previous = qobject_cast<QPushButton*>(defaultButton_.data())) previous->setDefault(false);
  defaultButton_ = button;
  if (auto* push = qobject_cast<QPushButton*>(button)) push->setDefault(true);
}

void TForm::SetCancelButton(QAbstractButton* button) {
  cancelButton_ = button;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  Qt::WindowFlags flags = Qt::Window;
  switch (style) {
    case bsSizeable:
      setMinimumSize(0, 0);
      setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
      break;
    case bsDialog:
      flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
               Qt::WindowCloseButtonHint;
      if (shownOnce_) setFixedSize(size());
      break;
    case bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
  }
  const bool wasVisible = isVisible();
  setWindowFlags(flags);  // hides the window
  if (wasVisible) QWidget::setVisible(true);
}

void TForm::SetWindowState(TWindowState state) {
  switch (state) {
    case wsNormal:
      setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
      break;
    case wsMinimized:
      setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
      break;
    case wsMaximized:
      setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
      break;
  }
}

TWindowState TForm::WindowState() const {
  if (windowState() & Qt::WindowMinimized) return wsMinimized;
  if (windowState() & Qt::WindowMaximized) return wsMaximized;
  return wsNormal;
}

void TForm::SetColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
  setAutoFillBackground(true);
}

bool TForm::event(QEvent* event) {
  // Errors from this window's own events stop here, whatever QApplication runs us.
  try {
    return QWidget::event(event);
  } catch (...) {
    ui::ReportCurrentException();
    return true;
  }
}

void TForm::closeEvent(QCloseEvent* event) {
  // The close box asks like Close(); what happens to the window is ours to decide.
  event->ignore();
  Close();
}

void TForm::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    // A focused push button takes Enter itself, as the default one would.
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    PressButton(focused != nullptr ? static_cast<QAbstractButton*>(focused) : defaultButton_.data());
    return;
  }
  if (plain && event->key() == Qt::Key_Escape && cancelButton_) {
    PressButton(cancelButton_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm::PressButton(QAbstractButton* button) {
  if (button != nullptr && button->isVisible() && button->isEnabled()) button->click();
}
