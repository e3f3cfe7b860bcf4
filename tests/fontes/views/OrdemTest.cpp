#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "fontes/componentes/Factory.Forms.h"
#include "fontes/controler/Controller.Ordem.h"
#include "fontes/dados/uDM.h"
#include "fontes/views/Ordem.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/DBCheckBox.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBLookup.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/Fonts.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

QDateTime clockNow;
QDateTime FixedClock() {
  return clockNow;
}

QString Stamp(TDateTime value) {
  return rtl::ToQDateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

template <class W>
W* Find(const TfOrdem& form, const char* name) {
  W* widget = form.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

QPushButton* Salvar(const TfOrdem& f) {
  return Find<QPushButton>(f, "_btnSalvar");
}
QPushButton* Cancelar(const TfOrdem& f) {
  return Find<QPushButton>(f, "_btnCancelar");
}
TDataSet* Ordem(const TfOrdem& f) {
  return f.dsOrdem->DataSet();
}
TDataSet* Itens(const TfOrdem& f) {
  return f.dsItensOS->DataSet();
}
TField* Field(TDataSet* ds, const char* name) {
  return ds->FieldByName(QString::fromLatin1(name));
}

bool EditorAlive() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<TfOrdem*>(w) != nullptr) return true;
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (Application->Component(i)->ClassName() == TfOrdem::StaticClassName()) return true;
  return false;
}

// The demonstration database: 8 orders, order 3 (client 3, delivered by user 1) with two items,
// 4 users, 8 clients.
class OrdemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clockNow = QDateTime(QDate(2031, 5, 6), QTime(7, 8, 9));
    rtl::SetClockSource(&FixedClock);
    database_ = exe_.FilePath(QStringLiteral("quorvel.db"));
    admin::CreateDatabase(database_, QString(), true, false);
    admin::WriteServerConfig(exe_.Folder(), database_, QString(), false);
    app_.CreateForm(DM);
    ASSERT_TRUE(DM->ADO->Connected());
  }
  void TearDown() override {
    uitest::ProcessDeferredDeletes();
    rtl::SetClockSource(nullptr);
  }

  std::unique_ptr<TADODataSet> Query(const QString& sql) {
    auto ds = std::make_unique<TADODataSet>();
    ds->SetConnection(DM->ADO);
    ds->SetCommandText(sql);
    ds->Open();
    return ds;
  }
  int Count(const QString& sql) { return Query(sql)->Fields(0)->AsInteger(); }
  QStringList Row(const QString& sql) {
    auto ds = Query(sql);
    QStringList values;
    for (int i = 0; i < ds->FieldCount(); ++i) values << ds->Fields(i)->AsString();
    return values;
  }

  // Runs the editor that open() shows, acting on it once it is up, then closes it.
  void RunEditor(const std::function<void()>& open, const std::function<void(TfOrdem&)>& act) {
    uitest::RunWindow<TfOrdem>(open, act);
  }
  void Alterar(int id, const std::function<void(TfOrdem&)>& act) {
    TControllerOrdem controller(&app_);
    RunEditor([&] { controller.Alterar(id); }, act);
  }
  void Incluir(const std::function<void(TfOrdem&)>& act) {
    TControllerOrdem controller(&app_);
    RunEditor([&] { controller.Incluir(); }, act);
  }

  testsupport::ScopedExeFolder exe_;
  QString database_;
  TApplication app_;
  uitest::BoxRecorder boxes_;
};

