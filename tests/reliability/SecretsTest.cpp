// Passwords never show: not in the connection's errors, not in what the administration
// tool prints, not in any file beside the program; and ServerConfig.ini is readable by
// its owner only.
#include <sys/stat.h>

#include <QDirIterator>
#include <QProcess>

#include "fontes/dados/uDM.h"
#include "platform/db/ADOConnection.h"
#include "tests/reliability/ReliabilityFixture.h"

namespace {

struct Output {
  int code;
  QString text;  // standard output and error together
};

Output Admin(const QStringList& arguments, const QByteArray& input = {}) {
  QProcess tool;
  tool.setProcessChannelMode(QProcess::MergedChannels);
  tool.start(QStringLiteral(QUORVEL_ADMIN_TOOL), arguments);
  tool.write(input);
  tool.closeWriteChannel();
  if (!tool.waitForFinished(120000)) return {-1, QStringLiteral("<did not finish>")};
  return {tool.exitCode(), QString::fromUtf8(tool.readAll())};
}

// Every file under folder that holds one of the secrets, except those allowed to.
QStringList FilesHolding(const QString& folder, const QStringList& secrets, const QStringList& allowed = {}) {
  QStringList holding;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    if (allowed.contains(file)) continue;
    const QByteArray bytes = testsupport::ReadFile(file);
    for (const QString& secret : secrets)
      if (bytes.contains(secret.toUtf8())) holding << file;
  }
  return holding;
}

class SecretsTest : public reliability::ShopTest {};

TEST_F(SecretsTest, AdminToolNeverPrintsAPassword) {
  const QString db = exe_.FilePath(QStringLiteral("segredo.db"));
  const QString first = QStringLiteral("Primeira#Senha1");
  const QString second = QStringLiteral("Segunda#Senha2");
  const QString wrong = QStringLiteral("Errada#Senha3");
  const struct {
    QStringList arguments;
    QByteArray input;
    int code;
  } steps[] = {
      {{QStringLiteral("create-db"), db, QStringLiteral("--demo"), QStringLiteral("--password"), first},
       {},
       0},
      {{QStringLiteral("create-db"), db, QStringLiteral("--password"), first}, {}, 1},  // exists
      {{QStringLiteral("set-password"), db, QStringLiteral("--old"), wrong, QStringLiteral("--password"),
        second},
       {},
       1},
      {{QStringLiteral("set-password"), db},
       wrong.toUtf8() + "\n" + second.toUtf8() + "\n" + second.toUtf8() + "\n",
       1},
      {{QStringLiteral("set-password"), db},
       first.toUtf8() + "\n" + second.toUtf8() + "\n" + wrong.toUtf8() + "\n",
       2},  // the two new ones differ
      {{QStringLiteral("set-password"), db, QStringLiteral("--old"), first, QStringLiteral("--password"),
        second},
       {},
       0},
      {{QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db,
        QStringLiteral("--password"), wrong},
       {},
       1},
      {{QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db,
        QStringLiteral("--password"), second, QStringLiteral("--force")},
       {},
       0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.arguments.join(QLatin1Char(' ')).toStdString());
    const Output out = Admin(step.arguments, step.input);
    EXPECT_EQ(out.code, step.code) << out.text.toStdString();
    EXPECT_FALSE(out.text.isEmpty());
    for (const QString& secret : {first, second, wrong})
      EXPECT_FALSE(out.text.contains(secret)) << out.text.toStdString();
  }
  // Only the database's own verifier table knows of the password, and not in clear.
  EXPECT_EQ(FilesHolding(exe_.Folder(), {first, second, wrong}), QStringList());
}

TEST_F(SecretsTest, ServerConfigIsForItsOwnerOnlyWhateverTheUmask) {
  const mode_t previous = umask(0);
  const Output out = Admin({QStringLiteral("write-config"), exe_.Folder(), QStringLiteral("--db"), db_,
                            QStringLiteral("--password"), QString(), QStringLiteral("--force")});
  umask(previous);
  ASSERT_EQ(out.code, 0) << out.text.toStdString();
  struct stat info {};
  ASSERT_EQ(stat(QFile::encodeName(exe_.FilePath(QStringLiteral("ServerConfig.ini"))).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(SecretsTest, ConnectionErrorsAndFilesNeverHoldThePassword) {
  const QString right = QStringLiteral("Certa#2024");
  const QString typed = QStringLiteral("Tentativa#99");
  const QString db = MakeDatabase(QStringLiteral("guardado.db"), right);
  // The provider's own message.
  TADOConnection connection;
  connection.SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;"
                                                "Jet OLEDB:Database Password=%2")
                                     .arg(db, typed));
  try {
    connection.Open();
    ADD_FAILURE() << "opened with a wrong password";
  } catch (const Exception& e) {
    EXPECT_FALSE(e.Message().contains(typed));
    EXPECT_FALSE(e.Message().contains(right));
  }
  // The data module's two reports, and nothing written anywhere beside the program.
  WriteServerConfig(db, typed);
  Connect();
  ASSERT_FALSE(DM->ADO->Connected());
  ASSERT_FALSE(boxes_.boxes.empty());
  for (const reliability::Box& box : boxes_.boxes) {
    EXPECT_FALSE(box.text.contains(typed)) << box.text.toStdString();
    EXPECT_FALSE(box.text.contains(right)) << box.text.toStdString();
  }
  EXPECT_EQ(FilesHolding(exe_.Folder(), {typed, right}), QStringList());
}

}  // namespace
