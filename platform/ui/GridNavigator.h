#pragma once

#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>

namespace ui {

// The grid's own record navigator, shown below the rows. Unlike TDBNavigator, which
// walks the data set in its own order, it walks the rows as the grid shows them
// (sorted, grouped, filtered), so it asks its grid for every move and for what is
// possible. The grid never edits: insert, delete, edit and post stay disabled.
enum TGridNavigatorButton {
  gnbFirst,
  gnbPriorPage,
  gnbPrior,
  gnbNext,
  gnbNextPage,
  gnbLast,
  gnbInsert,
  gnbDelete,
  gnbEdit,
  gnbPost,
  gnbCancel,
  gnbRefresh,
  gnbSaveBookmark,
  gnbGotoBookmark
};
inline constexpr int kGridNavigatorButtonCount = gnbGotoBookmark + 1;

class GridNavigator : public QWidget {
  Q_OBJECT

 public:
  explicit GridNavigator(QWidget* parent = nullptr);

  // Whether a button is possible now, and what it does: the grid answers.
  std::function<bool(TGridNavigatorButton)> CanRun;
  std::function<void(TGridNavigatorButton)> Run;

  bool ButtonVisible(TGridNavigatorButton button) const { return visible_[button]; }
  void SetButtonVisible(TGridNavigatorButton button, bool visible);
  QToolButton* Button(TGridNavigatorButton button) const { return buttons_[button]; }
  static QString ButtonName(TGridNavigatorButton button);
  static QString ButtonHint(TGridNavigatorButton button);

  // Asks CanRun again for every button.
  void UpdateButtons();

 private:
  void UpdateHints();

  std::array<QToolButton*, kGridNavigatorButtonCount> buttons_{};
  std::array<bool, kGridNavigatorButtonCount> visible_{};
};

}  // namespace ui
