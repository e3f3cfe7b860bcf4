#pragma once

#include <QTemporaryDir>
#include <memory>

#include "platform/remote/SqliteRemoteTransport.h"
#include "tests/platform/remote/RecordingTransport.h"

// A scratch remote database with the three tables, reached through a recording transport.
// Statements the fixture itself runs go straight to the backend and are not recorded.
class RemoteTestDatabase {
 public:
  RemoteTestDatabase()
      : backend_(MakeSqliteRemoteTransport(dir_.filePath(QStringLiteral("remote.db")),
                                           SqliteRemoteTransport::OpenMode::CreateIfMissing)),
        recorder_(std::make_shared<RecordingTransport>(backend_)) {
    Run("CREATE TABLE base.dbo.tblProdutos (IdProduto INTEGER PRIMARY KEY, Qtd REAL, Preco NUMERIC,"
        " PrecoCusto NUMERIC);"
        "CREATE TABLE base.dbo.tblUsuarios (IdUsuario INTEGER PRIMARY KEY);"
        "CREATE TABLE base.dbo.tblPermissao (IdPermissao INTEGER PRIMARY KEY, IdUsuario INTEGER,"
        " Tabela TEXT, Adicionar BOOLEAN, Edit BOOLEAN, Sch BOOLEAN, Del BOOLEAN);");
  }

  void Run(const QString& sql) { backend_->Execute(sql); }
  RemoteResult Rows(const QString& sql) { return backend_->Query(sql); }

  QString FilePath() const { return dir_.filePath(QStringLiteral("remote.db")); }
  std::shared_ptr<IRemoteTransport> Backend() const { return backend_; }
  std::shared_ptr<RecordingTransport> Recorder() const { return recorder_; }
  std::vector<RecordingTransport::Sent>& Sent() { return recorder_->sent; }

 private:
  QTemporaryDir dir_;
  std::shared_ptr<IRemoteTransport> backend_;
  std::shared_ptr<RecordingTransport> recorder_;
};