TEST_F(OrdemTest, WindowAndControlsAreLaidOutAsDesigned) {
  Alterar(3, [](TfOrdem& f) {
    EXPECT_EQ(f.Caption(), QStringLiteral("Ordem de Serviço"));
    EXPECT_EQ(f.objectName(), QStringLiteral("fOrdem"));
    EXPECT_EQ(f.size(), QSize(859, 567));
    EXPECT_EQ(f.minimumSize(), f.maximumSize()) << "fixed size";
    EXPECT_TRUE(f.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(f.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(f.font(), ui::WindowFont());

    const struct {
      const char* name;
      QRect geometry;  // height 0: not fixed by the design
    } controls[] = {
        {"_eCodigo", {24, 38, 121, 21}},      {"DBLookupComboBox1", {24, 78, 350, 21}},
        {"_boxRecebido", {24, 119, 273, 21}}, {"_boxEntregue", {311, 119, 273, 21}},
        {"_eDtEntrega", {24, 160, 145, 0}},   {"_eDtSaida", {185, 160, 145, 0}},
        {"_eVlrTotal", {24, 203, 121, 0}},    {"_eAdd", {24, 248, 121, 0}},
        {"_eAlt", {176, 251, 121, 0}},        {"DBGrid1", {0, 289, 859, 209}},
        {"DBNavigator1", {0, 498, 859, 25}},  {"Panel1", {0, 523, 859, 44}},
        {"_btnCancelar", {690, 9, 75, 25}},   {"_btnSalvar", {771, 9, 75, 25}},
    };
    for (const auto& c : controls) {
      QWidget* w = Find<QWidget>(f, c.name);
      if (w == nullptr) continue;
      QRect actual = w->geometry();
      if (c.geometry.height() == 0) actual.setHeight(0);
      EXPECT_EQ(actual, c.geometry) << c.name;
      EXPECT_EQ(w->accessibleDescription(), QString::fromLatin1(c.name));
      EXPECT_FALSE(w->accessibleName().isEmpty() && qobject_cast<QPushButton*>(w) == nullptr) << c.name;
    }
    EXPECT_EQ(Find<QWidget>(f, "_chkStatus")->pos(), QPoint(176, 38));
    EXPECT_EQ(Find<QCheckBox>(f, "_chkStatus")->text(), QStringLiteral("Ativo"));
    EXPECT_EQ(Find<QWidget>(f, "Panel1")->palette().color(QPalette::Window), QColor(Qt::white));

    const struct {
      const char* name;
      const char* text;
      QPoint pos;
    } labels[] = {
        {"Label1", "Código", {24, 21}},
        {"Label2", "Cliente", {24, 64}},
        {"Label3", "Recebido por", {24, 105}},
        {"Label4", "Entregue por", {311, 105}},
        {"Label5", "Data de entrada", {24, 144}},
        {"Label6", "Data de Saída", {185, 144}},
        {"Label7", "Valor Total", {24, 184}},
        {"Label8", "Criado em", {24, 232}},
        {"Label9", "Última alteração", {178, 232}},
        {"Label10", "Total do Itens", {311, 255}},
    };
    for (const auto& l : labels) {
      QLabel* label = Find<QLabel>(f, l.name);
      if (label == nullptr) continue;
      EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
      EXPECT_EQ(label->pos(), l.pos) << l.name;
      EXPECT_GE(label->width(), label->sizeHint().width()) << l.name << " is clipped";
    }
    EXPECT_EQ(Find<QWidget>(f, "_boxEntregue")->accessibleName(), QStringLiteral("Entregue por"));

    for (const char* name : {"_btnCancelar", "_btnSalvar"}) {
      auto* b = Find<QPushButton>(f, name);
      EXPECT_FALSE(b->icon().isNull()) << name;
      EXPECT_EQ(b->iconSize(), QSize(16, 16));
    }
    EXPECT_EQ(Salvar(f)->text(), QStringLiteral("&Salvar"));
    EXPECT_EQ(Cancelar(f)->text(), QStringLiteral("&Cancelar"));
    EXPECT_EQ(f.CancelButton(), Cancelar(f));
    EXPECT_FALSE(Find<QWidget>(f, "_eAdd")->isEnabled());
    EXPECT_FALSE(Find<QWidget>(f, "_eAlt")->isEnabled());
    auto* navigator = Find<TDBNavigator>(f, "DBNavigator1");
    EXPECT_EQ(navigator->VisibleButtons(), kAllNavButtons);
    EXPECT_TRUE(navigator->ConfirmDelete());
    EXPECT_EQ(navigator->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(Find<TDBGrid>(f, "DBGrid1")->ConfirmDelete());
    EXPECT_TRUE(Find<TDBGrid>(f, "DBGrid1")->Options() & dgEditing);
  });
}

TEST_F(OrdemTest, FocusStartsOnEntradaAndFollowsTheDesignedOrder) {
  Alterar(3, [](TfOrdem& f) {
    const QStringList order = {"_eDtEntrega",  "_eVlrTotal",        "_eDtSaida",    "_chkStatus",
                               "_eCodigo",     "_boxEntregue",      "_boxRecebido", "_btnSalvar",
                               "_btnCancelar", "DBLookupComboBox1", "DBGrid1"};
    QWidget* first = Find<QWidget>(f, "_eDtEntrega");
    EXPECT_EQ(f.focusWidget(), first);
    QStringList seen;
    QWidget* w = first;
    do {
      if (order.contains(w->objectName()) && !seen.contains(w->objectName())) seen << w->objectName();
      w = w->nextInFocusChain();
    } while (w != first && w != nullptr);
    EXPECT_EQ(seen, order);
  });
}

TEST_F(OrdemTest, FieldsAreLabelledFormattedAndTheGridShowsTheItemsColumns) {
  Alterar(3, [](TfOrdem& f) {
    TDataSet* ordem = Ordem(f);
    const QStringList labels = {"Código",       "Cliente", "Usuários",  "Entrada", "Vlr Total",
                                "Quem recebeu", "Saída",   "dt_create", "dt_alt",  "Ativo"};
    for (int i = 0; i < ordem->FieldCount(); ++i) EXPECT_EQ(ordem->Fields(i)->DisplayLabel(), labels[i]);
    EXPECT_FALSE(Field(ordem, "dt_create")->Visible());
    EXPECT_FALSE(Field(ordem, "dt_alt")->Visible());
    EXPECT_EQ(Field(ordem, "id")->DisplayFormat(), QStringLiteral("00000"));
    EXPECT_EQ(Field(ordem, "vlr_total")->DisplayFormat(), QStringLiteral(",0.00"));
    EXPECT_TRUE(Field(ordem, "cliente_id")->DisplayFormat().isEmpty());
    EXPECT_EQ(f.dsCliente->DataSet()->Fields(1)->DisplayLabel(), QStringLiteral("Nome"));
    EXPECT_EQ(f.dsUserEntregue->DataSet()->Fields(0)->DisplayLabel(), QStringLiteral("Código"));
    EXPECT_EQ(Find<QLineEdit>(f, "_eCodigo")->text(), QStringLiteral("00003"));

    TDataSet* itens = Itens(f);
    EXPECT_TRUE(Field(itens, "os_id")->Required());
    EXPECT_EQ(Field(itens, "id")->ProviderFlags(), unsigned(pfInUpdate | pfInWhere | pfInKey));
    EXPECT_EQ(Field(itens, "produto_descricao")->DisplayWidth(), 40);
    EXPECT_EQ(Field(itens, "item_qtde")->DisplayFormat(), QStringLiteral(",0.00"));
    EXPECT_EQ(itens->DataSource(), f.dsOrdem);
    EXPECT_EQ(itens->IndexFieldNames().toLower(), QStringLiteral("os_id"));
    EXPECT_EQ(itens->MasterFields().toLower(), QStringLiteral("id"));

    auto* grid = Find<TDBGrid>(f, "DBGrid1");
    QStringList headers;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
      headers << grid->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{"Código", "Serviço", "Descr. Produto", "Vlr Unit.", "Qtde", "Desconto",
                                    "SubTotal"}));
    EXPECT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(0, 3).data().toString(), rtl::FormatFloat(QStringLiteral(",0.00"), 120.0));
  });
}

