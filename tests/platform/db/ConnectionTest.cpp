#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "platform/db/ConnectionString.h"
#include "platform/db/DatabasePassword.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"
#include "tests/platform/db/DbFixture.h"

using dbtest::JetConnectionString;

TEST(ConnectionString, SplitsOnlyAtKnownKeys) {
  const struct {
    const char* text;
    const char* provider;
    const char* source;
    const char* password;
  } cases[] = {
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Dados\\loja.mdb;Jet OLEDB:Database Password=abc",
       "Microsoft.Jet.OLEDB.4.0", "C:\\Dados\\loja.mdb", "abc"},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/srv/minha loja/base;v2.db;Jet OLEDB:Database Password=",
       "Microsoft.Jet.OLEDB.4.0", "/srv/minha loja/base;v2.db", ""},
      {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source= /a b/c.db ;Jet OLEDB:Database Password=p;w=d;Data "
       "Source=x",
       "Microsoft.Jet.OLEDB.4.0", " /a b/c.db ", "p;w=d;Data Source=x"},
      {"provider=microsoft.jet.oledb.4.0; data source=rel.db; Persist Security Info=False",
       "microsoft.jet.oledb.4.0", "rel.db", ""},
  };
  for (const auto& c : cases) {
    const db::ConnectionParameters p = db::ParseConnectionString(QString::fromUtf8(c.text));
    EXPECT_EQ(p.provider, QString::fromUtf8(c.provider)) << c.text;
    EXPECT_EQ(p.dataSource, QString::fromUtf8(c.source)) << c.text;
    EXPECT_EQ(p.password, QString::fromUtf8(c.password)) << c.text;
  }
}

class ConnectionTest : public dbtest::DbTest {
 protected:
  // The message of the refusal when opening with this connection string.
  QString Refusal(const QString& connectionString) {
    TADOConnection connection;
    connection.SetConnectionString(connectionString);
    try {
      connection.Open();
    } catch (const EDatabaseError& e) {
      EXPECT_FALSE(connection.Connected());
      return e.Message();
    }
    ADD_FAILURE() << "opened: " << connectionString.toStdString();
    return {};
  }
};

TEST_F(ConnectionTest, OpensPathsWithBlanksAndSemicolonsAndRelativePaths) {
  const QString odd = folder_.FilePath(QStringLiteral("minha loja; cópia.db"));
  ASSERT_TRUE(QFile::copy(path_, odd));
  TADOConnection connection;
  connection.SetConnectionString(JetConnectionString(odd));
  connection.Open();
  EXPECT_TRUE(connection.Connected());
  EXPECT_EQ(connection.FileName(), odd);
  connection.Close();

  connection.SetConnectionString(JetConnectionString(QStringLiteral("minha loja; cópia.db")));
  connection.Open();
  EXPECT_EQ(connection.FileName(), rtl::ExecutableFolder() + QStringLiteral("minha loja; cópia.db"));
}

TEST_F(ConnectionTest, RefusesWithPortugueseMessages) {
  const QString missing = folder_.FilePath(QStringLiteral("nao existe.db"));
  EXPECT_TRUE(Refusal(JetConnectionString(missing)).contains(QStringLiteral("não encontrado")));
  EXPECT_FALSE(QFileInfo::exists(missing)) << "Open must never create the file";

  const QString text = folder_.FilePath(QStringLiteral("texto.db"));
  testsupport::WriteFile(text, QByteArray(4096, 'x'));
  EXPECT_TRUE(Refusal(JetConnectionString(text)).contains(QStringLiteral("não é um banco de dados")));

  EXPECT_TRUE(Refusal(JetConnectionString(path_, QStringLiteral("senha"))).contains(QStringLiteral("Senha")));
  EXPECT_TRUE(
      Refusal(QStringLiteral("Provider=SQLOLEDB;Data Source=") + path_).contains(QStringLiteral("Provedor")));
  EXPECT_TRUE(Refusal(JetConnectionString(QString())).contains(QStringLiteral("não foi informado")));
  EXPECT_TRUE(Refusal(JetConnectionString(folder_.Folder())).contains(QStringLiteral("não é um arquivo")));
}

TEST_F(ConnectionTest, PasswordVerifierGuardsTheFile) {
  db::SetDatabasePassword(path_, QString(), QStringLiteral("s3gredo;x"), 1000);
  EXPECT_TRUE(Refusal(JetConnectionString(path_)).contains(QStringLiteral("Senha")));
  EXPECT_TRUE(
      Refusal(JetConnectionString(path_, QStringLiteral("s3gredo"))).contains(QStringLiteral("Senha")));
  TADOConnection connection;
  connection.SetConnectionString(JetConnectionString(path_, QStringLiteral("s3gredo;x")));
  connection.Open();
  EXPECT_TRUE(connection.Connected());
  connection.Close();

  EXPECT_THROW(db::SetDatabasePassword(path_, QStringLiteral("errada"), QStringLiteral("nova")),
               EDatabaseError);
  db::SetDatabasePassword(path_, QStringLiteral("s3gredo;x"), QString(), 1000);  // removes it
  connection.SetConnectionString(JetConnectionString(path_));
  connection.Open();
  EXPECT_TRUE(connection.Connected());
}

TEST_F(ConnectionTest, BeforeConnectRunsBeforeEveryAttemptAndCloseClosesDataSets) {
  TADOConnection connection;
  int calls = 0;
  connection.BeforeConnect = [&](TADOConnection& c) {
    ++calls;
    c.SetConnectionString(JetConnectionString(calls == 1 ? QStringLiteral("/nada/aqui.db") : path_));
  };
  EXPECT_THROW(connection.Open(), EDatabaseError);
  connection.Open();
  connection.Open();  // already connected: no new attempt
  EXPECT_EQ(calls, 2);

  TADODataSet ds;
  ds.SetConnection(&connection);
  ds.SetCommandText(QStringLiteral("SELECT id FROM Clientes"));
  ds.Open();
  connection.Close();
  EXPECT_FALSE(ds.Active());
  ds.Open();  // reconnects on demand
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(connection.Connected());
}

TEST_F(ConnectionTest, ExecuteRunsOneJetStatement) {
  EXPECT_EQ(connection_->Execute(QStringLiteral(R"(INSERT INTO Clientes (nome) VALUES ("O'Neil ""Zé""");)")),
            1);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT nome FROM Clientes")), QStringLiteral("O'Neil \"Zé\""));
  EXPECT_THROW(connection_->Execute(QStringLiteral("DELETE FROM Clientes; DROP TABLE Clientes")),
               EDatabaseError);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM Clientes")), QStringLiteral("1"));
}
