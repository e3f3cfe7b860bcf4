#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <deque>
#include <functional>

#include "fontes/dados/uDM.h"
#include "fontes/views/Clientes.h"
#include "fontes/views/Principal.h"
#include "fontes/views/Servicos.h"
#include "fontes/views/Usuarios.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/ui/Application.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/DataSetModel.h"
#include "platform/ui/Fonts.h"
#include "tests/fontes/views/DemoShopTest.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/UiTyping.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

const QString kDeleteRecord = QStringLiteral("Delete record?");
const QString kDeleteClient = QStringLiteral("Deseja realmente excluir o registro?");
constexpr int kOkCancelQuestion = 33;
constexpr int kYesNoQuestionNoDefault = 292;
constexpr int kErrorBox = 16;

// Answers message boxes from a script (OK once it runs out) and keeps what was asked.
class BoxScript {
 public:
  BoxScript()
      : previous_(SetMessageBoxHandler([this](const QString& text, const QString& caption, int flags) {
          boxes.push_back({text, caption, flags});
          if (answers_.empty()) return id::OK;
          const int answer = answers_.front();
          answers_.pop_front();
          return answer;
        })) {}
  ~BoxScript() { SetMessageBoxHandler(previous_); }
  BoxScript(const BoxScript&) = delete;
  BoxScript& operator=(const BoxScript&) = delete;

  void Answer(const std::vector<int>& answers) {
    answers_.assign(answers.begin(), answers.end());
    boxes.clear();
  }

  std::vector<uitest::ShownBox> boxes;

 private:
  std::deque<int> answers_;
  MessageBoxHandler previous_;
};

// A second program on the same database file.
class OtherProgram {
 public:
  explicit OtherProgram(const QString& path) {
    EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  }
  ~OtherProgram() { sqlite3_close(db_); }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

  void Exec(const char* sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
  }
  // The first column of every row, as text.
  QStringList Column(const QString& sql) {
    QStringList values;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK);
    while (sqlite3_step(stmt) == SQLITE_ROW)
      values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return values;
  }

 private:
  sqlite3* db_ = nullptr;
};

// The focusable controls in the order Tab visits them, from the one with the focus.
QList<QWidget*> TabChain(QWidget* window) {
  QWidget* start = window->focusWidget();
  QList<QWidget*> chain{start};
  for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain())
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled()) chain << w;
  return chain;
}

int GridRows(const TRegisterForm* f) {
  return f->DBGrid1->model()->rowCount();
}

void Press(TDBNavigator* navigator, TNavigateBtn button) {
  ASSERT_TRUE(navigator->Button(button)->isEnabled()) << TDBNavigator::ButtonName(button).toStdString();
  QTest::mouseClick(navigator->Button(button), Qt::LeftButton);
}

void CtrlDelete(TDBGrid* grid) {
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
}

using uitest::TypeInto;

// The registers of the demonstration shop, opened from the main window.
class RegistersTest : public DemoShopTest {
 protected:
  void SetUp() override {
    DemoShopTest::SetUp();
    if (HasFatalFailure()) return;
    // A lock held elsewhere is reported at once instead of after a wait.
    DM->ADO->SetBusyTimeout(0);
  }

  TfClientes* OpenClientes() {
    QTest::mouseClick(fPrincipal->dxBarLargeButton4, Qt::LeftButton);
    return fClientes;
  }
  TfServicos* OpenServicos() {
    QTest::mouseClick(fPrincipal->dxBarLargeButton5, Qt::LeftButton);
    return fServicos;
  }
  TfUsuarios* OpenUsuarios() {
    QTest::mouseClick(fPrincipal->dxBarLargeButton6, Qt::LeftButton);
    return fUsuarios;
  }
  TRegisterForm* OpenByName(const QString& caption) {
    if (caption == QStringLiteral("Clientes")) return OpenClientes();
    if (caption == QStringLiteral("Serviços")) return OpenServicos();
    return OpenUsuarios();
  }
  QStringList Db(const QString& sql) { return OtherProgram(database_).Column(sql); }

  BoxScript boxes_;
};

