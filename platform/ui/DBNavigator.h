#pragma once

#include <QString>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "platform/rtl/Component.h"

class TDataSource;
class TDataSet;

enum TNavigateBtn {
  nbFirst,
  nbPrior,
  nbNext,
  nbLast,
  nbInsert,
  nbDelete,
  nbEdit,
  nbPost,
  nbCancel,
  nbRefresh
};
inline constexpr int kNavigateButtonCount = nbRefresh + 1;

// A set of navigator buttons: bit (1 << button).
using TNavButtonSet = unsigned;
constexpr TNavButtonSet NavButton(TNavigateBtn button) {
  return 1U << button;
}
inline constexpr TNavButtonSet kAllNavButtons = (1U << kNavigateButtonCount) - 1;

// The record navigator: ten buttons side by side across its width (first, prior, next,
// last, insert, delete, edit, post, cancel, refresh), each with its picture and hint.
// The buttons are enabled from the data set's state: moving back not at the first row,
// moving on not at the last; insert, delete (not on an empty data set) and edit only
// when the data set can be modified and is not editing; post and cancel only while
// editing; refresh while open and not editing. Delete asks "Delete record?" first while
// ConfirmDelete is on. It takes no keyboard focus, so pressing it leaves the focus (and
// the pending text) in the edit box where it was.
class TDBNavigator : public QWidget, public TComponent {
  Q_OBJECT

 public:
  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TDBNavigator(TComponent* owner, QWidget* parent = nullptr);
  ~TDBNavigator() override;

  QString ClassName() const override { return QStringLiteral("TDBNavigator"); }

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);

  TNavButtonSet VisibleButtons() const { return visible_; }
  void SetVisibleButtons(TNavButtonSet buttons);
  bool ConfirmDelete() const { return confirmDelete_; }
  void SetConfirmDelete(bool confirm) { confirmDelete_ = confirm; }

  // The button widget (objectName "nbFirst", "nbPrior", ...).
  QToolButton* Button(TNavigateBtn button) const { return buttons_[button]; }
  // Hint of a button in the current translation.
  static QString ButtonHint(TNavigateBtn button);
  static QString ButtonName(TNavigateBtn button);

  // Runs a button's action as a click does, enabled or not; raises what the data set
  // raises (EAbort from a refused question included).
  void BtnClick(TNavigateBtn button);

  // Before a button's action (an EAbort there cancels it) and after it.
  std::function<void(TNavigateBtn)> BeforeAction;
  std::function<void(TNavigateBtn)> OnClick;

 protected:
  void NameChanged() override;

 private:
  class Link;
  friend class Link;

  void UpdateButtons();
  void UpdateHints();
  void UpdatePictures();
  void Clicked(TNavigateBtn button);

  std::unique_ptr<Link> link_;
  std::array<QToolButton*, kNavigateButtonCount> buttons_{};
  TNavButtonSet visible_ = kAllNavButtons;
  bool confirmDelete_ = true;
};
