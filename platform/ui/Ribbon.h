#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QStackedWidget;
class QTabBar;
class TRibbon;

// The colours of a ribbon colour scheme; the status bar shares them.
struct TRibbonColors {
  QColor TabAreaTop, TabAreaBottom;
  QColor TabText, TabHotTop, TabHotBottom, TabSelectedTop;
  QColor PanelTop, PanelBottom, PanelBorder;
  QColor GroupTop, GroupBottom, GroupBorder, GroupInnerLine;
  QColor GroupCaptionTop, GroupCaptionBottom, GroupCaptionText;
  QColor ItemText, ItemDisabledText;
  QColor HotTop, HotBottom, HotBorder;
  QColor PressedTop, PressedBottom, PressedBorder;
  QColor AppButtonTop, AppButtonBottom, AppButtonBorder;
  QColor StatusTop, StatusBottom, StatusBorder, StatusText;

  static TRibbonColors Blue();
  // "Blue" is the one scheme; any other name raises EComponentError.
  static TRibbonColors ByName(const QString& schemeName);
};

// A plain bar item, as the application menu lists it. Its hint follows the caption
// until a hint of its own is set.
class TBarButton : public QAction {
  Q_OBJECT
 public:
  explicit TBarButton(QObject* parent = nullptr);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);
  QString Hint() const { return toolTip(); }
  void SetHint(const QString& hint);

  // Runs on every click; errors leaving it are reported. Empty: the item is inert.
  std::function<void()> OnClick;

 private:
  bool ownHint_ = false;
};

// A large bar button: a 32 × 32 picture above a caption of up to two lines. Its hint
// follows the caption until a hint of its own is set. Never takes the keyboard focus.
class TBarLargeButton : public QAbstractButton {
  Q_OBJECT
 public:
  static constexpr int kPictureSize = 32;

  explicit TBarLargeButton(QWidget* parent = nullptr);

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption);
  QString Hint() const { return toolTip(); }
  void SetHint(const QString& hint);
  void SetPicture(const QIcon& picture);

  // Runs on every click; errors leaving it are reported. Empty: the button is inert.
  std::function<void()> OnClick;

  // The caption as drawn: one line, or two when it has several words and is wide.
  QStringList CaptionLines() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool ownHint_ = false;
};

// A toolbar: a row of large buttons under a caption, shown inside a ribbon group.
class TBar : public QWidget {
  Q_OBJECT
 public:
  explicit TBar(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  // Appends a button named `name`; the bar owns it.
  TBarLargeButton* AddLargeButton(const QString& name, const QString& caption, const QIcon& picture = {});
  QList<TBarLargeButton*> LargeButtons() const { return buttons_; }

 signals:
  void CaptionChanged(const QString& caption);

 private:
  QString caption_;
  QList<TBarLargeButton*> buttons_;
};

// Holds the toolbars the ribbon's groups show. Bars never placed in a group are freed
// with the manager; placed ones belong to their group.
class TBarManager : public QObject {
  Q_OBJECT
 public:
  explicit TBarManager(QObject* parent = nullptr);
  ~TBarManager() override;

  // Raises EComponentError when a bar of that name exists already.
  TBar* AddBar(const QString& name, const QString& caption);
  // nullptr when there is none of that name.
  TBar* Bar(const QString& name) const;
  QList<TBar*> Bars() const;

  // Bar items draw in the system font, whatever font their window uses.
  static QFont ItemFont();

 private:
  std::vector<QPointer<TBar>> bars_;
};

// A group of a ribbon tab: shows one toolbar, with its caption along the bottom edge.
class TRibbonGroup : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kCaptionHeight = 17;

  explicit TRibbonGroup(QWidget* parent = nullptr);

  // Shows `bar` in the group, which takes it over.
  void SetToolBar(TBar* bar);
  TBar* ToolBar() const { return bar_; }

  // The caption set on the group, else the toolbar's.
  QString Caption() const;
  void SetCaption(const QString& caption);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPointer<TBar> bar_;
  QString caption_;
};

// One tab of the ribbon: the page of groups shown while its header is selected.
class TRibbonTab : public QWidget {
  Q_OBJECT
 public:
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  // Appends a group; the tab owns it.
  TRibbonGroup* AddGroup(const QString& name = {});
  QList<TRibbonGroup*> Groups() const { return groups_; }

  TRibbon* Ribbon() const { return ribbon_; }

 private:
  friend class TRibbon;
  explicit TRibbonTab(TRibbon* ribbon);

  TRibbon* ribbon_;
  QString caption_;
  QList<TRibbonGroup*> groups_;
};

// The application menu opened by the ribbon's application button.
class TApplicationMenu : public QMenu {
  Q_OBJECT
 public:
  explicit TApplicationMenu(QWidget* parent = nullptr);

  // Appends an item named `name`; the menu owns it.
  TBarButton* AddButton(const QString& name, const QString& caption, const QIcon& picture = {});
};

// The ribbon along the top of a window: an application button, tab headers, and the
// selected tab's groups. Fixed height, never in the keyboard focus chain.
class TRibbon : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 126;
  static constexpr int kTabRowHeight = 24;

  explicit TRibbon(QWidget* parent = nullptr);

  // Appends a tab named `name`; the ribbon owns it. The first tab starts selected.
  TRibbonTab* AddTab(const QString& name, const QString& caption);
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  TRibbonTab* Tab(int index) const { return tabs_.at(static_cast<size_t>(index)); }

  TRibbonTab* ActiveTab() const;
  // Raises EComponentError for a tab of another ribbon.
  void SetActiveTab(TRibbonTab* tab);

  // The menu the application button opens; the ribbon does not take it over.
  void SetApplicationMenu(TApplicationMenu* menu);
  TApplicationMenu* ApplicationMenu() const { return menu_; }
  QAbstractButton* ApplicationButton() const { return appButton_; }
  void SetApplicationButtonPicture(const QIcon& picture);

  QString ColorSchemeName() const { return schemeName_; }
  // Raises EComponentError for an unknown scheme.
  void SetColorSchemeName(const QString& name);
  const TRibbonColors& Colors() const { return colors_; }

  QSize sizeHint() const override;

 signals:
  void ActiveTabChanged(TRibbonTab* tab);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TRibbonTab;
  void TabCaptionChanged(TRibbonTab* tab);
  void ShowApplicationMenu();
  void LayoutParts();

  QAbstractButton* appButton_;
  QTabBar* tabBar_;
  QStackedWidget* pages_;
  QPointer<TApplicationMenu> menu_;
  std::vector<TRibbonTab*> tabs_;
  QString schemeName_;
  TRibbonColors colors_;
};
