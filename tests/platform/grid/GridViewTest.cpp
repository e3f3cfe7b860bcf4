#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "platform/db/DataSet.h"
#include "platform/ui/GridFilterPopup.h"
#include "platform/ui/GridGroupBox.h"
#include "platform/ui/GridHeader.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridTreeView.h"
#include "tests/platform/grid/GridFixture.h"

namespace gridtest {
namespace {

QStringList Strings(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* text : texts) list << QString::fromUtf8(text);
  return list;
}

int CurrentId(TDataSet* ds) {
  return ds->FieldByName(QStringLiteral("id"))->AsInteger();
}

TEST_F(GridTest, ColumnsAreTitledWithTheFieldLabelsCentredAndKeepTheirWidths) {
  OpenSample();
  QAbstractItemModel* model = view_->Rows()->model();
  const QStringList labels =
      Strings({"Código", "Cliente", "Recebeu", "Dt Entrada", "Dt Saída", "Vlr Total R$", "Status"});
  ASSERT_EQ(view_->ColumnCount(), labels.size());
  for (int i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(view_->Columns(i)->Caption(), labels[i]);
    EXPECT_EQ(model->headerData(i, Qt::Horizontal).toString(), labels[i]);
    EXPECT_EQ(model->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(view_->Columns(i)->Index(), i);
  }
  EXPECT_EQ(view_->Header()->sectionSize(Logical(QStringLiteral("c.nome"))), 246);
  EXPECT_EQ(view_->Header()->sectionSize(Logical(QStringLiteral("id"))), TGridColumn::kDefaultWidth);
  EXPECT_EQ(ShownTexts(QStringLiteral("c.nome")),
            Strings({"Bruno Lima", "Ana Souza", "Ana Souza", "", "Célia Ramos"}));
  EXPECT_EQ(ShownTexts(QStringLiteral("vlr_total")),
            Strings({"150,50", "20,00", "1.234,56", "0,00", "99,99"}));

  // Found by name, described by name.
  EXPECT_EQ(window_->findChild<TGrid*>(QStringLiteral("cxGrid1")), grid_);
  EXPECT_EQ(window_->findChild<TGridDBTableView*>(QStringLiteral("cxGrid1DBTableView1")), view_);
  for (const char* part : {"cxGrid1", "cxGrid1DBTableView1GroupByBox", "cxGrid1DBTableView1Rows",
                           "cxGrid1DBTableView1Header", "cxGrid1DBTableView1Navigator"}) {
    auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(part));
    ASSERT_NE(widget, nullptr) << part;
    EXPECT_EQ(widget->accessibleDescription(), widget->objectName());
    EXPECT_FALSE(widget->accessibleName().isEmpty()) << part;
  }
}

TEST_F(GridTest, IsReadOnlyAndItsNavigatorWalksTheRowsAsShown) {
  OpenSample();
  GridTest::Click(view_->Header()->viewport(), TitleCentre(QStringLiteral("c.nome")));
  QTreeView* rows = view_->Rows();
  EXPECT_FALSE(rows->model()->flags(rows->model()->index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_EQ(rows->editTriggers(), QAbstractItemView::NoEditTriggers);
  rows->setFocus();
  for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Insert, Qt::Key_F2, Qt::Key_Return}) QTest::keyClick(rows, key);
  EXPECT_EQ(list_->State(), dsBrowse);
  EXPECT_EQ(list_->RecordCount(), 5);

  QWidget* navigator = window_->findChild<QWidget*>(QStringLiteral("cxGrid1DBTableView1Navigator"));
  ASSERT_NE(navigator, nullptr);
  EXPECT_TRUE(navigator->isVisible());
  auto button = [navigator](const char* name) {
    return navigator->findChild<QToolButton*>(QString::fromLatin1(name));
  };
  for (const char* hidden : {"nbInsert", "nbDelete", "nbEdit", "nbPost", "nbSaveBookmark"})
    EXPECT_FALSE(button(hidden)->isVisible()) << hidden;
  for (const char* shown : {"nbFirst", "nbPriorPage", "nbPrior", "nbNext", "nbNextPage", "nbLast", "nbCancel",
                            "nbRefresh", "nbGotoBookmark"})
    EXPECT_TRUE(button(shown)->isVisible()) << shown;
  EXPECT_EQ(button("nbNext")->accessibleName(), QStringLiteral("Próximo registro"));

  // Sorted by client the order is 4, 2, 3, 1, 5: the navigator follows it, not the data set's.
  button("nbFirst")->click();
  EXPECT_EQ(CurrentId(list_), 4);
  EXPECT_FALSE(button("nbPrior")->isEnabled());
  button("nbNext")->click();
  EXPECT_EQ(CurrentId(list_), 2);
  button("nbLast")->click();
  EXPECT_EQ(CurrentId(list_), 5);
  EXPECT_FALSE(button("nbNext")->isEnabled());
  button("nbPrior")->click();
  EXPECT_EQ(CurrentId(list_), 1);
  for (const char* never : {"nbInsert", "nbDelete", "nbEdit", "nbPost"})
    EXPECT_FALSE(button(never)->isEnabled());
}

TEST_F(GridTest, TitleClicksSortUpThenDownAndShiftClickAddsAKey) {
  OpenSample();
  QWidget* header = view_->Header()->viewport();
  const QString client = QStringLiteral("c.nome");
  struct Step {
    const char* column;
    Qt::KeyboardModifiers modifiers;
    std::initializer_list<const char*> ids;
  };
  const Step steps[] = {
      {"c.nome", Qt::NoModifier, {"4", "2", "3", "1", "5"}},        // no client first, ties keep their order
      {"c.nome", Qt::NoModifier, {"5", "1", "2", "3", "4"}},        // again: descending
      {"vlr_total", Qt::ShiftModifier, {"5", "1", "2", "3", "4"}},  // second key, ascending
      {"vlr_total", Qt::ShiftModifier, {"5", "1", "3", "2", "4"}},  // and descending
      {"id", Qt::NoModifier, {"1", "2", "3", "4", "5"}},            // a plain click sorts by that one alone
  };
  for (const Step& step : steps) {
    GridTest::Click(header, TitleCentre(QString::fromLatin1(step.column)), step.modifiers);
    EXPECT_EQ(ShownTexts(), Strings(step.ids)) << step.column;
  }
  EXPECT_EQ(Column(client)->SortOrder(), soNone);
  EXPECT_EQ(Column(QStringLiteral("id"))->SortOrder(), soAscending);
  EXPECT_EQ(Column(QStringLiteral("id"))->SortIndex(), 0);
  EXPECT_EQ(list_->Sort(), QString()) << "the data set keeps its own order";
}

TEST_F(GridTest, TextsSortWithoutCaseAndNullsFirst) {
  Open({{QStringLiteral("bruno"), {}, QStringLiteral("2024-01-01 00:00:00"), 1, true},
        {QStringLiteral("ana"), {}, QStringLiteral("2024-01-01 00:00:00"), -5, true},
        {{}, {}, QStringLiteral("2024-01-01 00:00:00"), 2.5, true},
        {QStringLiteral("Ana"), {}, QStringLiteral("2024-01-01 00:00:00"), -0.25, true},
        {QStringLiteral("Álvaro"), {}, QStringLiteral("2024-01-01 00:00:00"), 0, true}});
  Column(QStringLiteral("c.nome"))->SetSortOrder(soAscending);
  EXPECT_EQ(ShownTexts(), Strings({"3", "4", "2", "1", "5"}));
  Column(QStringLiteral("c.nome"))->SetSortOrder(soNone);
  Column(QStringLiteral("vlr_total"))->SetSortOrder(soAscending);
  EXPECT_EQ(ShownTexts(), Strings({"2", "4", "5", "1", "3"}));
}

TEST_F(GridTest, DraggingTitlesToThePanelNestsGroupsAndDraggingBackUngroups) {
  OpenSample();
  ui::GridGroupBox* panel = view_->GroupByBox();
  QWidget* header = view_->Header()->viewport();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->HintText(),
            QStringLiteral("Arraste o cabeçalho de uma coluna aqui para agrupar por essa coluna"));
  EXPECT_EQ(panel->accessibleName(), panel->HintText());