TEST_F(RegistersTest, EachWindowIsLaidOutAsDesigned) {
  struct Box {
    const char* name;
    QRect geometry;
    const char* field;
    const char* label;
  };
  struct Label {
    const char* name;
    const char* text;
    QPoint pos;
  };
  const struct {
    const char* caption;
    const char* name;
    const char* panel;
    TDataSet* dataSet;
    int gridHeight;
    int panelHeight;
    TDBGridOptions gridOptions;
    std::vector<Label> labels;
    std::vector<Box> boxes;
    bool idSkyBlue;
  } windows[] = {
      {"Clientes",
       "fClientes",
       "pBotton",
       DM->adsClientes,
       276,
       200,
       TDBGrid::kDefaultOptions & ~(dgEditing | dgConfirmDelete),
       {{"Label1", "Código", {72, 24}}, {"Label2", "Nome", {72, 64}}, {"Label3", "Telefone", {72, 104}}},
       {{"DBEdit1", {72, 43, 81, 21}, "id", "Código"},
        {"cxDBTextEdit1", {72, 80, 121, 21}, "nome", "Nome"},
        {"cxDBTextEdit2", {72, 120, 121, 21}, "telefone", "Telefone"}},
       true},
      {"Serviços",
       "fServicos",
       "Panel1",
       DM->adsServicos,
       311,
       165,
       TDBGrid::kDefaultOptions,
       {{"Label1", "Código", {72, 24}}, {"Label2", "Descrição", {72, 64}}},
       {{"DBEdit1", {72, 40, 121, 21}, "id", "Código"},
        {"cxDBTextEdit1", {72, 80, 121, 21}, "descricao", "Descrição"}},
       false},
      {"Usuários",
       "fUsuarios",
       "Panel1",
       DM->adsUsers,
       276,
       200,
       TDBGrid::kDefaultOptions & ~dgEditing,
       {{"Label1", "Código", {72, 24}},
        {"Label2", "Login", {72, 64}},
        {"Label3", "Nome", {72, 104}},
        {"Label4", "Senha", {72, 144}}},
       {{"DBEdit1", {72, 37, 89, 21}, "id", "Código"},
        {"cxDBTextEdit1", {72, 80, 121, 21}, "login", "Login"},
        {"cxDBTextEdit2", {72, 121, 353, 21}, "nome", "Nome"},
        {"cxDBTextEdit3", {72, 160, 121, 21}, "password", "Senha"}},
       true},
  };
  for (const auto& w : windows) {
    SCOPED_TRACE(w.caption);
    TRegisterForm* f = OpenByName(QString::fromUtf8(w.caption));
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Owner(), fPrincipal);
    EXPECT_EQ(f->objectName(), QString::fromLatin1(w.name));
    EXPECT_EQ(f->Caption(), QString::fromUtf8(w.caption));
    EXPECT_EQ(f->size(), QSize(734, 501));
    EXPECT_EQ(f->BorderStyle(), bsSizeable);
    EXPECT_NE(f->minimumSize(), f->maximumSize()) << "sizeable";
    EXPECT_EQ(f->font(), ui::WindowFont());
    EXPECT_EQ(f->DataSource1->Name(), QStringLiteral("DataSource1"));
    EXPECT_EQ(f->DataSource1->DataSet(), w.dataSet);
    EXPECT_TRUE(w.dataSet->Active()) << "opened when shown";

    EXPECT_EQ(f->DBGrid1->geometry(), QRect(0, 0, 734, w.gridHeight));
    EXPECT_EQ(f->DBGrid1->Options(), w.gridOptions);
    EXPECT_EQ(GridRows(f), w.dataSet->RecordCount());
    EXPECT_EQ(f->DBNavigator1->geometry(), QRect(0, w.gridHeight, 734, 25));
    EXPECT_EQ(f->DBNavigator1->VisibleButtons(), kAllNavButtons);
    EXPECT_TRUE(f->DBNavigator1->ConfirmDelete());
    auto* panel = f->findChild<QFrame*>(QString::fromLatin1(w.panel));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(0, w.gridHeight + 25, 734, w.panelHeight));
    EXPECT_EQ(panel->frameShape(), QFrame::NoFrame);

    for (const Label& l : w.labels) {
      auto* label = panel->findChild<QLabel*>(QString::fromLatin1(l.name));
      ASSERT_NE(label, nullptr) << l.name;
      EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
      EXPECT_EQ(label->pos(), l.pos) << l.name;
    }
    for (const Box& b : w.boxes) {
      auto* box = panel->findChild<TCustomDBEdit*>(QString::fromLatin1(b.name));
      ASSERT_NE(box, nullptr) << b.name;
      EXPECT_EQ(box->geometry(), b.geometry) << b.name;
      EXPECT_EQ(box->DataSource(), f->DataSource1);
      EXPECT_EQ(box->DataField(), QString::fromLatin1(b.field));
      EXPECT_EQ(box->accessibleName(), QString::fromUtf8(b.label)) << b.name;
      if (box != f->focusWidget()) {
        EXPECT_EQ(box->cursorPosition(), 0) << b.name << ": a long text shows its start";
      }
    }
    auto* id = panel->findChild<TDBEdit*>(QStringLiteral("DBEdit1"));
    EXPECT_TRUE(id->isReadOnly());
    EXPECT_EQ(id->ReadOnly(), w.idSkyBlue) << "the box itself read-only, or only its field";
    EXPECT_EQ(id->Color() == QColor(166, 202, 240), w.idSkyBlue);
    EXPECT_EQ(id->text(), QStringLiteral("00001"));

    for (QWidget* control : f->findChildren<QWidget*>()) {
      const QString name = control->objectName();
      if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
      EXPECT_EQ(control->accessibleDescription(), name);
      if (qobject_cast<QLabel*>(control) == nullptr) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name.toStdString();
      }
    }
    f->Close();
  }
}

