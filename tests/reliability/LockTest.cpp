// Another program holds the database's write lock while the operator saves: the save
// waits out the busy timeout, then is refused clearly with nothing lost, and goes through
// once the lock is released.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QThread>
#include <cstring>
#include <functional>
#include <thread>

#include "fontes/dados/uDM.h"
#include "tests/reliability/ReliabilityFixture.h"

extern char** environ;

namespace {

using reliability::DatabaseErrorOf;
using reliability::IntegrityCheck;
using reliability::RawDb;
using reliability::TableContents;

// The sqlite3 program in an exclusive transaction on the file, until Release (which any
// one thread may call).
class LockingProgram {
 public:
  explicit LockingProgram(const QString& path) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray file = path.toUtf8();
    char* argv[] = {const_cast<char*>("sqlite3"), const_cast<char*>("-batch"),
                    const_cast<char*>(file.constData()), nullptr};
    if (posix_spawnp(&pid_, "sqlite3", &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    input_ = fds[1];
    Send("BEGIN EXCLUSIVE;\nUPDATE Servicos SET descricao = descricao WHERE id = 1;\n");
    // Locked once a handle of ours can no longer write.
    for (int i = 0; i < 600 && !Locked(path); ++i) QThread::msleep(50);
  }
  ~LockingProgram() { Release(); }

  static bool Locked(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE; ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return rc == SQLITE_BUSY;
  }

  void Release() {
    if (input_ < 0) return;
    Send("ROLLBACK;\n.quit\n");
    close(input_);
    input_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  void Send(const char* text) {
    const ssize_t n = write(input_, text, std::strlen(text));
    EXPECT_EQ(n, static_cast<ssize_t>(std::strlen(text)));
  }

  pid_t pid_ = -1;
  int input_ = -1;
};

struct SaveCase {
  const char* name;
  std::function<TADODataSet*(TDM&)> start;  // opens and begins the insert or edit
  const char* check;                        // a query whose answer the save changes
  const char* after;
};

std::vector<SaveCase> Cases() {
  return {
      {"new client",
       [](TDM& dm) {
         dm.adsClientes->Open();
         dm.adsClientes->Append();
         dm.adsClientes->FieldByName(QStringLiteral("nome"))
             ->SetAsString(QStringLiteral("Cliente bloqueado"));
         return dm.adsClientes;
       },
       "SELECT count(*) FROM Clientes WHERE nome = 'Cliente bloqueado'", "1"},
      {"order edited",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Locate(QStringLiteral("id"), 2);
         dm.adsOrdens->Edit();
         dm.adsOrdens->FieldByName(QStringLiteral("vlr_total"))->SetAsFloat(77.5);
         return dm.adsOrdens;
       },
       "SELECT vlr_total FROM OrdensServico WHERE id = 2", "77.5"},
      {"new item",
       [](TDM& dm) {
         dm.adsOrdens->Open();
         dm.adsOrdens->Locate(QStringLiteral("id"), 1);
         dm.adsItensOS->Open();
         dm.adsItensOS->Append();
         dm.adsItensOS->FieldByName(QStringLiteral("produto_descricao"))
             ->SetAsString(QStringLiteral("Item bloqueado"));
         return dm.adsItensOS;
       },
       "SELECT os_id FROM itens_os WHERE produto_descricao = 'Item bloqueado'", "1"},
  };
}

class LockTest : public reliability::ShopTest {};

TEST_F(LockTest, SaveWaitsThenFailsClearlyAndSucceedsOnceReleased) {
  constexpr int kTimeoutMs = 400;
  Connect()->ADO->SetBusyTimeout(kTimeoutMs);
  for (const SaveCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const QStringList before = TableContents(db_);
    TADODataSet* ds = c.start(*DM);
    const TDataSetState state = ds->State();
    {
      LockingProgram other(db_);
      ASSERT_TRUE(LockingProgram::Locked(db_));
      QElapsedTimer waited;
      waited.start();
      const QString error = DatabaseErrorOf([&] { ds->Post(); });
      EXPECT_GE(waited.elapsed(), kTimeoutMs * 9 / 10);
      EXPECT_TRUE(error.contains(QStringLiteral("bloqueado"))) << error.toStdString();
      EXPECT_TRUE(error.contains(QStringLiteral("Nada foi gravado"))) << error.toStdString();
      EXPECT_EQ(ds->State(), state);
    }
    EXPECT_EQ(TableContents(db_), before);
    ASSERT_EQ(DatabaseErrorOf([&] { ds->Post(); }), QString());
    EXPECT_EQ(RawDb(db_).Scalar(QString::fromLatin1(c.check)), QString::fromLatin1(c.after));
    ds->Close();
    DM->adsOrdens->Close();
  }
  EXPECT_EQ(IntegrityCheck(db_), QStringLiteral("ok"));
}

// A lock released while the save is still waiting lets the save through.
TEST_F(LockTest, SaveWaitingForALockGoesThroughWhenItIsReleased) {
  Connect()->ADO->SetBusyTimeout(60000);
  const SaveCase c = Cases()[0];
  TADODataSet* ds = c.start(*DM);
  LockingProgram other(db_);
  ASSERT_TRUE(LockingProgram::Locked(db_));
  std::thread releaser([&other] {
    QThread::msleep(300);
    other.Release();
  });
  const QString error = DatabaseErrorOf([&] { ds->Post(); });
  releaser.join();
  EXPECT_EQ(error, QString());
  EXPECT_EQ(RawDb(db_).Scalar(QString::fromLatin1(c.check)), QString::fromLatin1(c.after));
}

}  // namespace
