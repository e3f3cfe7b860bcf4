#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <functional>
#include <vector>

#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "fontes/dados/uDM.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/AppTitle.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"

namespace {

struct Box {
  QString text;
  QString caption;
  int flags;
};

// Answers every message box with answer and keeps what was shown.
class BoxRecorder {
 public:
  BoxRecorder() {
    previous_ = SetMessageBoxHandler([this](const QString& text, const QString& caption, int flags) {
      boxes.push_back({text, caption, flags});
      return answer;
    });
  }
  ~BoxRecorder() { SetMessageBoxHandler(previous_); }

  std::vector<Box> boxes;
  int answer = id::OK;

 private:
  MessageBoxHandler previous_;
};

class DMTest : public ::testing::Test {
 public:
  void TearDown() override { delete DM; }

  // A demo database at relativePath inside the scratch folder, named in ServerConfig.ini.
  QString MakeDatabase(const QString& relativePath = QStringLiteral("demo.db"),
                       const QString& password = QString()) {
    const QString path = exe_.FilePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    admin::CreateDatabase(path, password, true, false);
    WriteConfig(path, password);
    return path;
  }
  void WriteConfig(const QString& path, const QString& password) {
    TUtil::WriteIni(TUtil::IniFileServer(), INI_SESSAO_CONEXAO, INI_BD, path);
    TUtil::WriteIni(TUtil::IniFileServer(), INI_SESSAO_CONEXAO, INI_PSWDB, TUtil::Criptografar(password));
  }
  // Constructs the module (which connects) and runs its creation handler.
  TDM* Create() {
    DM = new TDM(nullptr);
    DM->AfterConstruction();
    return DM;
  }

  testsupport::ScopedExeFolder exe_;
  BoxRecorder recorder_;
};

TEST_F(DMTest, ConnectionStringTakesPathAndPasswordVerbatim) {
  const struct {
    const char* folder;
    const char* password;
  } cases[] = {
      {"Loja Centro; filial 2/dados", "Segredo 1"},
      {"simples", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const QString password = QString::fromUtf8(c.password);
    const QString path =
        MakeDatabase(QString::fromUtf8(c.folder) + QStringLiteral("/banco de dados.db"), password);
    Create();
    EXPECT_EQ(DM->ADO->ConnectionString(), QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                               path + QStringLiteral(";Jet OLEDB:Database Password=") +
                                               password);
    EXPECT_TRUE(DM->ADO->Connected());
    EXPECT_TRUE(recorder_.boxes.empty());
    delete DM;
  }
  EXPECT_TRUE(DM == nullptr);
}

TEST_F(DMTest, ConnectionStringIsBuiltAnewBeforeEveryConnect) {
  MakeDatabase();
  Create();
  WriteConfig(QStringLiteral("/outro/caminho.db"), QStringLiteral("nova"));
  DM->ADOBeforeConnect(DM->ADO);
  EXPECT_EQ(DM->ADO->ConnectionString(),
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/outro/caminho.db;"
                           "Jet OLEDB:Database Password=nova"));
}

TEST_F(DMTest, FailedConnectionIsReportedTwiceAndEndsTheProgram) {
  const struct {
    const char* name;
    std::function<void(DMTest&)> arrange;
    const char* providerText;
  } cases[] = {
      {"no ServerConfig.ini", [](DMTest&) {}, "não foi informado"},
      {"wrong password",
       [](DMTest& t) {
         const QString path = t.MakeDatabase(QStringLiteral("senha.db"), QStringLiteral("certa"));
         t.WriteConfig(path, QStringLiteral("errada"));
       },
       "Senha do banco de dados inválida"},
      {"missing file",
       [](DMTest& t) { t.WriteConfig(t.exe_.FilePath(QStringLiteral("sumiu.db")), QString()); },
       "não encontrado"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recorder_.boxes.clear();
    QFile::remove(TUtil::IniFileServer());
    c.arrange(*this);
    TApplication app;
    app.CreateForm(DM);
    ASSERT_NE(DM, nullptr);
    EXPECT_FALSE(DM->ADO->Connected());

    ASSERT_EQ(recorder_.boxes.size(), 2u);
    const Box& report = recorder_.boxes[0];
    EXPECT_EQ(report.caption, ui::ApplicationTitle());
    EXPECT_EQ(report.flags, mb::OK | mb::ICONERROR);
    EXPECT_TRUE(report.text.contains(QString::fromUtf8(c.providerText))) << report.text.toStdString();

    const Box& erro = recorder_.boxes[1];
    EXPECT_EQ(erro.caption, QStringLiteral("ERRO"));
    EXPECT_EQ(erro.flags, 16);
    EXPECT_TRUE(erro.text.startsWith(QStringLiteral("Erro de conexão com o banco\r\n")));
    EXPECT_TRUE(erro.text.contains(QString::fromUtf8(c.providerText))) << erro.text.toStdString();

    // The request takes effect once the event loop runs.
    EXPECT_FALSE(app.Terminated());
    app.ProcessMessages();
    EXPECT_TRUE(app.Terminated());
  }
  EXPECT_EQ(DM, nullptr);  // went with the application
}

TEST_F(DMTest, OpensOnceWhenLoadingSucceedsAndOnceMoreWhenItFailed) {
  int connects = 0;
  auto countConnects = [&connects](TDM* dm) {
    dm->ADO->BeforeConnect = [&connects, dm](TADOConnection& c) {
      ++connects;
      dm->ADOBeforeConnect(&c);
    };
  };

  DM = new TDM(nullptr);  // no configuration yet: loading fails
  ASSERT_FALSE(DM->ADO->Connected());
  countConnects(DM);
  MakeDatabase();
  DM->AfterConstruction();
  EXPECT_EQ(connects, 1);
  EXPECT_TRUE(DM->ADO->Connected());
  EXPECT_EQ(recorder_.boxes.size(), 1u);  // only the report while loading
  delete DM;

  connects = 0;
  DM = new TDM(nullptr);
  ASSERT_TRUE(DM->ADO->Connected());
  countConnects(DM);
  DM->AfterConstruction();
  EXPECT_EQ(connects, 0);
}

TEST_F(DMTest, TranslationIsLoadedEvenAfterAFailedConnection) {
  testsupport::WriteFile(exe_.FilePath(QStringLiteral("IdiomaBrasil.ini")),
                         QByteArray("[1046]\r\nNavigatorFirst=Primeiro registro\r\n"));
  Create();
  EXPECT_FALSE(DM->ADO->Connected());
  EXPECT_TRUE(DM->cxLocalizer1->Active());
  EXPECT_EQ(DM->cxLocalizer1->LanguageIndex(), 1);
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, QStringLiteral("First")),
            QStringLiteral("Primeiro registro"));
  delete DM;
  EXPECT_EQ(Localizer::Text(loc::NavigatorFirst, QStringLiteral("First")), QStringLiteral("First"));
}