TEST_F(RegistersTest, KeyboardOrderAndInitialFocus) {
  TfClientes* c = OpenClientes();
  EXPECT_EQ(c->focusWidget(), c->cxDBTextEdit1);
  EXPECT_EQ(TabChain(c), (QList<QWidget*>{c->cxDBTextEdit1, c->cxDBTextEdit2, c->DBEdit1, c->DBGrid1}));
  TfServicos* s = OpenServicos();
  EXPECT_EQ(s->focusWidget(), s->DBGrid1);
  EXPECT_EQ(TabChain(s), (QList<QWidget*>{s->DBGrid1, s->cxDBTextEdit1, s->DBEdit1}));
  TfUsuarios* u = OpenUsuarios();
  EXPECT_EQ(u->focusWidget(), u->cxDBTextEdit1);
  EXPECT_EQ(TabChain(u),
            (QList<QWidget*>{u->cxDBTextEdit1, u->cxDBTextEdit2, u->cxDBTextEdit3, u->DBEdit1, u->DBGrid1}));
  for (TRegisterForm* f : std::initializer_list<TRegisterForm*>{c, s, u})
    for (int b = 0; b < kNavigateButtonCount; ++b)
      EXPECT_EQ(f->DBNavigator1->Button(static_cast<TNavigateBtn>(b))->focusPolicy(), Qt::NoFocus);

  // Tab really moves along the order.
  c->cxDBTextEdit1->setFocus();
  QTest::keyClick(c->cxDBTextEdit1, Qt::Key_Tab);
  EXPECT_EQ(c->focusWidget(), c->cxDBTextEdit2);
}

TEST_F(RegistersTest, DeletingAClientWithTheNavigatorAsksTwice) {
  const struct {
    std::vector<int> answers;
    size_t questions;
    bool deleted;
  } cases[] = {
      {{id::CANCEL}, 1, false},
      {{id::OK, id::NO}, 2, false},
      {{id::OK, id::YES}, 2, true},
  };
  TfClientes* f = OpenClientes();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.questions * 10 + c.deleted);
    const int rows = DM->adsClientes->RecordCount();
    const QString id = DM->adsClientesid->AsString();
    boxes_.Answer(c.answers);
    Press(f->DBNavigator1, nbDelete);
    ASSERT_EQ(boxes_.boxes.size(), c.questions);
    EXPECT_EQ(boxes_.boxes[0].text, kDeleteRecord);
    EXPECT_EQ(boxes_.boxes[0].flags, kOkCancelQuestion);
    if (c.questions == 2) {
      EXPECT_EQ(boxes_.boxes[1].text, kDeleteClient);
      EXPECT_EQ(boxes_.boxes[1].caption, QStringLiteral("CONFIRME"));
      EXPECT_EQ(boxes_.boxes[1].flags, kYesNoQuestionNoDefault);
    }
    EXPECT_EQ(DM->adsClientes->RecordCount(), rows - (c.deleted ? 1 : 0));
    EXPECT_EQ(GridRows(f), DM->adsClientes->RecordCount());
    EXPECT_EQ(Db(QStringLiteral("SELECT id FROM Clientes WHERE id = %1").arg(id)).size(), c.deleted ? 0 : 1);
  }
}

