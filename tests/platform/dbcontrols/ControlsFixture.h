#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <ostream>

#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/db/DataSource.h"
#include "platform/rtl/FormatSettings.h"

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}

namespace ctltest {

// A scratch database with the shop's schema and a few known rows, its connection open,
// and a shown, active window to put controls on (focus moves for real).
//
// Rows: Clientes 1 Ana, 2 José, 3 Maria; Users 1 ana/Ana Souza, 2 bia/Beatriz;
// Servicos 1..3; OrdensServico 1 (client 1, received by 2, delivered by 1,
// 05/03/2024 14:30, 1234.50, active) and 2 (client 2, nobody, 06/03/2024 09:15, 10,
// inactive).
class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Another program's view of the file.
  void Exec(const QString& sql);
  QString Scalar(const QString& sql);

  // An open data set on the test connection (owned by the fixture) and its source.
  TADODataSet* Open(const QString& sql);
  TDataSource* SourceOf(TDataSet* dataSet);

  QWidget* Host() const { return host_.get(); }
  // Shows the host window and makes it the active one.
  void ShowHost();
  // Gives the focus to a control of the host, as a Tab would.
  static void Focus(QWidget* widget);

  rtl::ScopedFormatSettings settings_{TFormatSettings::PtBR()};
  QTemporaryDir dir_;
  QString path_;
  std::unique_ptr<TComponent> owner_;
  TADOConnection* connection_ = nullptr;
  std::unique_ptr<QWidget> host_;
  // A plain box to move the focus to.
  QWidget* elsewhere_ = nullptr;
};

}  // namespace ctltest