TEST_F(OrdemTest, SalvarAndCancelarSwapWithTheOrderState) {
  Alterar(3, [this](TfOrdem& f) {
    EXPECT_TRUE(Salvar(f)->isEnabled());
    EXPECT_FALSE(Cancelar(f)->isEnabled());

    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible()) << "Esc changes nothing";
    EXPECT_EQ(Ordem(f)->State(), dsEdit);

    Salvar(f)->click();
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(Ordem(f)->State(), dsBrowse);
    EXPECT_FALSE(Salvar(f)->isEnabled());
    EXPECT_TRUE(Cancelar(f)->isEnabled());

    Cancelar(f)->click();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(Ordem(f)->State(), dsBrowse);

    QTest::keyClick(Find<QWidget>(f, "_eVlrTotal"), Qt::Key_5);
    EXPECT_EQ(Ordem(f)->State(), dsEdit);
    EXPECT_TRUE(Salvar(f)->isEnabled());
    EXPECT_FALSE(Cancelar(f)->isEnabled());
  });
}

TEST_F(OrdemTest, ANewOrderShowsItsDefaults) {
  Incluir([](TfOrdem& f) {
    TDataSet* ordem = Ordem(f);
    EXPECT_EQ(ordem->State(), dsInsert);
    for (const char* date : {"dt_entrada", "dt_saida", "dt_create", "dt_alt"})
      EXPECT_EQ(Stamp(Field(ordem, date)->AsDateTime()), QStringLiteral("2031-05-06 07:08:09")) << date;
    EXPECT_FALSE(Field(ordem, "vlr_total")->IsNull());
    EXPECT_EQ(Field(ordem, "vlr_total")->AsFloat(), 0.0);
    EXPECT_TRUE(Find<QCheckBox>(f, "_chkStatus")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(f, "_eDtEntrega")->text(), rtl::DateToStr(rtl::ToDateTime(clockNow)));
    EXPECT_TRUE(Salvar(f)->isEnabled());
    EXPECT_FALSE(Cancelar(f)->isEnabled());
  });
}