TEST_F(RegistersTest, CtrlDeleteInTheClientsGridAsksOnlyTheDataModule) {
  TfClientes* f = OpenClientes();
  const struct {
    int answer;
    int rowsLeft;
  } cases[] = {{id::NO, 8}, {id::YES, 7}};
  for (const auto& c : cases) {
    boxes_.Answer({c.answer});
    CtrlDelete(f->DBGrid1);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, kDeleteClient);
    EXPECT_EQ(boxes_.boxes[0].flags, kYesNoQuestionNoDefault);
    EXPECT_EQ(Db(QStringLiteral("SELECT id FROM Clientes")).size(), c.rowsLeft);
  }
}

TEST_F(RegistersTest, ServicesAndUsersAskDeleteRecordOnce) {
  const struct {
    const char* caption;
    const char* table;
    bool withGrid;  // Ctrl+Delete in the grid, else the navigator
  } cases[] = {
      {"Serviços", "Servicos", false},
      {"Serviços", "Servicos", true},
      {"Usuários", "Users", false},
      {"Usuários", "Users", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + (c.withGrid ? " grid" : " navigator"));
    TRegisterForm* f = OpenByName(QString::fromUtf8(c.caption));
    const QString count = QStringLiteral("SELECT id FROM %1").arg(QString::fromLatin1(c.table));
    const auto remove = [&] { c.withGrid ? CtrlDelete(f->DBGrid1) : Press(f->DBNavigator1, nbDelete); };
    const int before = Db(count).size();

    boxes_.Answer({id::CANCEL});
    remove();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, kDeleteRecord);
    EXPECT_EQ(boxes_.boxes[0].flags, kOkCancelQuestion);
    EXPECT_EQ(Db(count).size(), before);

    boxes_.Answer({id::OK});
    remove();
    EXPECT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(Db(count).size(), before - 1);
    EXPECT_EQ(GridRows(f), before - 1);
    f->Close();
  }
}

