-- The five tables of the shop's database. Declared types carry the Jet column kinds
-- (auto-number, integer, text, currency, double, date-time, yes/no) so the provider can
-- give each field its kind; text compares without case, as Jet did.
CREATE TABLE Clientes (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  nome TEXT(255) COLLATE NOCASE,
  telefone TEXT(255) COLLATE NOCASE
);

CREATE TABLE Users (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  login TEXT(255) COLLATE NOCASE,
  nome TEXT(255) COLLATE NOCASE,
  password TEXT(255) COLLATE NOCASE
);

CREATE TABLE Servicos (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  descricao TEXT(255) COLLATE NOCASE
);

CREATE TABLE OrdensServico (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  cliente_id INTEGER,
  user_id INTEGER,
  dt_entrada DATETIME,
  vlr_total CURRENCY,
  user_recept_id INTEGER,
  dt_saida DATETIME,
  dt_create DATETIME,
  dt_alt DATETIME,
  status YESNO
);

CREATE TABLE itens_os (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  os_id INTEGER,
  servico_id INTEGER,
  produto_descricao TEXT(255) COLLATE NOCASE,
  item_vlr CURRENCY,
  item_qtde DOUBLE,
  item_desconto CURRENCY,
  item_subtotal CURRENCY
);

CREATE INDEX idx_itens_os_os_id ON itens_os (os_id);
