#pragma once

#include <QIcon>
#include <QPushButton>
#include <QString>
#include <functional>

#include "platform/rtl/Component.h"
#include "platform/ui/Forms.h"

// A push button that is a component. Clicking it first hands its ModalResult to its
// window (which matters only while that window runs modally), then runs OnClick; an
// error leaving OnClick is reported and the window goes on.
class TButton : public QPushButton, public TComponent {
  Q_OBJECT

 public:
  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TButton(TComponent* owner, QWidget* parent = nullptr);

  QString ClassName() const override { return QStringLiteral("TButton"); }

  std::function<void()> OnClick;

  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption) { setText(caption); }
  QString Hint() const { return toolTip(); }
  // A picture-only button is announced by its hint.
  void SetHint(const QString& hint) {
    setToolTip(hint);
    if (text().isEmpty()) setAccessibleName(hint);
  }
  void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

 protected:
  void NameChanged() override;

 private:
  void Clicked();

  int modalResult_ = 0;
};

// A button with a picture beside its caption.
class TBitBtn : public TButton {
  Q_OBJECT

 public:
  using TButton::TButton;

  QString ClassName() const override { return QStringLiteral("TBitBtn"); }

  void SetGlyph(const QIcon& glyph) { setIcon(glyph); }
  QIcon Glyph() const { return icon(); }
};