TEST_F(RegistersTest, CodeBoxesCannotBeTypedInto) {
  for (const char* caption : {"Clientes", "Serviços", "Usuários"}) {
    SCOPED_TRACE(caption);
    TRegisterForm* f = OpenByName(QString::fromUtf8(caption));
    auto* id = f->findChild<TDBEdit*>(QStringLiteral("DBEdit1"));
    TypeInto(id, QStringLiteral("99"));
    EXPECT_EQ(id->text(), QStringLiteral("00001"));
    EXPECT_EQ(f->DataSource1->DataSet()->State(), dsBrowse);
    f->Close();
  }
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(RegistersTest, UsersGridHidesThePasswordAndTheBoxEchoesStars) {
  TfUsuarios* f = OpenUsuarios();
  EXPECT_EQ(f->DBGrid1->model()->columnCount(), 3);
  EXPECT_EQ(f->DBGrid1->ColumnOfField(QStringLiteral("password")), -1);
  for (const char* field : {"id", "login", "nome"})
    EXPECT_GE(f->DBGrid1->ColumnOfField(QString::fromLatin1(field)), 0) << field;
  EXPECT_EQ(f->cxDBTextEdit3->text(), QStringLiteral("senha"));
  EXPECT_EQ(f->cxDBTextEdit3->echoMode(), QLineEdit::Password);
  EXPECT_EQ(f->cxDBTextEdit3->displayText(), QStringLiteral("*****"));
}

TEST_F(RegistersTest, AClientAddedWithTheNavigatorIsStoredAndListedOnReopening) {
  TfClientes* f = OpenClientes();
  Press(f->DBNavigator1, nbInsert);
  EXPECT_EQ(f->DBGrid1->currentIndex().row(), DM->adsClientes->CurrentRow())
      << "the new row is the one selected";
  TypeInto(f->cxDBTextEdit1, QStringLiteral("Zélia Gonçalves"));
  TypeInto(f->cxDBTextEdit2, QStringLiteral("(27) 3322-1100"));
  Press(f->DBNavigator1, nbPost);
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(DM->adsClientes->State(), dsBrowse);
  EXPECT_EQ(Db(QStringLiteral("SELECT telefone FROM Clientes WHERE nome = 'Zélia Gonçalves'")),
            QStringList{QStringLiteral("(27) 3322-1100")});

  QPointer<TfClientes> first(f);
  f->Close();
  EXPECT_EQ(fClientes, nullptr);
  EXPECT_FALSE(DM->adsClientes->Active());
  uitest::ProcessDeferredDeletes();
  EXPECT_TRUE(first.isNull()) << "freed once closed";

  f = OpenClientes();
  EXPECT_EQ(GridRows(f), 9);
  EXPECT_TRUE(DM->adsClientes->Locate(QStringLiteral("nome"), QStringLiteral("Zélia Gonçalves")));
  EXPECT_EQ(f->cxDBTextEdit2->text(), QStringLiteral("(27) 3322-1100"));
}

TEST_F(RegistersTest, ANameLongerThanTheColumnIsRefusedAndKept) {
  TfClientes* f = OpenClientes();
  Press(f->DBNavigator1, nbInsert);
  const QString tooLong(256, QLatin1Char('x'));
  TypeInto(f->cxDBTextEdit1, tooLong);
  Press(f->DBNavigator1, nbPost);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("255 caracteres")))
      << boxes_.boxes[0].text.toStdString();
  EXPECT_EQ(boxes_.boxes[0].caption, QStringLiteral("Quorvel"));
  EXPECT_EQ(boxes_.boxes[0].flags, kErrorBox);
  EXPECT_EQ(DM->adsClientes->State(), dsInsert);
  EXPECT_EQ(f->cxDBTextEdit1->text(), tooLong);
  EXPECT_EQ(Db(QStringLiteral("SELECT id FROM Clientes")).size(), 8);

  // Corrected, it goes in.
  boxes_.Answer({});
  TypeInto(f->cxDBTextEdit1, QString(255, QLatin1Char('y')));
  Press(f->DBNavigator1, nbPost);
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(Db(QStringLiteral("SELECT length(nome) FROM Clientes WHERE nome LIKE 'y%'")), QStringList{"255"});
}

TEST_F(RegistersTest, AWriteRefusedByALockElsewhereIsReportedAndCanBeRetried) {
  const struct {
    const char* what;
    std::function<void(TfClientes*)> begin;
    const char* expected;  // in the table once the lock is gone
  } cases[] = {
      {"insert",
       [](TfClientes* f) {
         Press(f->DBNavigator1, nbInsert);
         TypeInto(f->cxDBTextEdit1, QStringLiteral("Cliente Novo"));
       },
       "Cliente Novo"},
      {"edit", [](TfClientes* f) { TypeInto(f->cxDBTextEdit1, QStringLiteral("Maria Souza")); },
       "Maria Souza"},
  };
  TfClientes* f = OpenClientes();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DM->adsClientes->First();
    c.begin(f);
    const TDataSetState state = DM->adsClientes->State();
    {
      OtherProgram other(database_);
      other.Exec("BEGIN EXCLUSIVE");
      boxes_.Answer({});
      Press(f->DBNavigator1, nbPost);
      ASSERT_EQ(boxes_.boxes.size(), 1u);
      EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("bloqueado")))
          << boxes_.boxes[0].text.toStdString();
      EXPECT_EQ(boxes_.boxes[0].flags, kErrorBox);
      EXPECT_EQ(DM->adsClientes->State(), state);
      EXPECT_EQ(f->cxDBTextEdit1->text(), QString::fromUtf8(c.expected));
      other.Exec("ROLLBACK");
    }
    boxes_.Answer({});
    Press(f->DBNavigator1, nbPost);
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(DM->adsClientes->State(), dsBrowse);
    EXPECT_EQ(
        Db(QStringLiteral("SELECT nome FROM Clientes WHERE nome = '%1'").arg(QString::fromUtf8(c.expected)))
            .size(),
        1);
  }
}