  GridTest::Drag(header, TitleCentre(QStringLiteral("c.nome")), panel, QPoint(20, panel->height() / 2));
  EXPECT_EQ(Column(QStringLiteral("c.nome"))->GroupIndex(), 0);
  EXPECT_TRUE(view_->Header()->isSectionHidden(Logical(QStringLiteral("c.nome"))));
  // Groups come collapsed, but the one holding the current row (order 1) is opened.
  EXPECT_EQ(ShownTexts(), Strings({"Cliente : (1)", "Cliente : Ana Souza (2)", "Cliente : Bruno Lima (1)",
                                   "1", "Cliente : Célia Ramos (1)"}));

  GridTest::Drag(header, TitleCentre(QStringLiteral("u.nome")), panel,
                 panel->ItemRect(0).topRight() + QPoint(30, 4));
  EXPECT_EQ(Column(QStringLiteral("u.nome"))->GroupIndex(), 1);
  QTreeView* rows = view_->Rows();
  rows->expand(rows->model()->index(1, 0));
  EXPECT_EQ(ShownTexts(),
            Strings({"Cliente : (1)", "Cliente : Ana Souza (2)", "Recebeu : Carla (1)", "Recebeu : Davi (1)",
                     "Cliente : Bruno Lima (1)", "Recebeu : Carla (1)", "1", "Cliente : Célia Ramos (1)"}));
  view_->ExpandAll();
  EXPECT_EQ(ShownTexts().size(), 4 + 5 + 5);