TEST_F(OrdemTest, SubtotalCountsWholeAmountsRoundedHalfToEven) {
  const struct {
    double valor, desconto, qtde;  // a negative discount stands for an empty one
    int subtotal;
  } cases[] = {
      {10.50, 0.50, 1, 10}, {10.50, 0, 2, 20}, {11.50, 0, 1, 12}, {10, 0, 2.5, 20},
      {10, 0, 3.5, 40},     {10, -1, 3, 30},   {-2.5, 0, 1, -2},  {2147483647, 0, 1, 2147483647},
  };
  Alterar(3, [&](TfOrdem& f) {
    TDataSet* itens = Itens(f);
    for (const auto& c : cases) {
      itens->Append();
      Field(itens, "item_vlr")->SetAsFloat(c.valor);
      if (c.desconto < 0)
        Field(itens, "item_desconto")->Clear();
      else
        Field(itens, "item_desconto")->SetAsFloat(c.desconto);
      Field(itens, "item_qtde")->SetAsFloat(c.qtde);
      itens->Post();
      EXPECT_EQ(Field(itens, "item_subtotal")->AsFloat(), c.subtotal) << c.valor << " " << c.qtde;
      const int id = Field(itens, "id")->AsInteger();
      EXPECT_EQ(Count(QStringLiteral("SELECT item_subtotal FROM itens_os WHERE id = %1").arg(id)),
                c.subtotal);
    }
  });
}

TEST_F(OrdemTest, AnAmountOrSubtotalBeyond32BitsIsRefusedAndNotStored) {
  const struct {
    double valor, desconto, qtde;
  } cases[] = {
      {2147483648.0, 0, 1}, {-2147483649.0, 0, 1}, {1, 0, 1e20}, {100000, 0, 100000}, {2147483647, -1, 1},
  };
  Alterar(3, [&](TfOrdem& f) {
    TDataSet* itens = Itens(f);
    for (const auto& c : cases) {
      itens->Append();
      Field(itens, "item_vlr")->SetAsFloat(c.valor);
      Field(itens, "item_desconto")->SetAsFloat(c.desconto);
      Field(itens, "item_qtde")->SetAsFloat(c.qtde);
      try {
        itens->Post();
        ADD_FAILURE() << "stored " << c.valor << " × " << c.qtde;
      } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("fora do limite aceito"))) << e.what();
      }
      EXPECT_EQ(itens->State(), dsInsert) << "the row stays for correction";
      itens->Cancel();
    }
  });
  EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM itens_os WHERE os_id = 3")), 2);
}