TEST_F(DMTest, WithoutTranslationFileTheLocalizerStaysInactive) {
  MakeDatabase();
  Create();
  EXPECT_FALSE(DM->cxLocalizer1->Active());
  EXPECT_TRUE(recorder_.boxes.empty());
}

TEST_F(DMTest, ComponentsCarryTheirNamesAndSettings) {
  MakeDatabase();
  Create();
  const char* const names[] = {"ADO",          "adsQry",    "adsClientes", "adsUsers", "adsServicos",
                               "cxLocalizer1", "adsOrdens", "adsItensOS",  "dsOrdem",  "dsItensOS"};
  for (const char* name : names) EXPECT_NE(DM->FindComponent(QString::fromUtf8(name)), nullptr) << name;
  EXPECT_EQ(DM->Name(), QStringLiteral("DM"));
  EXPECT_EQ(DM->ADO->Mode(), cmShareDenyNone);
  EXPECT_FALSE(DM->ADO->LoginPrompt());
  EXPECT_EQ(DM->adsClientes->CommandText(), QStringLiteral("SELECT id, nome, telefone FROM Clientes;"));
  EXPECT_TRUE(DM->adsQry->CommandText().isEmpty());

  const struct {
    TField* field;
    const char* name;
    const char* label;
    int width;
    const char* format;
  } fields[] = {
      {DM->adsClientesid, "adsClientesid", "Código", 10, "00000"},
      {DM->adsClientesnome, "adsClientesnome", "Nome", 80, ""},
      {DM->adsClientestelefone, "adsClientestelefone", "Telefone", 20, ""},
      {DM->adsUserslogin, "adsUserslogin", "Login", 25, ""},
      {DM->adsUsersnome, "adsUsersnome", "Nome", 45, ""},
      {DM->adsUserspassword, "adsUserspassword", "Senha", 30, ""},
      {DM->adsServicosdescricao, "adsServicosdescricao", "Descrição", 100, ""},
      {DM->adsItensOSproduto_descricao, "adsItensOSproduto_descricao", "produto_descricao", 31, ""},
      {DM->adsItensOSitem_vlr, "adsItensOSitem_vlr", "item_vlr", 20, "#,##0.00"},
      {DM->adsItensOSitem_qtde, "adsItensOSitem_qtde", "item_qtde", 10, "0.00"},
      {DM->adsItensOSitem_subtotal, "adsItensOSitem_subtotal", "item_subtotal", 20, "#,##0.00"},
  };
  for (const auto& f : fields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(f.field->Name(), QString::fromUtf8(f.name));
    EXPECT_EQ(f.field->DisplayLabel(), QString::fromUtf8(f.label));
    EXPECT_EQ(f.field->DisplayWidth(), f.width);
    EXPECT_EQ(f.field->DisplayFormat(), QString::fromUtf8(f.format));
  }
  EXPECT_EQ(DM->adsClientestelefone->Alignment(), taRightJustify);
  EXPECT_FALSE(DM->adsUserspassword->Visible());
  EXPECT_TRUE(DM->adsUsersid->ReadOnly());
  EXPECT_TRUE(DM->adsServicosid->ReadOnly());
  EXPECT_TRUE(DM->adsOrdensid->ReadOnly());
  EXPECT_EQ(DM->adsItensOSid->ProviderFlags(), pfInUpdate | pfInWhere | pfInKey);
  EXPECT_EQ(DM->adsItensOSTotalItens->Expression(), QStringLiteral("SUM(item_subtotal)"));
  EXPECT_EQ(DM->adsItensOS->DataSource(), DM->dsOrdem);
}

