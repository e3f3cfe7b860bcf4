#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <deque>

#include "arquivos/Util/Constants.h"
#include "arquivos/Util/Util.h"
#include "platform/db/ADOConnection.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminCommands.h"
#include "tools/AdminDatabase.h"
#include "tools/DemoData.h"

namespace {

// Runs quorvel-admin in the process, with scripted answers to its password questions.
struct Result {
  int code;
  QString out;
  QString err;
};

Result RunAdmin(const QStringList& arguments, std::deque<QString> answers = {}) {
  QString out, err;
  QTextStream outStream(&out), errStream(&err);
  admin::Console console{outStream, errStream, [&answers](const QString&) -> std::optional<QString> {
                           if (answers.empty()) return std::nullopt;
                           QString next = answers.front();
                           answers.pop_front();
                           return next;
                         }};
  const int code = admin::Run(arguments, console);
  return {code, out, err};
}

// One value of a query on the file, straight through SQLite.
QString Scalar(const QString& path, const QString& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  QString value = QStringLiteral("<erro>");
  if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW)
    value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return value;
}

int ModeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

bool Opens(const QString& path, const QString& password) {
  TADOConnection connection;
  connection.SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                                 QStringLiteral(";Jet OLEDB:Database Password=") + password);
  try {
    connection.Open();
  } catch (const EDatabaseError&) {
    return false;
  }
  return connection.Connected();
}

class AdminTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return exe_.FilePath(name); }
  testsupport::ScopedExeFolder exe_;
};

TEST_F(AdminTest, CreateDbMakesTheFiveEmptyTables) {
  const QString db = Path(QStringLiteral("vazio.db"));
  const Result r = RunAdmin({QStringLiteral("create-db"), db});
  ASSERT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains(db));
  for (const char* table : {"Clientes", "Users", "Servicos", "OrdensServico", "itens_os"})
    EXPECT_EQ(Scalar(db, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table))),
              QStringLiteral("0"))
        << table;
  EXPECT_TRUE(Opens(db, QString()));
  EXPECT_FALSE(admin::HasPassword(db));
}

TEST_F(AdminTest, DemoDatabaseHasItsRowsAndPassword) {
  const QString db = Path(QStringLiteral("demo.db"));
  const Result r = RunAdmin({QStringLiteral("create-db"), db, QStringLiteral("--demo"),
                             QStringLiteral("--password"), QStringLiteral("Loja2024")});
  ASSERT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("Loja2024")));
  EXPECT_TRUE(Opens(db, QStringLiteral("Loja2024")));
  EXPECT_FALSE(Opens(db, QString()));

  const struct {
    const char* sql;
    const char* expected;
  } checks[] = {
      {"SELECT count(*) FROM Clientes", "8"},
      {"SELECT count(*) FROM Servicos", "8"},
      {"SELECT count(*) FROM Users", "4"},
      {"SELECT count(*) FROM OrdensServico", "8"},
      {"SELECT count(*) FROM itens_os", "12"},
      {"SELECT password FROM Users WHERE login = 'admin'", "senha"},
      {"SELECT count(*) FROM OrdensServico WHERE cliente_id IS NULL AND user_id IS NULL", "1"},
      // The outer joins of the order list keep that order.
      {"SELECT count(*) FROM OrdensServico o LEFT JOIN Clientes c ON c.id = o.cliente_id "
       "LEFT JOIN Users u ON u.id = o.user_id",
       "8"},
      // Each order's total is the sum of its items.
      {"SELECT count(*) FROM OrdensServico o WHERE vlr_total <> "
       "(SELECT sum(item_subtotal) FROM itens_os i WHERE i.os_id = o.id)",
       "0"},
      {"SELECT item_subtotal FROM itens_os WHERE produto_descricao = 'Bateria CMOS CR2032'", "24"},
      {"SELECT item_subtotal FROM itens_os WHERE produto_descricao = 'Celular Samsung Galaxy A32'", "390"},
  };
  for (const auto& c : checks)
    EXPECT_EQ(Scalar(db, QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected)) << c.sql;
}

