#include "tools/DemoData.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace admin {

namespace {

struct Client {
  const char* nome;
  const char* telefone;
};

struct User {
  const char* login;
  const char* nome;
  const char* password;
};

struct Item {
  int servico;
  const char* produto;
  double valor;
  double quantidade;
  double desconto;
};

// Client and users by their id in the lists below; 0 leaves the column empty.
struct Order {
  int cliente;
  int entregue;  // user_id
  int recebido;  // user_recept_id
  const char* entrada;
  const char* saida;  // nullptr: still in the shop
  bool ativo;
  std::vector<Item> itens;
};

const Client kClients[] = {
    {"Maria Aparecida Souza", "(11) 98765-4321"},   {"João Carlos Pereira", "(21) 99654-1234"},
    {"Ana Beatriz Lima", "(31) 98812-3456"},        {"Francisco das Chagas Oliveira", "(85) 99701-2233"},
    {"Antônia Ferreira Santos", "(71) 98123-4567"}, {"Luiz Henrique Costa", "(41) 99988-7766"},
    {"Juliana Rodrigues Alves", "(51) 98456-7890"}, {"Sebastião Nunes Ribeiro", "(62) 3241-5678"},
};

const char* const kServices[] = {
    "Formatação e instalação do sistema",
    "Troca de tela",
    "Limpeza interna e troca de pasta térmica",
    "Troca de bateria",
    "Reparo de placa-mãe",
    "Backup e recuperação de dados",
    "Instalação de programas",
    "Diagnóstico técnico",
};

// The first is what the login window proposes.
const User kUsers[] = {
    {"admin", "Administrador", "senha"},
    {"carla", "Carla Mendes", "carla123"},
    {"rafael", "Rafael Teixeira", "rafa2024"},
    {"paulo", "Paulo Sérgio Martins", "paulo01"},
};

const std::vector<Order>& Orders() {
  static const std::vector<Order> orders = {
      {1,
       2,
       1,
       "2024-03-04 09:15:00",
       "2024-03-06 17:30:00",
       false,
       {{1, "Notebook Dell Inspiron 15", 150.00, 1, 0}, {7, "Pacote Office e antivírus", 60.00, 1, 10.00}}},
      {2,
       3,
       2,
       "2024-03-11 14:02:00",
       "2024-03-13 10:00:00",
       false,
       {{2, "Celular Samsung Galaxy A32", 389.90, 1, 0}}},
      {3,
       1,
       3,
       "2024-04-02 08:40:00",
       nullptr,
       true,
       {{3, "Desktop HP ProDesk", 120.00, 1, 0}, {4, "Bateria CMOS CR2032", 12.50, 2, 0}}},
      {4,
       2,
       4,
       "2024-04-15 16:20:00",
       "2024-04-18 11:45:00",
       false,
       {{5, "Placa-mãe do notebook Acer Aspire 5", 480.00, 1, 30.00}}},
      // Left at the counter: no client on file and nobody has delivered it yet.
      {0, 0, 1, "2024-05-06 10:05:00", nullptr, true, {{8, "Impressora Epson L3150", 80.00, 1, 0}}},
      {5,
       3,
       2,
       "2024-05-20 13:30:00",
       "2024-05-21 09:10:00",
       false,
       {{6, "HD externo Seagate 1 TB", 200.00, 1, 0}, {1, "Notebook Lenovo IdeaPad 3", 150.00, 1, 15.00}}},
      {6,
       4,
       3,
       "2024-06-03 11:00:00",
       nullptr,
       true,
       {{4, "Bateria do notebook Positivo Motion", 249.50, 1, 0}}},
      {7,
       1,
       4,
       "2024-06-10 15:45:00",
       nullptr,
       true,
       {{2, "Tablet Multilaser M10", 310.00, 1, 0}, {3, "Teclado USB Logitech", 25.00, 2, 0}}},
  };
  return orders;
}

// A prepared statement run once per row.
class Insert {
 public:
  Insert(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) Fail();
  }
  ~Insert() { sqlite3_finalize(stmt_); }
  Insert(const Insert&) = delete;
  Insert& operator=(const Insert&) = delete;