TEST_F(OrdemTest, ANewItemStartsWithQuantityOneAndTheOrdersId) {
  Alterar(3, [](TfOrdem& f) {
    Find<TDBNavigator>(f, "DBNavigator1")->Button(nbInsert)->click();
    TDataSet* itens = Itens(f);
    ASSERT_EQ(itens->State(), dsInsert);
    EXPECT_EQ(Field(itens, "os_id")->AsInteger(), 3);
    EXPECT_EQ(Field(itens, "item_qtde")->AsFloat(), 1.0);
    for (const char* amount : {"item_vlr", "item_desconto", "item_subtotal"}) {
      EXPECT_FALSE(Field(itens, amount)->IsNull()) << amount;
      EXPECT_EQ(Field(itens, amount)->AsFloat(), 0.0) << amount;
    }
    EXPECT_EQ(Find<TDBGrid>(f, "DBGrid1")->model()->rowCount(), 3);
  });
}

TEST_F(OrdemTest, AnOrderWithoutIdRefusesItsItemUntilTheOrderIsSaved) {
  int orderId = 0;
  Incluir([&](TfOrdem& f) {
    TDataSet* itens = Itens(f);
    auto* navigator = Find<TDBNavigator>(f, "DBNavigator1");
    navigator->BtnClick(nbInsert);
    EXPECT_TRUE(Field(itens, "os_id")->IsNull());
    Field(itens, "produto_descricao")->SetAsString(QStringLiteral("Fonte ATX"));
    Field(itens, "item_vlr")->SetAsFloat(10.5);
    Field(itens, "item_qtde")->SetAsFloat(3);
    try {
      navigator->BtnClick(nbPost);
      ADD_FAILURE() << "stored without an order";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Field 'os_id' must have a value"));
    }
    EXPECT_EQ(itens->State(), dsInsert);

    clockNow = clockNow.addSecs(3600);
    Salvar(f)->click();
    EXPECT_TRUE(boxes_.boxes.empty())
        << (boxes_.boxes.empty() ? QString() : boxes_.boxes[0].text).toStdString();
    orderId = Field(Ordem(f), "id")->AsInteger();
    // The order's new id reached the waiting item, which the link then stored with it.
    EXPECT_EQ(itens->State(), dsBrowse);
    EXPECT_EQ(Field(itens, "os_id")->AsInteger(), orderId);
    EXPECT_EQ(Find<TDBGrid>(f, "DBGrid1")->model()->rowCount(), 1);
  });
  ASSERT_EQ(orderId, 9);
  auto item =
      Query(QStringLiteral("SELECT os_id, item_subtotal, produto_descricao FROM itens_os WHERE os_id = 9"));
  ASSERT_EQ(item->RecordCount(), 1);
  EXPECT_EQ(item->Fields(1)->AsInteger(), 30);
  EXPECT_EQ(item->Fields(2)->AsString(), QStringLiteral("Fonte ATX"));
  auto order = Query(QStringLiteral("SELECT dt_create, dt_alt, status FROM OrdensServico WHERE id = 9"));
  EXPECT_EQ(Stamp(order->Fields(0)->AsDateTime()), QStringLiteral("2031-05-06 07:08:09"));
  EXPECT_EQ(Stamp(order->Fields(1)->AsDateTime()), QStringLiteral("2031-05-06 07:08:09"))
      << "a new order keeps its default dates";
  EXPECT_TRUE(order->Fields(2)->AsBoolean());
}

TEST_F(OrdemTest, ANewOrderIsNotStoredWhileItsTypedItemIsRefused) {
  const int before = Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico"));
  Incluir([this](TfOrdem& f) {
    Find<TDBNavigator>(f, "DBNavigator1")->BtnClick(nbInsert);
    Field(Itens(f), "item_vlr")->SetAsFloat(3e9);
    Salvar(f)->click();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("Vlr Unit.")))
        << boxes_.boxes[0].text.toStdString();
    EXPECT_EQ(Ordem(f)->State(), dsInsert);
    EXPECT_EQ(Itens(f)->State(), dsInsert);
  });
  EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM OrdensServico")), before);
}

