#pragma once

#include <initializer_list>

#include "platform/ui/Forms.h"

class QFrame;
class QLabel;
class TCustomDBEdit;
class TDataSet;
class TDataSource;
class TDBGrid;
class TDBNavigator;

// What the three register windows share: a grid over one of the data module's shared
// data sets, the record navigator under it and a borderless panel of edit boxes docked
// to the bottom edge, all bound through DataSource1. The window opens the data set when
// shown and closes it when it closes; closing also frees the window.
//
// The data set belongs to the data module, so two windows of one register share it:
// closing either closes it for both.
class TRegisterForm : public TForm {
  Q_OBJECT

 public:
  ~TRegisterForm() override;

  TDBGrid* DBGrid1 = nullptr;
  TDBNavigator* DBNavigator1 = nullptr;
  TDataSource* DataSource1 = nullptr;

  // Opens the data set unless it is open already.
  void FormShow();
  // Closes the data set, frees the window and clears its program-wide reference.
  void FormClose(TCloseAction& Action);

 protected:
  // The common frame: caption, 734 × 501, Tahoma 11 px, the data source on dataSet
  // (none without a data module), grid, navigator and a panel of panelHeight pixels.
  TRegisterForm(TComponent* AOwner, const QString& name, const QString& caption, TDataSet* dataSet,
                const QString& panelName, int panelHeight);

  // The window's program-wide reference (fClientes, ...) is set to nothing.
  virtual void ClearReference() = 0;

  QFrame* Panel() const { return panel_; }
  // A label of the panel at left 72, sized to its text.
  QLabel* AddLabel(const QString& name, const QString& caption, int top);
  // Puts a box on the panel at left 72, bound to a field of DataSource1, named after
  // its label for assistive technology.
  void PlaceBox(TCustomDBEdit* box, const QString& name, const QString& fieldName, QLabel* label, int top,
                int width, int height);
  // The keyboard order; the first control takes the focus when the window opens.
  void DefineTabOrder(std::initializer_list<QWidget*> order);

  void resizeEvent(QResizeEvent* event) override;

 private:
  // Panel at the bottom, navigator above it, grid in the rest.
  void Dock();

  QFrame* panel_ = nullptr;
};
