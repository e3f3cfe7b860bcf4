#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "platform/db/Field.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DataSetModel.h"
#include "tests/platform/dbcontrols/ControlsFixture.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

using ctltest::ControlsTest;

class GridTest : public ControlsTest {
 protected:
  // The users register as its window shows it.
  TDBGrid* UsersGrid() {
    users_ = Open(QStringLiteral("select id, login, nome, password from Users"));
    users_->FieldByName(QStringLiteral("id"))->SetDisplayLabel(QStringLiteral("Código"));
    users_->FieldByName(QStringLiteral("id"))->SetDisplayFormat(QStringLiteral("00000"));
    users_->FieldByName(QStringLiteral("login"))->SetDisplayLabel(QStringLiteral("Login"));
    users_->FieldByName(QStringLiteral("login"))->SetDisplayWidth(25);
    users_->FieldByName(QStringLiteral("nome"))->SetAlignment(taRightJustify);
    users_->FieldByName(QStringLiteral("password"))->SetVisible(false);
    auto* grid = new TDBGrid(nullptr, Host());
    grid->SetName(QStringLiteral("DBGrid1"));
    grid->setGeometry(0, 0, 600, 300);
    grid->SetDataSource(SourceOf(users_));
    return grid;
  }

  TDBGrid* ServicesGrid() {
    services_ = Open(QStringLiteral("select id, descricao from Servicos"));
    auto* grid = new TDBGrid(nullptr, Host());
    grid->SetName(QStringLiteral("DBGrid1"));
    grid->setGeometry(0, 0, 600, 300);
    grid->SetDataSource(SourceOf(services_));
    return grid;
  }

  TADODataSet* users_ = nullptr;
  TADODataSet* services_ = nullptr;
};

TEST_F(GridTest, ColumnsAreTheVisibleFieldsTitledFormattedAndAligned) {
  TDBGrid* grid = UsersGrid();
  const ui::DataSetModel* model = grid->Model();
  ASSERT_EQ(model->columnCount(), 3);  // the password stays hidden
  const struct {
    QString title;
    QString firstCell;
    Qt::Alignment alignment;
  } columns[] = {
      {QStringLiteral("Código"), QStringLiteral("00001"), Qt::AlignRight},
      {QStringLiteral("Login"), QStringLiteral("ana"), Qt::AlignLeft},
      {QStringLiteral("nome"), QStringLiteral("Ana Souza"), Qt::AlignRight},
  };
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), columns[c].title);
    EXPECT_EQ(model->index(0, c).data().toString(), columns[c].firstCell);
    EXPECT_TRUE(model->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & columns[c].alignment);
  }
  EXPECT_EQ(model->rowCount(), 2);
  EXPECT_EQ(grid->objectName(), QStringLiteral("DBGrid1"));
  EXPECT_EQ(grid->accessibleDescription(), QStringLiteral("DBGrid1"));
}

