#include "bench/db_bench_data.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace dbbench {

namespace {

void Check(sqlite3* db, int rc, const char* what) {
  if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
  std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
  std::exit(2);
}

void Exec(sqlite3* db, const char* sql) {
  Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

const char* const kFirst[] = {"Ana",      "Bruno",  "Carla",   "Davi",  "Eduarda", "Fábio",
                              "Gabriela", "Heitor", "Isabela", "João",  "Larissa", "Marcos",
                              "Natália",  "Otávio", "Paula",   "Rafael"};
const char* const kLast[] = {"Silva",   "Santos", "Oliveira", "Souza", "Rodrigues", "Ferreira", "Alves",
                             "Pereira", "Lima",   "Gomes",    "Costa", "Ribeiro",   "Martins",  "Carvalho"};

int CountOrders(const QString& path) {
  if (!QFile::exists(path)) return -1;
  sqlite3* db = nullptr;
  int count = -1;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM OrdensServico", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
  }
  sqlite3_close_v2(db);
  return count;
}

}  // namespace

void CreateSchema(const QString& path) {
  QFile::remove(path);
  QFile schema(QStringLiteral(QUORVEL_SCHEMA_FILE));
  if (!schema.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", QUORVEL_SCHEMA_FILE);
    std::exit(2);
  }
  sqlite3* db = nullptr;
  Check(db,
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        "create");
  Exec(db, schema.readAll().constData());
  sqlite3_close_v2(db);
}

double EnsureOrdersDatabase(const QString& path, int orders, int clients, int users) {
  if (CountOrders(path) == orders) return 0;
  QElapsedTimer timer;
  timer.start();
  CreateSchema(path);
  sqlite3* db = nullptr;
  Check(db, sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), "open");
  Exec(db, "PRAGMA synchronous = OFF; BEGIN");
  std::mt19937 random(20240601);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto name = [&] { return std::string(kFirst[pick(16)]) + " " + kLast[pick(14)] + " " + kLast[pick(14)]; };

  sqlite3_stmt* stmt = nullptr;
  Check(db, sqlite3_prepare_v2(db, "INSERT INTO Clientes (nome, telefone) VALUES (?, ?)", -1, &stmt, nullptr),
        "p");
  for (int i = 0; i < clients; ++i) {
    const std::string n = name();
    const std::string phone = "(11) 9" + std::to_string(10000000 + pick(89999999));
    sqlite3_bind_text(stmt, 1, n.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, phone.c_str(), -1, SQLITE_TRANSIENT);
    Check(db, sqlite3_step(stmt), "client");
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  Check(db,
        sqlite3_prepare_v2(db, "INSERT INTO Users (login, nome, password) VALUES (?, ?, ?)", -1, &stmt,
                           nullptr),
        "p");
  for (int i = 0; i < users; ++i) {
    const std::string login = "user" + std::to_string(i);
    const std::string n = std::string(kFirst[pick(16)]) + " " + kLast[pick(14)];
    sqlite3_bind_text(stmt, 1, login.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, n.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 3, "segredo", -1, SQLITE_STATIC);
    Check(db, sqlite3_step(stmt), "user");
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  Check(db,
        sqlite3_prepare_v2(
            db,
            "INSERT INTO OrdensServico (cliente_id, user_id, dt_entrada, vlr_total, user_recept_id, "
            "dt_saida, dt_create, dt_alt, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
            -1, &stmt, nullptr),
        "p");
  for (int i = 0; i < orders; ++i) {
    char entry[32], exit[32];
    const int day = pick(28) + 1, month = pick(12) + 1, year = 2015 + pick(10);
    std::snprintf(entry, sizeof entry, "%04d-%02d-%02d %02d:%02d:00", year, month, day, 8 + pick(10),
                  pick(60));
    std::snprintf(exit, sizeof exit, "%04d-%02d-%02d 00:00:00", year, month, day);
    // One order in a hundred has no client, one in fifty no user: the outer joins keep them.
    if (pick(100) == 0)
      sqlite3_bind_null(stmt, 1);
    else
      sqlite3_bind_int(stmt, 1, 1 + pick(clients));
    if (pick(50) == 0)
      sqlite3_bind_null(stmt, 2);
    else
      sqlite3_bind_int(stmt, 2, 1 + pick(users));
    sqlite3_bind_text(stmt, 3, entry, -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(stmt, 4, pick(500000) / 100.0);
    sqlite3_bind_int(stmt, 5, 1 + pick(users));
    if (pick(4) == 0)
      sqlite3_bind_null(stmt, 6);
    else
      sqlite3_bind_text(stmt, 6, exit, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 7, entry, -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 8, entry, -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 9, pick(3) == 0 ? 0 : -1);
    Check(db, sqlite3_step(stmt), "order");
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  Exec(db, "COMMIT");
  sqlite3_close_v2(db);
  return timer.elapsed() / 1000.0;
}

}  // namespace dbbench
