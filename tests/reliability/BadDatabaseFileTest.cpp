// A database file that is damaged, is no database at all, cannot be written, or asks for
// another password: the data module reports its connection error and ends the program,
// and the file stays exactly as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <functional>

#include "arquivos/Util/Util.h"
#include "fontes/dados/uDM.h"
#include "tests/reliability/ReliabilityFixture.h"
#include "tools/AdminDatabase.h"

namespace {

using reliability::FileHash;

QByteArray Garbage(qsizetype size, quint32 seed) {
  QRandomGenerator random(seed);
  QByteArray bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random.bounded(256));
  return bytes;
}

void Overwrite(const QString& path, qint64 offset, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  file.seek(offset);
  file.write(bytes);
}

int PageSize(const QString& path) {
  const QByteArray header = testsupport::ReadFile(path).left(18);
  const int size = (static_cast<unsigned char>(header[16]) << 8) | static_cast<unsigned char>(header[17]);
  return size == 1 ? 65536 : size;
}

struct BadFile {
  const char* name;
  // Spoils the demonstration database at path (or replaces it).
  std::function<void(const QString& path)> spoil;
  const char* message;  // part of the provider's message
};

const BadFile kBadFiles[] = {
    {"header overwritten", [](const QString& p) { Overwrite(p, 0, Garbage(100, 1)); },
     "não é um banco de dados válido"},
    {"schema page overwritten", [](const QString& p) { Overwrite(p, 100, Garbage(PageSize(p) - 100, 2)); },
     "danificado"},
    {"second half overwritten",
     [](const QString& p) {
       const qint64 size = QFileInfo(p).size();
       Overwrite(p, size / 2, Garbage(size - size / 2, 3));
     },
     "danificado"},
    {"one page in the middle zeroed",
     [](const QString& p) {
       const int page = PageSize(p);
       const qint64 pages = QFileInfo(p).size() / page;
       Overwrite(p, (pages / 2) * page, QByteArray(page, '\0'));
     },
     "danificado"},
    {"cut in half", [](const QString& p) { QFile::resize(p, QFileInfo(p).size() / 2); }, "danificado"},
    {"text file",
     [](const QString& p) { testsupport::WriteFile(p, QByteArray("isto não é um banco\r\n").repeated(200)); },
     "não é um banco de dados válido"},
    {"random bytes", [](const QString& p) { testsupport::WriteFile(p, Garbage(64 * 1024, 4)); },
     "não é um banco de dados válido"},
    {"empty file", [](const QString& p) { testsupport::WriteFile(p, QByteArray()); },
     "não é um banco de dados válido"},
};

class BadDatabaseFileTest : public reliability::ShopTest {
 protected:
  // Connects through ServerConfig.ini and expects the connection error with message.
  void ExpectConnectionError(const QString& path, const char* message, const QStringList& secrets = {}) {
    const QByteArray before = FileHash(path);
    const qint64 size = QFileInfo(path).size();
    boxes_.boxes.clear();
    Connect();
    EXPECT_FALSE(DM->ADO->Connected());
    ASSERT_FALSE(boxes_.boxes.empty());
    const reliability::Box& erro = boxes_.boxes.back();
    EXPECT_EQ(erro.caption, QStringLiteral("ERRO"));
    EXPECT_TRUE(erro.text.startsWith(QStringLiteral("Erro de conexão com o banco\r\n")))
        << erro.text.toStdString();
    EXPECT_TRUE(erro.text.contains(QString::fromUtf8(message))) << erro.text.toStdString();
    for (const reliability::Box& box : boxes_.boxes)
      for (const QString& secret : secrets) EXPECT_FALSE(box.text.contains(secret)) << box.text.toStdString();
    delete DM;
    EXPECT_EQ(FileHash(path), before);
    EXPECT_EQ(QFileInfo(path).size(), size);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
  }
};

TEST_F(BadDatabaseFileTest, DamagedOrForeignFileIsRefusedAndLeftUntouched) {
  for (const BadFile& bad : kBadFiles) {
    SCOPED_TRACE(bad.name);
    const QString path = exe_.FilePath(
        QString::fromLatin1(bad.name).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".db"));
    admin::CreateDatabase(path, QString(), true, false);
    bad.spoil(path);
    WriteServerConfig(path, QString());
    ExpectConnectionError(path, bad.message);
  }
}

TEST_F(BadDatabaseFileTest, WrongPasswordIsRefusedWithoutShowingEitherPassword) {
  const QString path = MakeDatabase(QStringLiteral("senha.db"), QStringLiteral("Certa#2024"));
  for (const char* typed : {"errada", "", "Certa#2025", "certa#2024"}) {
    SCOPED_TRACE(typed);
    WriteServerConfig(path, QString::fromLatin1(typed));
    QStringList secrets{QStringLiteral("Certa#2024")};
    if (*typed != '\0') secrets << QString::fromLatin1(typed);
    ExpectConnectionError(path, "Senha do banco de dados inválida", secrets);
  }
}

// Root writes any file whatever its mode, so the test then takes the identity of an
// ordinary user for the connection.
class AsOrdinaryUser {
 public:
  AsOrdinaryUser() {
    if (geteuid() != 0) return;
    switched_ = seteuid(65534) == 0;
  }
  ~AsOrdinaryUser() {
    if (switched_) {
      EXPECT_EQ(seteuid(0), 0);
    }
  }
  bool Usable() const { return geteuid() != 0; }

 private:
  bool switched_ = false;
};

TEST_F(BadDatabaseFileTest, ReadOnlyFileIsRefusedAndLeftUntouched) {
  // Everything the connection reads must be reachable by the ordinary user.
  ASSERT_EQ(chmod(QFile::encodeName(exe_.Folder()).constData(), 0755), 0);
  ASSERT_EQ(chmod(QFile::encodeName(TUtil::IniFileServer()).constData(), 0644), 0);
  ASSERT_EQ(chmod(QFile::encodeName(db_).constData(), 0444), 0);
  AsOrdinaryUser user;
  if (!user.Usable()) GTEST_SKIP() << "cannot leave the root identity";
  ExpectConnectionError(db_, "somente para leitura");
}

}  // namespace
