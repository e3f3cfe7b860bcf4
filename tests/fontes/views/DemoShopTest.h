#pragma once

#include <gtest/gtest.h>

#include <QString>

#include "fontes/dados/uDM.h"
#include "fontes/views/Principal.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

// The demonstration database (8 clients, 8 services, 4 users) in a scratch executable
// folder with its ServerConfig.ini, the data module connected and the main window made.
class DemoShopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = exe_.FilePath(QStringLiteral("quorvel.db"));
    admin::CreateDatabase(database_, QString(), true, false);
    admin::WriteServerConfig(exe_.Folder(), database_, QString(), false);
    app_.SetTitle(QStringLiteral("Quorvel"));
    app_.CreateForm(DM);
    ASSERT_TRUE(DM->ADO->Connected());
    fPrincipal = CreateForm<TfPrincipal>(&app_);
  }
  void TearDown() override { uitest::ProcessDeferredDeletes(); }

  testsupport::ScopedExeFolder exe_;
  QString database_;
  TApplication app_;
};
