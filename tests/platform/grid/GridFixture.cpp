#include "tests/platform/grid/GridFixture.h"

#include <sqlite3.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <map>

#include "platform/db/Field.h"
#include "platform/ui/GridHeader.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridTreeView.h"

namespace gridtest {

namespace {

void Exec(sqlite3* db, const QString& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
    ADD_FAILURE() << "SQL failed: " << (error ? error : "?");
    sqlite3_free(error);
  }
}

QString Quoted(const QString& text) {
  return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
         QLatin1Char('\'');
}

// Names in order of first appearance get ids 1, 2, ...
QString IdOf(std::map<QString, int>& ids, const QString& name) {
  if (name.isEmpty()) return QStringLiteral("NULL");
  auto [it, added] = ids.emplace(name, static_cast<int>(ids.size()) + 1);
  return QString::number(it->second);
}

template <class F>
F* AddField(TComponent* owner, TDataSet* ds, const char* name, const char* label) {
  auto* field = new F(owner);
  field->SetFieldName(QString::fromUtf8(name));
  field->SetDisplayLabel(QString::fromUtf8(label));
  field->SetDataSet(ds);
  return field;
}

}  // namespace

QString OrderListSql() {
  return QStringLiteral(
      "SELECT os.id, c.nome, u.nome, os.dt_entrada, os.dt_saida, os.vlr_total, os.status\r\n"
      "FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = os.cliente_id) ON "
      "u.id = os.user_id;");
}

void CreateShop(const QString& path, const std::vector<Order>& orders) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  QFile schema(QStringLiteral(QUORVEL_SCHEMA_FILE));
  ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
  Exec(db, QString::fromUtf8(schema.readAll()));
  std::map<QString, int> clients;
  std::map<QString, int> users;
  QString sql = QStringLiteral("BEGIN;");
  for (const Order& o : orders) {
    const QString client = IdOf(clients, o.client);
    const QString user = IdOf(users, o.user);
    sql += QStringLiteral(
               "INSERT INTO OrdensServico (cliente_id, user_id, dt_entrada, dt_saida, vlr_total, status) "
               "VALUES (%1, %2, %3, %3, %4, %5);")
               .arg(client, user, Quoted(o.entrada), QString::number(o.total, 'f', 2), o.status ? "-1" : "0");
  }
  for (const auto& [name, id] : clients)
    sql += QStringLiteral("INSERT INTO Clientes (id, nome) VALUES (%1, %2);").arg(id).arg(Quoted(name));
  for (const auto& [name, id] : users)
    sql += QStringLiteral("INSERT INTO Users (id, login, nome) VALUES (%1, 'l%1', %2);")
               .arg(id)
               .arg(Quoted(name));
  Exec(db, sql + QStringLiteral("COMMIT;"));
  sqlite3_close(db);
}

void GridTest::SetUp() {
  owner_ = std::make_unique<TComponent>();
  path_ = folder_.FilePath(QStringLiteral("loja.db"));
  localizer_ = new TLocalizer(owner_.get());
  localizer_->LoadFromFile(QStringLiteral(QUORVEL_RESOURCES_DIR "/IdiomaBrasil.ini"));
  localizer_->SetLanguageIndex(1);
  localizer_->SetActive(true);
}

void GridTest::TearDown() {
  window_.reset();
  owner_.reset();
}