TEST_F(OrdemTest, SalvarStoresTheEditedOrderAndMovesItsLastChange) {
  Alterar(3, [](TfOrdem& f) {
    EXPECT_TRUE(Find<TDBLookupComboBox>(f, "_boxEntregue")->SelectKey(4));
    Field(Ordem(f), "vlr_total")->SetAsFloat(321.5);
    Salvar(f)->click();
    EXPECT_EQ(Stamp(Field(Ordem(f), "dt_alt")->AsDateTime()), QStringLiteral("2031-05-06 07:08:09"));

    // In browse state the save button's work changes nothing.
    clockNow = clockNow.addDays(1);
    f._btnSalvarClick();
    EXPECT_EQ(Ordem(f)->State(), dsBrowse);
  });
  auto order =
      Query(QStringLiteral("SELECT vlr_total, user_id, dt_alt, cliente_id FROM OrdensServico WHERE id = 3"));
  EXPECT_EQ(order->Fields(0)->AsFloat(), 321.5);
  EXPECT_EQ(order->Fields(1)->AsInteger(), 4);
  EXPECT_EQ(Stamp(order->Fields(2)->AsDateTime()), QStringLiteral("2031-05-06 07:08:09"));
  EXPECT_EQ(order->Fields(3)->AsInteger(), 3);
}

TEST_F(OrdemTest, DeleteEmptiesTheUserBoxesButNotTheClient) {
  Alterar(3, [](TfOrdem& f) {
    for (const char* box : {"_boxRecebido", "_boxEntregue", "DBLookupComboBox1"})
      QTest::keyClick(Find<QWidget>(f, box), Qt::Key_Delete);
    EXPECT_TRUE(Field(Ordem(f), "user_recept_id")->IsNull());
    EXPECT_TRUE(Field(Ordem(f), "user_id")->IsNull());
    EXPECT_EQ(Field(Ordem(f), "cliente_id")->AsInteger(), 3);
    EXPECT_TRUE(Find<QComboBox>(f, "_boxEntregue")->currentText().isEmpty());
  });
}

TEST_F(OrdemTest, ClosingWithoutSalvarStoresNothing) {
  const QString orders = QStringLiteral("SELECT COUNT(*) FROM OrdensServico");
  const QString items = QStringLiteral("SELECT COUNT(*) FROM itens_os");
  const QString order3 = QStringLiteral("SELECT * FROM OrdensServico WHERE id = 3");
  const QStringList orderBefore = Row(order3);
  const int ordersBefore = Count(orders);
  const int itemsBefore = Count(items);
  Alterar(3, [](TfOrdem& f) {
    Field(Ordem(f), "vlr_total")->SetAsFloat(999);
    QTest::keyClick(Find<QWidget>(f, "_boxEntregue"), Qt::Key_Delete);
    Find<TDBNavigator>(f, "DBNavigator1")->BtnClick(nbInsert);
    Field(Itens(f), "item_vlr")->SetAsFloat(7);
  });
  Incluir([](TfOrdem& f) { Field(Ordem(f), "vlr_total")->SetAsFloat(50); });
  uitest::ProcessDeferredDeletes();
  EXPECT_EQ(Row(order3), orderBefore);
  EXPECT_EQ(Count(orders), ordersBefore);
  EXPECT_EQ(Count(items), itemsBefore);
  EXPECT_FALSE(EditorAlive()) << "the closed editor was released";
}

