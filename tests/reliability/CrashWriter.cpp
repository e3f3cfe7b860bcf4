// Saves rows through the database layer in a loop and reports each one on standard output
// once its save has returned, until it is killed. The crash test kills it at random
// moments and checks that every reported row survived.
//
//   reliability_crash_writer <database> <tag>
//
// Lines: "R" when ready; "C <id> <n>" a new client; "I <id> <n>" a new item of order 1;
// "U <n>" order 2's total set to n.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "platform/db/ADOConnection.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/Exceptions.h"

namespace {

void Report(const QByteArray& line) {
  // One write per line: a pipe takes it whole or not at all.
  const QByteArray text = line + '\n';
  if (write(STDOUT_FILENO, text.constData(), static_cast<size_t>(text.size())) != text.size()) _exit(3);
}

TADODataSet* Open(TADOConnection& connection, const char* sql) {
  auto* ds = new TADODataSet(&connection);
  ds->SetConnection(&connection);
  ds->SetCommandText(QString::fromLatin1(sql));
  ds->Open();
  return ds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "uso: %s BANCO ETIQUETA\n", argv[0]);
    return 2;
  }
  QCoreApplication app(argc, argv);
  const QString tag = QString::fromLocal8Bit(argv[2]);
  try {
    TADOConnection connection;
    connection.SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                   QString::fromLocal8Bit(argv[1]) +
                                   QStringLiteral(";Jet OLEDB:Database Password="));
    connection.SetBusyTimeout(60000);
    connection.Open();
    TADODataSet* clients = Open(connection, "SELECT id, nome, telefone FROM Clientes WHERE id < 0");
    TADODataSet* items = Open(connection, "SELECT * FROM itens_os WHERE id < 0");
    TADODataSet* order = Open(connection, "SELECT id, vlr_total FROM OrdensServico WHERE id = 2");
    Report("R");
    for (qint64 n = 1;; ++n) {
      const QString text = QStringLiteral("%1-%2").arg(tag).arg(n);
      switch (n % 3) {
        case 0:
          clients->Append();
          clients->FieldByName(QStringLiteral("nome"))->SetAsString(text);
          clients->FieldByName(QStringLiteral("telefone"))->SetAsString(QString::number(n));
          clients->Post();
          Report("C " + clients->FieldByName(QStringLiteral("id"))->AsString().toLatin1() + ' ' +
                 QByteArray::number(n));
          break;
        case 1:
          items->Append();
          items->FieldByName(QStringLiteral("os_id"))->SetAsInteger(1);
          items->FieldByName(QStringLiteral("produto_descricao"))->SetAsString(text);
          items->FieldByName(QStringLiteral("item_qtde"))->SetAsFloat(static_cast<double>(n));
          items->Post();
          Report("I " + items->FieldByName(QStringLiteral("id"))->AsString().toLatin1() + ' ' +
                 QByteArray::number(n));
          break;
        default:
          order->Edit();
          order->FieldByName(QStringLiteral("vlr_total"))->SetAsFloat(static_cast<double>(n));
          order->Post();
          Report("U " + QByteArray::number(n));
          break;
      }
    }
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