  Insert& Text(int index, const char* text) {
    Check(text != nullptr ? sqlite3_bind_text(stmt_, index, text, -1, SQLITE_TRANSIENT)
                          : sqlite3_bind_null(stmt_, index));
    return *this;
  }
  Insert& Int(int index, int64_t value) {
    Check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
  }
  // 0 is "none" for the references of an order.
  Insert& Reference(int index, int id) {
    Check(id != 0 ? sqlite3_bind_int(stmt_, index, id) : sqlite3_bind_null(stmt_, index));
    return *this;
  }
  Insert& Real(int index, double value) {
    Check(sqlite3_bind_double(stmt_, index, value));
    return *this;
  }
  // Whole amounts as integers, cents as REAL, as the program itself stores currency.
  Insert& Money(int index, double value) {
    return value == std::floor(value) ? Int(index, static_cast<int64_t>(value)) : Real(index, value);
  }
  // The yes/no columns hold -1 and 0.
  Insert& YesNo(int index, bool value) { return Int(index, value ? -1 : 0); }

  int64_t Run() {
    if (sqlite3_step(stmt_) != SQLITE_DONE) Fail();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    return sqlite3_last_insert_rowid(db_);
  }

 private:
  void Check(int rc) const {
    if (rc != SQLITE_OK) Fail();
  }
  [[noreturn]] void Fail() const {
    throw EDatabaseError(QStringLiteral("Falha ao gravar os dados de demonstração: %1")
                             .arg(QString::fromUtf8(sqlite3_errmsg(db_))));
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

int32_t ItemSubtotal(double value, double discount, double quantity) {
  const int64_t subtotal =
      (rtl::RoundHalfEven(value) - rtl::RoundHalfEven(discount)) * rtl::RoundHalfEven(quantity);
  return static_cast<int32_t>(subtotal);
}

void InsertDemoData(sqlite3* db) {
  Insert client(db, "INSERT INTO Clientes (nome, telefone) VALUES (?, ?)");
  for (const Client& c : kClients) client.Text(1, c.nome).Text(2, c.telefone).Run();

  Insert service(db, "INSERT INTO Servicos (descricao) VALUES (?)");
  for (const char* descricao : kServices) service.Text(1, descricao).Run();

  Insert user(db, "INSERT INTO Users (login, nome, password) VALUES (?, ?, ?)");
  for (const User& u : kUsers) user.Text(1, u.login).Text(2, u.nome).Text(3, u.password).Run();

  Insert order(
      db,
      "INSERT INTO OrdensServico (cliente_id, user_id, dt_entrada, vlr_total, user_recept_id, dt_saida, "
      "dt_create, dt_alt, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  Insert item(
      db,
      "INSERT INTO itens_os (os_id, servico_id, produto_descricao, item_vlr, item_qtde, item_desconto, "
      "item_subtotal) VALUES (?, ?, ?, ?, ?, ?, ?)");
  for (const Order& o : Orders()) {
    int64_t total = 0;
    for (const Item& i : o.itens) total += ItemSubtotal(i.valor, i.desconto, i.quantidade);
    const char* changed = o.saida != nullptr ? o.saida : o.entrada;
    const int64_t id = order.Reference(1, o.cliente)
                           .Reference(2, o.entregue)
                           .Text(3, o.entrada)
                           .Int(4, total)
                           .Reference(5, o.recebido)
                           .Text(6, o.saida)
                           .Text(7, o.entrada)
                           .Text(8, changed)
                           .YesNo(9, o.ativo)
                           .Run();
    for (const Item& i : o.itens) {
      item.Int(1, id)
          .Int(2, i.servico)
          .Text(3, i.produto)
          .Money(4, i.valor)
          .Real(5, i.quantidade)
          .Money(6, i.desconto)
          .Int(7, ItemSubtotal(i.valor, i.desconto, i.quantidade))
          .Run();
    }
  }
}

}  // namespace admin