TEST_F(OrdemTest, AFailedSaveIsShownAndKeepsWhatWasTyped) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(database_.toUtf8().constData(), &other), SQLITE_OK);
  DM->ADO->SetBusyTimeout(50);
  Alterar(3, [&](TfOrdem& f) {
    Field(Ordem(f), "vlr_total")->SetAsFloat(777);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    Salvar(f)->click();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    ASSERT_EQ(boxes_.boxes.size(), 1u) << "the refusal is shown";
    EXPECT_EQ(Ordem(f)->State(), dsEdit);
    EXPECT_EQ(Field(Ordem(f), "vlr_total")->AsFloat(), 777.0);
    EXPECT_TRUE(Salvar(f)->isEnabled());

    Salvar(f)->click();
    EXPECT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(Ordem(f)->State(), dsBrowse);
  });
  sqlite3_close(other);
  EXPECT_EQ(Query(QStringLiteral("SELECT vlr_total FROM OrdensServico WHERE id = 3"))->Fields(0)->AsFloat(),
            777.0);
}

// The five data sets made here, closed, with every item of the shop.
class OrdemMapTest : public OrdemTest {
 protected:
  void SetUp() override {
    OrdemTest::SetUp();
    const struct {
      const char* name;
      const char* sql;
    } sets[] = {
        {"dsOrdensServico", "SELECT * FROM OrdensServico WHERE id = 3"},
        {"dsClientes", "SELECT id, nome FROM Clientes"},
        {"dsusers", "SELECT id, nome FROM Users"},
        {"dsuserentreg", "SELECT id, nome FROM Users"},
        {"dsitens_os", "SELECT * FROM itens_os"},
    };
    for (const auto& s : sets) {
      auto* ds = new TADODataSet(&owner_);
      ds->SetName(QString::fromLatin1(s.name));
      ds->SetConnection(DM->ADO);
      ds->SetCommandText(QString::fromLatin1(s.sql));
      sets_.push_back(ds);
    }
  }
  TDataSetMap MapWithout(const QString& missing) {
    TDataSetMap map;
    for (TADODataSet* ds : sets_)
      if (ds->Name() != missing) map.Add(ds->Name(), ds);
    return map;
  }

  TComponent owner_;
  std::vector<TADODataSet*> sets_;
};

TEST_F(OrdemMapTest, TheEditorOpensItsDataSetsAndListsOnlyTheOrdersItems) {
  TDataSetMap map = MapWithout(QString());
  TFactoryForms factory(&app_);
  RunEditor([&] { EXPECT_EQ(factory.ViewModal(QStringLiteral("TfOrdem"), &map), mrCancel); },
            [&](TfOrdem& f) {
              for (TADODataSet* ds : sets_) EXPECT_TRUE(ds->Active()) << ds->Name().toStdString();
              EXPECT_EQ(sets_[4]->RecordCount(), 2);
              for (sets_[4]->First(); !sets_[4]->Eof(); sets_[4]->Next())
                EXPECT_EQ(Field(sets_[4], "os_id")->AsInteger(), 3);
              EXPECT_EQ(Find<TDBGrid>(f, "DBGrid1")->model()->rowCount(), 2);
              EXPECT_EQ(Find<QComboBox>(f, "DBLookupComboBox1")->currentText(),
                        QStringLiteral("Ana Beatriz Lima"));
            });
  uitest::ProcessDeferredDeletes();
  EXPECT_FALSE(EditorAlive());
}

TEST_F(OrdemMapTest, AMissingKeyFailsWithItsMessageAndLeavesNoWindow) {
  const struct {
    const char* key;
    const char* message;
  } cases[] = {
      {"dsOrdensServico", "DataSet Ordem não definido"}, {"dsClientes", "DataSet Cliente não definido"},
      {"dsusers", "DataSet Recebeu não definido"},       {"dsuserentreg", "DataSet Entregue não definido"},
      {"dsitens_os", "DataSet ItensOS não definido!"},
  };
  for (const auto& c : cases) {
    TDataSetMap map = MapWithout(QString::fromLatin1(c.key));
    TFactoryForms factory(&app_);
    try {
      factory.ViewModal(QStringLiteral("TfOrdem"), &map);
      ADD_FAILURE() << "opened without " << c.key;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), QString::fromUtf8(c.message));
    }
    uitest::ProcessDeferredDeletes();
    EXPECT_FALSE(EditorAlive()) << c.key;
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
  for (TADODataSet* ds : sets_) EXPECT_FALSE(ds->Active()) << "nothing is opened";
}

}  // namespace