void GridTest::Open(const std::vector<Order>& orders) {
  CreateShop(path_, orders);
  TComponent* owner = owner_.get();
  connection_ = new TADOConnection(owner);
  connection_->SetConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path_);
  list_ = new TADODataSet(owner);
  list_->SetName(QStringLiteral("adsOS"));
  list_->SetConnection(connection_);
  list_->SetCommandText(OrderListSql());
  AddField<TAutoIncField>(owner, list_, "id", "Código")->SetDisplayWidth(9);
  AddField<TWideStringField>(owner, list_, "c.nome", "Cliente")->SetDisplayWidth(30);
  AddField<TWideStringField>(owner, list_, "u.nome", "Recebeu")->SetDisplayWidth(20);
  AddField<TDateTimeField>(owner, list_, "dt_entrada", "Dt Entrada")
      ->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
  AddField<TDateTimeField>(owner, list_, "dt_saida", "Dt Saída")
      ->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
  AddField<TBCDField>(owner, list_, "vlr_total", "Vlr Total R$")
      ->SetDisplayFormat(QStringLiteral("#,##0.00"));
  AddField<TBooleanField>(owner, list_, "status", "Status")->SetDisplayWidth(10);
  source_ = new TDataSource(owner);
  source_->SetDataSet(list_);

  window_ = std::make_unique<QWidget>();
  window_->resize(894, 464);
  auto* layout = new QVBoxLayout(window_.get());
  grid_ = new TGrid(owner, window_.get());
  grid_->SetName(QStringLiteral("cxGrid1"));
  layout->addWidget(grid_);
  view_ = new TGridDBTableView(owner, grid_);
  view_->SetName(QStringLiteral("cxGrid1DBTableView1"));
  view_->BeginUpdate();
  view_->DataController().SetDataSource(source_);
  view_->DataController().SetKeyFieldNames(QStringLiteral("id"));
  for (const char* name : {"id", "c.nome", "u.nome", "dt_entrada", "dt_saida", "vlr_total", "status"}) {
    TGridColumn* column = view_->CreateColumn();
    column->SetFieldName(QString::fromUtf8(name));
    column->SetHeaderAlignmentHorz(taCenter);
  }
  Column(QStringLiteral("c.nome"))->SetWidth(246);
  view_->SetNavigatorVisible(true);
  for (auto button : {ui::gnbInsert, ui::gnbDelete, ui::gnbEdit, ui::gnbPost, ui::gnbSaveBookmark})
    view_->Navigator()->SetButtonVisible(button, false);
  view_->EndUpdate();
  window_->show();
  list_->Open();
  QApplication::processEvents();
}

void GridTest::OpenSample() {
  Open({{QStringLiteral("Bruno Lima"), QStringLiteral("Carla"), QStringLiteral("2024-03-05 10:30:00"), 150.5,
         true},
        {QStringLiteral("Ana Souza"), QStringLiteral("Davi"), QStringLiteral("2024-03-06 08:00:00"), 20,
         false},
        {QStringLiteral("Ana Souza"), QStringLiteral("Carla"), QStringLiteral("2024-03-06 17:45:00"), 1234.56,
         true},
        {QString(), QString(), QStringLiteral("2024-04-01 09:00:00"), 0, false},
        {QStringLiteral("Célia Ramos"), QStringLiteral("Carla"), QStringLiteral("2024-04-02 12:00:00"), 99.99,
         true}});
}

int GridTest::Logical(const QString& fieldName) const {
  for (int i = 0; i < view_->ColumnCount(); ++i)
    if (view_->Columns(i)->FieldName() == fieldName) return i;
  ADD_FAILURE() << "no column " << fieldName.toStdString();
  return 0;
}

QStringList GridTest::ShownTexts(const QString& fieldName) const {
  QStringList texts;
  const int field = view_->Columns(Logical(fieldName))->FieldIndex();
  for (quintptr item : view_->ShownItems()) {
    if (view_->ItemIsGroup(item))
      texts << view_->ItemGroupText(item);
    else
      texts << view_->DataSet()->DisplayTextAt(view_->ItemDataRow(item), field);
  }
  return texts;
}

QPoint GridTest::TitleCentre(const QString& fieldName) const {
  QHeaderView* header = view_->Header();
  const int logical = Logical(fieldName);
  return QPoint(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 3,
                header->height() / 2);
}

QPoint GridTest::FilterButton(const QString& fieldName) const {
  return view_->Header()->FilterButtonRect(Logical(fieldName)).center();
}

void GridTest::Drag(QWidget* from, const QPoint& fromPos, QWidget* to, const QPoint& toPos) {
  const QPoint startGlobal = from->mapToGlobal(fromPos);
  const QPoint endGlobal = to->mapToGlobal(toPos);
  QMouseEvent press(QEvent::MouseButtonPress, fromPos, startGlobal, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(from, &press);
  for (int step = 1; step <= 4; ++step) {
    const QPoint global = startGlobal + (endGlobal - startGlobal) * step / 4;
    QMouseEvent move(QEvent::MouseMove, from->mapFromGlobal(global), global, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(from, &move);
  }
  QMouseEvent release(QEvent::MouseButtonRelease, from->mapFromGlobal(endGlobal), endGlobal, Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(from, &release);
}

void GridTest::Click(QWidget* widget, const QPoint& pos, Qt::KeyboardModifiers modifiers) {
  const QPoint global = widget->mapToGlobal(pos);
  QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, modifiers);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, modifiers);
  QApplication::sendEvent(widget, &release);
}

}  // namespace gridtest