TEST_F(DMTest, ItemsFollowTheCurrentOrderAndAreTotalled) {
  MakeDatabase();
  Create();
  DM->adsOrdens->Open();
  DM->adsItensOS->Open();
  EXPECT_EQ(DM->adsOrdens->FieldCount(), 10);
  ASSERT_TRUE(DM->adsOrdens->Locate(QStringLiteral("id"), 3));
  EXPECT_EQ(DM->adsItensOS->RecordCount(), 2);
  EXPECT_EQ(DM->adsItensOSTotalItens->AsFloat(), 144.0);
  ASSERT_TRUE(DM->adsOrdens->Locate(QStringLiteral("id"), 5));
  EXPECT_EQ(DM->adsItensOS->RecordCount(), 1);
  EXPECT_TRUE(DM->adsOrdenscliente_id->IsNull());
  EXPECT_TRUE(DM->adsOrdensuser_id->IsNull());
}

TEST_F(DMTest, OnlyClientDeletesAskAndNoKeepsTheRow) {
  MakeDatabase();
  Create();
  TADODataSet* clientes = DM->adsClientes;
  clientes->Open();
  ASSERT_EQ(clientes->RecordCount(), 8);

  recorder_.answer = id::NO;
  EXPECT_THROW(clientes->Delete(), EAbort);
  ASSERT_EQ(recorder_.boxes.size(), 1u);
  EXPECT_EQ(recorder_.boxes[0].text, QStringLiteral("Deseja realmente excluir o registro?"));
  EXPECT_EQ(recorder_.boxes[0].caption, QStringLiteral("CONFIRME"));
  EXPECT_EQ(recorder_.boxes[0].flags, 292);
  EXPECT_EQ(clientes->RecordCount(), 8);

  recorder_.answer = id::YES;
  clientes->Delete();
  EXPECT_EQ(clientes->RecordCount(), 7);
  EXPECT_EQ(recorder_.boxes.size(), 2u);

  for (TADODataSet* quiet : {DM->adsUsers, DM->adsServicos}) {
    quiet->Open();
    const int before = quiet->RecordCount();
    quiet->Delete();
    EXPECT_EQ(quiet->RecordCount(), before - 1);
  }
  EXPECT_EQ(recorder_.boxes.size(), 2u);
}

TEST_F(DMTest, EditsAppendsAndDeletesReachTheFile) {
  const QString path = MakeDatabase();
  Create();
  recorder_.answer = id::YES;
  DM->adsServicos->Open();
  DM->adsServicos->Append();
  DM->adsServicosdescricao->SetAsString(QStringLiteral("Troca do conector de carga"));
  DM->adsServicos->Post();
  const int newId = DM->adsServicosid->AsInteger();
  EXPECT_GT(newId, 8);

  DM->adsUsers->Open();
  ASSERT_TRUE(DM->adsUsers->Locate(QStringLiteral("login"), QStringLiteral("carla")));
  DM->adsUsers->Edit();
  DM->adsUsersnome->SetAsString(QStringLiteral("Carla Mendes Araújo"));
  DM->adsUsers->Post();

  DM->adsClientes->Open();
  ASSERT_TRUE(DM->adsClientes->Locate(QStringLiteral("id"), 8));
  DM->adsClientes->Delete();
  delete DM;

  Create();
  DM->adsServicos->Open();
  EXPECT_TRUE(DM->adsServicos->Locate(QStringLiteral("id"), newId));
  EXPECT_EQ(DM->adsServicosdescricao->AsString(), QStringLiteral("Troca do conector de carga"));
  DM->adsUsers->Open();
  ASSERT_TRUE(DM->adsUsers->Locate(QStringLiteral("login"), QStringLiteral("carla")));
  EXPECT_EQ(DM->adsUsersnome->AsString(), QStringLiteral("Carla Mendes Araújo"));
  DM->adsClientes->Open();
  EXPECT_FALSE(DM->adsClientes->Locate(QStringLiteral("id"), 8));

  const QString cli = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
  if (cli.isEmpty()) GTEST_SKIP() << "sqlite3 not installed";
  QProcess sqlite;
  sqlite.start(cli, {path, QStringLiteral("SELECT (SELECT count(*) FROM Clientes) || '|' || "
                                          "(SELECT descricao FROM Servicos WHERE id = %1) || '|' || "
                                          "(SELECT nome FROM Users WHERE login = 'carla');")
                               .arg(newId)});
  ASSERT_TRUE(sqlite.waitForFinished());
  EXPECT_EQ(QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed(),
            QStringLiteral("7|Troca do conector de carga|Carla Mendes Araújo"));
}

}  // namespace