TEST_F(GridTest, WidthsComeFromDisplayWidthUnlessSetInPixels) {
  TDBGrid* grid = UsersGrid();
  const int login = grid->ColumnOfField(QStringLiteral("login"));
  const int average = grid->fontMetrics().averageCharWidth();
  EXPECT_GE(grid->columnWidth(login), 25 * average);
  EXPECT_LT(grid->columnWidth(login), 25 * average + 30);
  grid->SetColumnWidth(QStringLiteral("LOGIN"), 246);
  EXPECT_EQ(grid->columnWidth(login), 246);
  // Changing a field's label keeps the columns (no reset) and re-titles them.
  QSignalSpy resets(grid->Model(), &QAbstractItemModel::modelReset);
  users_->FieldByName(QStringLiteral("nome"))->SetDisplayLabel(QStringLiteral("Nome"));
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(grid->Model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Nome"));
  // Hiding a field takes its column away.
  users_->FieldByName(QStringLiteral("login"))->SetVisible(false);
  EXPECT_EQ(grid->Model()->columnCount(), 2);
}

TEST_F(GridTest, SelectionAndCursorFollowEachOther) {
  TDBGrid* grid = ServicesGrid();
  ShowHost();
  EXPECT_EQ(grid->currentIndex().row(), 0);
  services_->Last();
  EXPECT_EQ(grid->currentIndex().row(), 2);
  grid->setCurrentIndex(grid->Model()->index(1, 1));
  EXPECT_EQ(services_->RecNo(), 2);
  Focus(grid);
  QTest::keyClick(grid, Qt::Key_Up);
  EXPECT_EQ(services_->RecNo(), 1);
  EXPECT_EQ(grid->currentIndex().column(), 1);
}

TEST_F(GridTest, RowsChangeOneByOneWithoutReset) {
  TDBGrid* grid = ServicesGrid();
  QSignalSpy resets(grid->Model(), &QAbstractItemModel::modelReset);
  services_->Append();
  EXPECT_EQ(grid->Model()->rowCount(), 4);
  EXPECT_EQ(grid->currentIndex().row(), 3);
  EXPECT_EQ(grid->Model()->headerData(3, Qt::Vertical).toString(), QStringLiteral("*"));
  services_->FieldByName(QStringLiteral("descricao"))->SetAsString(QStringLiteral("Pintura"));
  EXPECT_EQ(grid->Model()->index(3, 1).data().toString(), QStringLiteral("Pintura"));
  services_->Post();
  EXPECT_EQ(grid->Model()->index(3, 0).data().toString(), QStringLiteral("4"));
  services_->First();
  services_->Delete();
  EXPECT_EQ(grid->Model()->rowCount(), 3);
  EXPECT_EQ(grid->Model()->index(0, 1).data().toString(), QStringLiteral("Limpeza"));
  EXPECT_EQ(resets.count(), 0);
}

TEST_F(GridTest, TypingInACellEditsTheRowAndWritesTheField) {
  TDBGrid* grid = ServicesGrid();
  ShowHost();
  grid->setCurrentIndex(grid->Model()->index(1, 1));
  Focus(grid);
  QTest::keyClicks(grid, QStringLiteral("P"));
  auto* editor = qobject_cast<QLineEdit*>(grid->CellEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(services_->State(), dsEdit);
  QTest::keyClicks(editor, QStringLiteral("olir"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(grid->CellEditor(), nullptr);
  EXPECT_EQ(services_->FieldByName(QStringLiteral("descricao"))->AsString(), QStringLiteral("Polir"));
  services_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select descricao from Servicos where id = 2")), QStringLiteral("Polir"));
}

TEST_F(GridTest, ACellEditPendingWhenTheRowPostsIsWritten) {
  TDBGrid* grid = ServicesGrid();
  ShowHost();
  grid->setCurrentIndex(grid->Model()->index(0, 1));
  Focus(grid);
  QTest::keyClicks(grid, QStringLiteral("N"));
  ASSERT_NE(grid->CellEditor(), nullptr);
  QTest::keyClicks(grid->CellEditor(), QStringLiteral("ovo"));
  services_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select descricao from Servicos where id = 1")), QStringLiteral("Novo"));
}

TEST_F(GridTest, WithoutEditingTypingChangesNothing) {
  TDBGrid* grid = ServicesGrid();
  grid->SetOptions(TDBGrid::kDefaultOptions & ~static_cast<unsigned>(dgEditing));
  ShowHost();
  grid->setCurrentIndex(grid->Model()->index(0, 1));
  Focus(grid);
  QTest::keyClicks(grid, QStringLiteral("xyz"));
  EXPECT_EQ(grid->CellEditor(), nullptr);
  EXPECT_EQ(services_->State(), dsBrowse);
  EXPECT_FALSE(grid->Model()->flags(grid->Model()->index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(GridTest, ARefusedCellValueIsReportedAndKept) {
  TADODataSet* orders = Open(QStringLiteral("select id, dt_entrada from OrdensServico"));
  auto* grid = new TDBGrid(nullptr, Host());
  grid->setGeometry(0, 0, 600, 300);
  grid->SetDataSource(SourceOf(orders));
  ShowHost();
  grid->setCurrentIndex(grid->Model()->index(0, 1));
  Focus(grid);
  uitest::BoxRecorder boxes;
  QTest::keyClicks(grid, QStringLiteral("z"));
  auto* editor = qobject_cast<QLineEdit*>(grid->CellEditor());
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(boxes.boxes[0].text.contains(QStringLiteral("'z'"))) << boxes.boxes[0].text.toStdString();
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, mb::ICONERROR);
  ASSERT_EQ(grid->CellEditor(), editor);
  EXPECT_EQ(editor->text(), QStringLiteral("z"));
  // Moving to another row keeps the refused text where it is.
  grid->setCurrentIndex(grid->Model()->index(1, 1));
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_EQ(orders->RecNo(), 1);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  // Esc undoes the cell; a second Esc cancels the row.
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(grid->CellEditor(), nullptr);
  EXPECT_EQ(orders->State(), dsEdit);
  QTest::keyClick(grid, Qt::Key_Escape);
  EXPECT_EQ(orders->State(), dsBrowse);
}

TEST_F(GridTest, CancellingTheRowDropsARefusedCellsText) {
  TADODataSet* orders = Open(QStringLiteral("select id, vlr_total from OrdensServico"));
  auto* grid = new TDBGrid(nullptr, Host());
  grid->setGeometry(0, 0, 600, 300);
  grid->SetDataSource(SourceOf(orders));
  ShowHost();
  const QString stored = Scalar(QStringLiteral("select vlr_total from OrdensServico where id = 1"));
  grid->setCurrentIndex(grid->Model()->index(0, 1));
  Focus(grid);
  uitest::BoxRecorder boxes;
  QTest::keyClicks(grid, QStringLiteral("a"));
  ASSERT_NE(grid->CellEditor(), nullptr);
  QTest::keyClicks(grid->CellEditor(), QStringLiteral("bc"));
  QTest::keyClick(grid->CellEditor(), Qt::Key_Return);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("'abc' não é um valor válido para")))
      << boxes.boxes[0].text.toStdString();
  // The row is cancelled elsewhere (a navigator, the window): the refused text goes too,
  // so moving on neither raises nor writes it into another row.
  orders->Cancel();
  EXPECT_EQ(grid->CellEditor(), nullptr);
  EXPECT_NO_THROW(orders->First());
  EXPECT_NO_THROW(orders->Next());
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(Scalar(QStringLiteral("select vlr_total from OrdensServico where id = 1")), stored);
}

TEST_F(GridTest, CtrlDeleteAsksOrNotAsTheGridIsSet) {
  const struct {
    const char* name;
    bool confirm;
    int answer;
    bool asked;
    bool deleted;
  } cases[] = {
      {"asked and cancelled", true, id::CANCEL, true, false},
      {"asked and confirmed", true, id::OK, true, true},
      {"not asked", false, id::OK, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDBGrid* grid = ServicesGrid();
    grid->SetConfirmDelete(c.confirm);
    uitest::BoxRecorder boxes(c.answer);
    services_->Locate(QStringLiteral("id"), 2);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(boxes.boxes.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Delete record?"));
      EXPECT_EQ(boxes.boxes[0].flags, 33);
    }
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Servicos where id = 2")), c.deleted ? "0" : "1");
    EXPECT_EQ(grid->Model()->rowCount(), c.deleted ? 2 : 3);
    Exec(QStringLiteral("INSERT OR IGNORE INTO Servicos (id, descricao) VALUES (2, 'Limpeza')"));
    delete grid;
  }
}

TEST_F(GridTest, ADeleteRefusedByTheDataSetEndsSilently) {
  TDBGrid* grid = ServicesGrid();
  grid->SetConfirmDelete(false);
  services_->BeforeDelete = [](TDataSet&) { rtl::Abort(); };
  uitest::BoxRecorder boxes;
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(grid->Model()->rowCount(), 3);
  EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Servicos")), QStringLiteral("3"));
}

TEST_F(GridTest, AReadOnlyGridNeitherEditsNorDeletes) {
  TDBGrid* grid = ServicesGrid();
  grid->SetReadOnly(true);
  uitest::BoxRecorder boxes(id::OK);
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  QTest::keyClicks(grid, QStringLiteral("abc"));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(services_->State(), dsBrowse);
  EXPECT_EQ(grid->Model()->rowCount(), 3);
}

TEST_F(GridTest, TitleSortOrdersTheRows) {
  TDBGrid* grid = ServicesGrid();
  grid->SetOptions(grid->Options() | dgTitleSort);
  const int descricao = grid->ColumnOfField(QStringLiteral("descricao"));
  emit grid->horizontalHeader()->sectionClicked(descricao);
  EXPECT_EQ(grid->Model()->index(0, descricao).data().toString(), QStringLiteral("Ajuste"));
  emit grid->horizontalHeader()->sectionClicked(descricao);
  EXPECT_EQ(grid->Model()->index(0, descricao).data().toString(), QStringLiteral("Limpeza"));
}

}  // namespace