  // A click on a group button turns its order.
  GridTest::Click(panel, panel->ItemRect(0).center());
  EXPECT_EQ(Column(QStringLiteral("c.nome"))->SortOrder(), soDescending);
  EXPECT_EQ(ShownTexts().first(), QStringLiteral("Cliente : Célia Ramos (1)"));

  // Back to the header, in front of "Código".
  GridTest::Drag(panel, panel->ItemRect(0).center(), header, QPoint(3, view_->Header()->height() / 2));
  EXPECT_EQ(Column(QStringLiteral("c.nome"))->GroupIndex(), -1);
  EXPECT_EQ(Column(QStringLiteral("u.nome"))->GroupIndex(), 0);
  EXPECT_FALSE(view_->Header()->isSectionHidden(Logical(QStringLiteral("c.nome"))));
  EXPECT_EQ(Column(QStringLiteral("c.nome"))->Index(), 0);
  EXPECT_EQ(view_->Header()->sectionSize(Logical(QStringLiteral("c.nome"))), 246);
  view_->ClearGrouping();
  EXPECT_EQ(ShownTexts(), Strings({"1", "2", "3", "4", "5"}));
}

TEST_F(GridTest, DraggingATitleAlongTheHeaderMovesTheColumn) {
  OpenSample();
  QWidget* header = view_->Header()->viewport();
  const int statusRight = view_->Header()->sectionViewportPosition(Logical(QStringLiteral("status"))) +
                          view_->Header()->sectionSize(Logical(QStringLiteral("status"))) - 20;
  GridTest::Drag(header, TitleCentre(QStringLiteral("id")), header, QPoint(statusRight, 5));
  EXPECT_EQ(Column(QStringLiteral("id"))->Index(), 6);
  EXPECT_EQ(view_->VisibleColumns().front(), Column(QStringLiteral("c.nome")));
  Column(QStringLiteral("id"))->SetIndex(0);
  EXPECT_EQ(view_->VisibleColumns().front(), Column(QStringLiteral("id")));
  Column(QStringLiteral("id"))->SetWidth(80);
  EXPECT_EQ(view_->Header()->sectionSize(Logical(QStringLiteral("id"))), 80);
  view_->Header()->resizeSection(Logical(QStringLiteral("id")), 90);
  EXPECT_EQ(Column(QStringLiteral("id"))->Width(), 90);
}

TEST_F(GridTest, FilterListKeepsTheCheckedValues) {
  OpenSample();
  QWidget* header = view_->Header()->viewport();
  GridTest::Click(header, FilterButton(QStringLiteral("c.nome")));
  EXPECT_EQ(Column(QStringLiteral("c.nome"))->SortOrder(), soNone) << "the filter button does not sort";
  ui::GridFilterPopup* popup = view_->FilterPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(popup->objectName(), QStringLiteral("GridFilterPopup"));
  auto* list = popup->findChild<QListWidget*>(QStringLiteral("GridFilterList"));
  ASSERT_NE(list, nullptr);
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) {
    texts << list->item(i)->text();
    EXPECT_EQ(list->item(i)->checkState(), Qt::Checked);
  }
  EXPECT_EQ(texts, Strings({"(Todos)", "(Vazios)", "Ana Souza", "Bruno Lima", "Célia Ramos"}));

  list->item(0)->setCheckState(Qt::Unchecked);
  for (int i = 1; i < list->count(); ++i) EXPECT_EQ(list->item(i)->checkState(), Qt::Unchecked);
  list->item(1)->setCheckState(Qt::Checked);
  list->item(2)->setCheckState(Qt::Checked);
  EXPECT_EQ(list->item(0)->checkState(), Qt::PartiallyChecked);
  popup->findChild<QPushButton*>(QStringLiteral("GridFilterOk"))->click();
  EXPECT_EQ(ShownTexts(), Strings({"2", "3", "4"}));
  EXPECT_EQ(list_->RecordCount(), 5) << "the data set keeps every row";
  EXPECT_EQ(CurrentId(list_), 2) << "the cursor leaves the hidden row";
  QWidget* filterBox = window_->findChild<QWidget*>(QStringLiteral("cxGrid1DBTableView1FilterBox"));
  ASSERT_NE(filterBox, nullptr);
  EXPECT_TRUE(filterBox->isVisible());
  EXPECT_EQ(filterBox->findChild<QLabel*>()->text(), QStringLiteral("Cliente: (Vazios), Ana Souza"));

  // Another column offers only the values the first filter left.
  GridTest::Click(header, FilterButton(QStringLiteral("u.nome")));
  ASSERT_NE(view_->FilterPopup(), nullptr);
  list = view_->FilterPopup()->findChild<QListWidget*>(QStringLiteral("GridFilterList"));
  texts.clear();
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  EXPECT_EQ(texts, Strings({"(Todos)", "(Vazios)", "Carla", "Davi"}));
  view_->FilterPopup()->findChild<QPushButton*>(QStringLiteral("GridFilterCancel"))->click();
  EXPECT_EQ(ShownTexts(), Strings({"2", "3", "4"}));

  window_->findChild<QToolButton*>(QStringLiteral("cxGrid1DBTableView1FilterClear"))->click();
  EXPECT_EQ(ShownTexts(), Strings({"1", "2", "3", "4", "5"}));
  EXPECT_FALSE(filterBox->isVisible());
}