TEST(DemoData, SubtotalRoundsEachAmountHalfToEven) {
  const struct {
    double value, discount, quantity;
    int32_t subtotal;
  } cases[] = {
      {10.50, 0, 2, 20}, {11.50, 0, 1, 12}, {10.50, 0.50, 1, 10}, {100, 0, 2.5, 200}, {100, 10, 3.5, 360}};
  for (const auto& c : cases) EXPECT_EQ(admin::ItemSubtotal(c.value, c.discount, c.quantity), c.subtotal);
}

TEST_F(AdminTest, NothingIsReplacedWithoutForce) {
  const QString db = Path(QStringLiteral("banco.db"));
  ASSERT_EQ(RunAdmin({QStringLiteral("create-db"), db, QStringLiteral("--demo")}).code, admin::kExitOk);
  const QByteArray before = testsupport::ReadFile(db);

  Result r = RunAdmin({QStringLiteral("create-db"), db});
  EXPECT_EQ(r.code, admin::kExitFailed);
  EXPECT_TRUE(r.err.contains(QStringLiteral("já existe"))) << r.err.toStdString();
  EXPECT_EQ(testsupport::ReadFile(db), before);

  r = RunAdmin({QStringLiteral("create-db"), db, QStringLiteral("--force")});
  EXPECT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_EQ(Scalar(db, QStringLiteral("SELECT count(*) FROM Clientes")), QStringLiteral("0"));
  EXPECT_EQ(QDir(exe_.Folder()).entryList(QDir::Files), QStringList{QStringLiteral("banco.db")});

  const QStringList config = {QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db};
  ASSERT_EQ(RunAdmin(config).code, admin::kExitOk);
  r = RunAdmin(config);
  EXPECT_EQ(r.code, admin::kExitFailed);
  EXPECT_TRUE(r.err.contains(QStringLiteral("já existe"))) << r.err.toStdString();
  EXPECT_EQ(RunAdmin(config + QStringList{QStringLiteral("--force")}).code, admin::kExitOk);
}

TEST_F(AdminTest, WriteConfigStoresPathAndScrambledPasswordForTheOwnerOnly) {
  const QString db = Path(QStringLiteral("Loja Centro.db"));
  const QString password = QStringLiteral("Çaixa 2024!");
  ASSERT_NO_THROW(admin::CheckStorablePassword(password));
  ASSERT_EQ(RunAdmin({QStringLiteral("create-db"), db, QStringLiteral("--password"), password}).code,
            admin::kExitOk);
  const Result r = RunAdmin({QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db,
                             QStringLiteral("--password"), password});
  ASSERT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_FALSE((r.out + r.err).contains(password));

  const QString ini = TUtil::IniFileServer();
  EXPECT_EQ(TUtil::ReadIni(ini, INI_SESSAO_CONEXAO, INI_BD, QString()), db);
  const QString stored = TUtil::ReadIni(ini, INI_SESSAO_CONEXAO, INI_PSWDB, QString());
  EXPECT_NE(stored, password);
  EXPECT_EQ(TUtil::Criptografar(stored), password);
  EXPECT_FALSE(testsupport::ReadFile(ini).contains(password.toUtf8()));
  EXPECT_EQ(ModeOf(ini), 0600);

  // Replacing keeps the mode strict even when someone loosened it.
  QFile::setPermissions(ini, QFile::permissions(ini) | QFile::ReadOther | QFile::ReadGroup);
  ASSERT_EQ(RunAdmin({QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db,
                      QStringLiteral("--password"), password, QStringLiteral("--force")})
                .code,
            admin::kExitOk);
  EXPECT_EQ(ModeOf(ini), 0600);
}