TEST_F(RegistersTest, ADeleteRefusedByALockIsReportedAndTheRowStays) {
  TfServicos* f = OpenServicos();
  OtherProgram other(database_);
  other.Exec("BEGIN EXCLUSIVE");
  boxes_.Answer({id::OK});
  Press(f->DBNavigator1, nbDelete);
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(boxes_.boxes[0].text, kDeleteRecord);
  EXPECT_TRUE(boxes_.boxes[1].text.contains(QStringLiteral("bloqueado")));
  EXPECT_EQ(boxes_.boxes[1].flags, kErrorBox);
  EXPECT_EQ(GridRows(f), 8);
  EXPECT_EQ(f->DBEdit1->text(), QStringLiteral("00001"));
  other.Exec("ROLLBACK");
  EXPECT_EQ(Db(QStringLiteral("SELECT id FROM Servicos")).size(), 8);
}

TEST_F(RegistersTest, AChangeToARowDeletedElsewhereIsReportedAndCanBeCancelled) {
  TfClientes* f = OpenClientes();
  TypeInto(f->cxDBTextEdit1, QStringLiteral("Maria A. Souza"));
  OtherProgram(database_).Exec("DELETE FROM Clientes WHERE id = 1");
  Press(f->DBNavigator1, nbPost);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("excluído por outro")))
      << boxes_.boxes[0].text.toStdString();
  EXPECT_EQ(DM->adsClientes->State(), dsEdit);
  EXPECT_EQ(f->cxDBTextEdit1->text(), QStringLiteral("Maria A. Souza"));

  Press(f->DBNavigator1, nbCancel);
  EXPECT_EQ(DM->adsClientes->State(), dsBrowse);
  EXPECT_EQ(f->cxDBTextEdit1->text(), QStringLiteral("Maria Aparecida Souza"));
}

TEST_F(RegistersTest, TwoWindowsShareTheDataSetAndClosingEitherClosesIt) {
  TfClientes* first = OpenClientes();
  TfClientes* second = OpenClientes();
  ASSERT_NE(first, second);
  EXPECT_EQ(fClientes, second) << "the newest";
  EXPECT_EQ(first->objectName(), QStringLiteral("fClientes"));
  EXPECT_NE(second->objectName(), first->objectName()) << "names stay unique under the owner";
  EXPECT_EQ(GridRows(first), 8);
  EXPECT_EQ(GridRows(second), 8);

  first->Close();
  EXPECT_FALSE(DM->adsClientes->Active());
  EXPECT_EQ(fClientes, nullptr) << "cleared by whichever window closes";
  EXPECT_EQ(GridRows(second), 0);
  EXPECT_FALSE(second->DBNavigator1->Button(nbInsert)->isEnabled());

  second->Close();
  uitest::ProcessDeferredDeletes();
  EXPECT_EQ(GridRows(OpenClientes()), 8);
  EXPECT_TRUE(boxes_.boxes.empty());
}

// Each window paints its rows; with QUORVEL_SCREENSHOTS set to a folder, the pictures
// are kept there.
TEST_F(RegistersTest, EachWindowPaintsItsRows) {
  ui::InstallFonts();
  const QString folder = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
  const struct {
    const char* caption;
    const char* file;
  } windows[] = {{"Clientes", "clientes.png"}, {"Serviços", "servicos.png"}, {"Usuários", "usuarios.png"}};
  for (const auto& w : windows) {
    TRegisterForm* f = OpenByName(QString::fromUtf8(w.caption));
    const QImage picture = f->grab().toImage();
    EXPECT_EQ(picture.size(), QSize(734, 501) * picture.devicePixelRatio());
    // The grid's first row holds text: not all of its pixels are alike.
    const QRect row =
        f->DBGrid1->visualRect(f->DBGrid1->model()->index(0, 1)).intersected(f->DBGrid1->viewport()->rect());
    const QPoint origin = f->DBGrid1->viewport()->mapTo(f, row.topLeft());
    QSet<QRgb> colours;
    for (int x = origin.x(); x < origin.x() + row.width(); ++x)
      colours.insert(picture.pixel(x, origin.y() + row.height() / 2));
    EXPECT_GT(colours.size(), 1) << w.caption;
    if (!folder.isEmpty()) picture.save(QDir(folder).filePath(QString::fromLatin1(w.file)));
    f->Close();
  }
}

}  // namespace