TEST_F(GridTest, DatesGroupAndFilterByTheDayTheyShow) {
  OpenSample();
  Column(QStringLiteral("dt_entrada"))->SetGroupIndex(0);
  view_->ExpandAll();
  const QStringList shown = ShownTexts();
  EXPECT_TRUE(shown.contains(QStringLiteral("Dt Entrada : 06/03/2024 (2)")))
      << shown.join(QLatin1Char('|')).toStdString();
  view_->ClearGrouping();
  Column(QStringLiteral("dt_entrada"))->SetFilter({QStringLiteral("06/03/2024")});
  EXPECT_EQ(ShownTexts(), Strings({"2", "3"}));
}

TEST_F(GridTest, FocusAndCursorFollowEachOther) {
  OpenSample();
  QTreeView* rows = view_->Rows();
  const QRect third = rows->visualRect(rows->model()->index(2, 1));
  QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
  EXPECT_EQ(CurrentId(list_), 3);

  // A move of the data set shows its row, opening the group it is in.
  Column(QStringLiteral("c.nome"))->SetGroupIndex(0);
  ASSERT_TRUE(list_->Locate(QStringLiteral("id"), 5));
  EXPECT_EQ(view_->DataController().FocusedRecordIndex(), 4);
  EXPECT_TRUE(rows->viewport()->rect().intersects(rows->visualRect(rows->currentIndex())));

  // The window reopens the list and finds the order again.
  list_->Close();
  list_->Open();
  ASSERT_TRUE(list_->Locate(QStringLiteral("id"), 2));
  EXPECT_EQ(Column(QStringLiteral("c.nome"))->GroupIndex(), 0);
  EXPECT_EQ(view_->DataController().FocusedRecordIndex(), 1);
  EXPECT_EQ(rows->currentIndex().data(ui::GridModel::DataRowRole).toInt(), 1);
  EXPECT_TRUE(rows->isExpanded(rows->currentIndex().parent()));
}

TEST_F(GridTest, SummariesAreDefinedButNotShown) {
  OpenSample();
  TGridSummary& summary = view_->DataController().Summary();
  summary.FooterSummaryItems.Add({QStringLiteral("vlr_total"), skSum, QStringLiteral("0.00"), spFooter});
  summary.DefaultGroupSummaryItems.Add(
      {QStringLiteral("vlr_total"), skSum, QStringLiteral("0.00"), spFooter});
  EXPECT_FALSE(view_->OptionsView().Footer);
  EXPECT_FALSE(view_->OptionsView().GroupFooters);
  EXPECT_FALSE(view_->Footer()->isVisible());
  EXPECT_EQ(view_->DataController().FooterSummaryText(0), QStringLiteral("1505,05"));

  Column(QStringLiteral("c.nome"))->SetGroupIndex(0);
  QModelIndex ana = view_->Rows()->model()->index(1, 0);
  EXPECT_EQ(ana.data().toString(), QStringLiteral("Cliente : Ana Souza (2)")) << "no sum in the group row";
  EXPECT_EQ(view_->DataController().GroupSummaryText(ana, 0), QStringLiteral("1254,56"));

  TGridOptionsView options = view_->OptionsView();
  options.Footer = true;
  view_->SetOptionsView(options);
  EXPECT_TRUE(view_->Footer()->isVisible());
}

TEST_F(GridTest, AnEmptyListShowsNoRowsAndNothingToWalk) {
  Open({});
  EXPECT_EQ(view_->Rows()->model()->rowCount(), 0);
  Column(QStringLiteral("c.nome"))->SetGroupIndex(0);
  EXPECT_EQ(view_->Rows()->model()->rowCount(), 0);
  EXPECT_EQ(view_->DataController().FocusedRecordIndex(), -1);
  for (auto button : {ui::gnbFirst, ui::gnbNext, ui::gnbLast, ui::gnbGotoBookmark})
    EXPECT_FALSE(view_->Navigator()->Button(button)->isEnabled());
  EXPECT_TRUE(view_->Navigator()->Button(ui::gnbRefresh)->isEnabled());
}

}  // namespace
}  // namespace gridtest