TEST_F(AdminTest, SetPasswordChecksTheOldOneAndAsksWhatIsMissing) {
  const QString db = Path(QStringLiteral("senha.db"));
  ASSERT_EQ(RunAdmin({QStringLiteral("create-db"), db}).code, admin::kExitOk);

  // No password yet: only the new one is asked, twice.
  Result r = RunAdmin({QStringLiteral("set-password"), db},
                      {QStringLiteral("primeira"), QStringLiteral("primeira")});
  ASSERT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_TRUE(Opens(db, QStringLiteral("primeira")));

  r = RunAdmin({QStringLiteral("set-password"), db, QStringLiteral("--old"), QStringLiteral("errada"),
                QStringLiteral("--password"), QStringLiteral("segunda")});
  EXPECT_EQ(r.code, admin::kExitFailed);
  EXPECT_TRUE(r.err.contains(QStringLiteral("não confere"))) << r.err.toStdString();
  EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("errada")));
  EXPECT_TRUE(Opens(db, QStringLiteral("primeira")));

  // The current password is asked when the file has one and --old is absent.
  r = RunAdmin({QStringLiteral("set-password"), db, QStringLiteral("--password"), QStringLiteral("segunda")},
               {QStringLiteral("primeira")});
  ASSERT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_TRUE(Opens(db, QStringLiteral("segunda")));
  EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("segunda")));

  r = RunAdmin({QStringLiteral("set-password"), db, QStringLiteral("--old"), QStringLiteral("segunda")},
               {QStringLiteral("terceira"), QStringLiteral("tercera")});
  EXPECT_EQ(r.code, admin::kExitUsage);
  EXPECT_TRUE(r.err.contains(QStringLiteral("não conferem"))) << r.err.toStdString();

  r = RunAdmin({QStringLiteral("set-password"), db, QStringLiteral("--old"), QStringLiteral("segunda"),
                QStringLiteral("--password"), QString()});
  ASSERT_EQ(r.code, admin::kExitOk) << r.err.toStdString();
  EXPECT_FALSE(admin::HasPassword(db));
}

TEST_F(AdminTest, BadInputGivesAPortugueseErrorAndANonZeroExit) {
  const QString db = Path(QStringLiteral("existe.db"));
  ASSERT_EQ(RunAdmin({QStringLiteral("create-db"), db}).code, admin::kExitOk);
  const QString secret = QStringLiteral("s3gr3d0");
  const struct {
    QStringList arguments;
    int code;
    const char* message;
  } cases[] = {
      {{}, admin::kExitUsage, "Uso: quorvel-admin"},
      {{QStringLiteral("apagar-tudo")}, admin::kExitUsage, "Comando desconhecido"},
      {{QStringLiteral("create-db")}, admin::kExitUsage, "Falta o arquivo"},
      {{QStringLiteral("create-db"), Path(QStringLiteral("a.db")), Path(QStringLiteral("b.db"))},
       admin::kExitUsage,
       "Argumento a mais"},
      {{QStringLiteral("create-db"), Path(QStringLiteral("a.db")), QStringLiteral("--password")},
       admin::kExitUsage,
       "exige um valor"},
      {{QStringLiteral("create-db"), Path(QStringLiteral("a.db")), QStringLiteral("--senha"), secret},
       admin::kExitUsage,
       "Opção desconhecida"},
      {{QStringLiteral("create-db"), Path(QStringLiteral("sem/pasta/a.db"))},
       admin::kExitFailed,
       "A pasta não existe"},
      {{QStringLiteral("create-db"), Path(QStringLiteral("a.db")), QStringLiteral("--password"),
        secret + "~"},
       admin::kExitFailed,
       "não consegue guardar"},
      {{QStringLiteral("set-password"), Path(QStringLiteral("nada.db")), QStringLiteral("--password"),
        secret},
       admin::kExitFailed,
       "não encontrado"},
      {{QStringLiteral("set-password"), db}, admin::kExitUsage, "Senha não informada"},
      {{QStringLiteral("write-config"), exe_.Folder()}, admin::kExitUsage, "--db"},
      {{QStringLiteral("write-config"), Path(QStringLiteral("sem-pasta")), QStringLiteral("--db"), db},
       admin::kExitFailed,
       "A pasta não existe"},
      {{QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db,
        QStringLiteral("--password"), secret},
       admin::kExitFailed,
       "não abre o banco"},
      {{QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"),
        Path(QStringLiteral("nada.db"))},
       admin::kExitFailed,
       "não encontrado"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
    const Result r = RunAdmin(c.arguments);
    EXPECT_EQ(r.code, c.code);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
    EXPECT_FALSE((r.out + r.err).contains(secret));
  }
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("a.db"))));
  EXPECT_FALSE(QFile::exists(TUtil::IniFileServer()));
}

TEST(AdminHelp, ListsTheCommands) {
  const Result r = RunAdmin({QStringLiteral("--help")});
  EXPECT_EQ(r.code, admin::kExitOk);
  for (const char* command : {"create-db", "set-password", "write-config", "--force"})
    EXPECT_TRUE(r.out.contains(QLatin1String(command))) << command;
}

}  // namespace
