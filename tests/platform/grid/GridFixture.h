#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/GridView.h"
#include "platform/ui/Localizer.h"
#include "tests/support/TestSupport.h"

namespace gridtest {

// The order list's statement, as the search window runs it.
QString OrderListSql();

struct Order {
  QString client;   // "" for an order without a client
  QString user;     // "" for an order without a user
  QString entrada;  // "2024-03-05 10:30:00"
  double total = 0;
  bool status = true;
};

// Creates a shop database at path with the schema and the orders (ids 1, 2, ... in order;
// clients and users by name).
void CreateShop(const QString& path, const std::vector<Order>& orders);

// A scratch shop, its order list opened with the fields the search window defines, and
// a grid in a shown window whose view has the window's columns.
class GridTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the orders and opens the list with the grid on it.
  void Open(const std::vector<Order>& orders);
  // Five orders of three clients (one order without client or user).
  void OpenSample();
  TGridColumn* Column(const QString& fieldName) const { return view_->ColumnByFieldName(fieldName); }
  // The column's index in the view (its header section).
  int Logical(const QString& fieldName) const;
  // Texts of the rows as shown, top to bottom ("Cliente : Ana (2)" for a group row, else
  // the cell of column).
  QStringList ShownTexts(const QString& fieldName = QStringLiteral("id")) const;
  // The centre of a column's title, and of its filter button, in header viewport coordinates.
  QPoint TitleCentre(const QString& fieldName) const;
  QPoint FilterButton(const QString& fieldName) const;

  // Mouse press, moves and release, as the operator drags from one widget to another.
  static void Drag(QWidget* from, const QPoint& fromPos, QWidget* to, const QPoint& toPos);
  static void Click(QWidget* widget, const QPoint& pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

  testsupport::ScopedExeFolder folder_;
  rtl::ScopedFormatSettings settings_{TFormatSettings::PtBR()};
  std::unique_ptr<TComponent> owner_;
  QString path_;
  TADOConnection* connection_ = nullptr;
  TADODataSet* list_ = nullptr;
  TDataSource* source_ = nullptr;
  std::unique_ptr<QWidget> window_;
  TGrid* grid_ = nullptr;
  TGridDBTableView* view_ = nullptr;
  TLocalizer* localizer_ = nullptr;
};

}  // namespace gridtest
