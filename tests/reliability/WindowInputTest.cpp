// What an operator can type into the windows: 10,000-character texts, letters in number
// boxes, dates far outside any calendar, negative quantities. Each input gets a clear
// refusal (a message, the row kept for correction) or an accepted value; none crashes or
// leaves a row in the file that the program could not read back.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <functional>

#include "fontes/controler/Controller.Ordem.h"
#include "fontes/dados/uDM.h"
#include "fontes/views/Clientes.h"
#include "fontes/views/Ordem.h"
#include "fontes/views/Principal.h"
#include "fontes/views/Servicos.h"
#include "fontes/views/Usuarios.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBNavigator.h"
#include "platform/ui/DataSetModel.h"
#include "tests/fontes/views/DemoShopTest.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/UiTyping.h"
#include "tests/reliability/ReliabilityFixture.h"
#include "tools/AdminDatabase.h"
#include "tools/ServerConfigWriter.h"

namespace {

using reliability::IntegrityCheck;
using reliability::RawDb;

const QString kHuge = QString(10000, QChar(0x00E7));  // "ççç…", ten thousand of them

using uitest::TypeInto;

// Replaces a box's text the way an operator does with a long one: select all, paste.
void Paste(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QGuiApplication::clipboard()->setText(text);
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

class WindowInputTest : public DemoShopTest {
 protected:
  void TearDown() override {
    DemoShopTest::TearDown();
    EXPECT_EQ(IntegrityCheck(database_), QStringLiteral("ok"));
  }
  QString Db(const QString& sql) { return RawDb(database_).Scalar(sql); }

  rtl::ScopedFormatSettings settings_{TFormatSettings::PtBR()};
  reliability::BoxRecorder boxes_;
};

TEST_F(WindowInputTest, RegisterBoxesRefuseTenThousandCharactersAndKeepTheRow) {
  const struct {
    const char* window;
    std::function<TCustomDBEdit*()> open;  // opens the window, gives the box
    const char* table;
  } boxes[] = {
      {"Clientes: nome",
       [] {
         QTest::mouseClick(fPrincipal->dxBarLargeButton4, Qt::LeftButton);
         return static_cast<TCustomDBEdit*>(fClientes->cxDBTextEdit1);
       },
       "Clientes"},
      {"Clientes: telefone",
       [] {
         QTest::mouseClick(fPrincipal->dxBarLargeButton4, Qt::LeftButton);
         return static_cast<TCustomDBEdit*>(fClientes->cxDBTextEdit2);
       },
       "Clientes"},
      {"Serviços: descrição",
       [] {
         QTest::mouseClick(fPrincipal->dxBarLargeButton5, Qt::LeftButton);
         return static_cast<TCustomDBEdit*>(fServicos->cxDBTextEdit1);
       },
       "Servicos"},
      {"Usuários: login",
       [] {
         QTest::mouseClick(fPrincipal->dxBarLargeButton6, Qt::LeftButton);
         return static_cast<TCustomDBEdit*>(fUsuarios->cxDBTextEdit1);
       },
       "Users"},
      {"Usuários: senha",
       [] {
         QTest::mouseClick(fPrincipal->dxBarLargeButton6, Qt::LeftButton);
         return static_cast<TCustomDBEdit*>(fUsuarios->cxDBTextEdit3);
       },
       "Users"},
  };
  for (const auto& b : boxes) {
    SCOPED_TRACE(b.window);
    const QStringList before = reliability::TableContents(database_);
    TCustomDBEdit* box = b.open();
    ASSERT_NE(box, nullptr);
    auto* form = qobject_cast<TRegisterForm*>(box->window());
    ASSERT_NE(form, nullptr);
    TDataSet* ds = box->Field()->DataSet();
    for (const bool inserting : {true, false}) {
      SCOPED_TRACE(inserting ? "new row" : "row 1");
      boxes_.boxes.clear();
      if (inserting)
        QTest::mouseClick(form->DBNavigator1->Button(nbInsert), Qt::LeftButton);
      else
        ds->First();
      Paste(box, kHuge);
      QTest::mouseClick(form->DBNavigator1->Button(nbPost), Qt::LeftButton);
      ASSERT_EQ(boxes_.boxes.size(), 1u) << "a refusal is shown";
      EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("255 caracteres")))
          << boxes_.boxes[0].text.toStdString();
      EXPECT_EQ(ds->State(), inserting ? dsInsert : dsEdit) << "the row stays for correction";
      EXPECT_EQ(box->text(), kHuge);
      EXPECT_EQ(reliability::TableContents(database_), before);
      QTest::mouseClick(form->DBNavigator1->Button(nbCancel), Qt::LeftButton);
      EXPECT_EQ(ds->State(), dsBrowse);
    }
    form->Close();
    uitest::ProcessDeferredDeletes();
  }
}

class EditorInputTest : public WindowInputTest {
 protected:
  // Runs the editor on order 3, acts, saves, and closes it.
  void Alterar(const std::function<void(TfOrdem&)>& act) {
    TControllerOrdem controller(&app_);
    uitest::RunWindow<TfOrdem>([&] { controller.Alterar(3); }, act);
  }
  static QLineEdit* Box(const TfOrdem& f, const char* name) {
    auto* box = f.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(box, nullptr) << name;
    return box;
  }
  // Leaves the box, which writes its text into the field or reports the refusal.
  static void Leave(QLineEdit* box) {
    QTest::keyClick(box, Qt::Key_Tab);
    QApplication::processEvents();
  }
};

// The order row's stored dates are dates the program reads back, whatever was typed.
bool StoredDatesReadable(const QString& path) {
  const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}(\\.\\d{3})?$"));
  for (const QString& row :
       RawDb(path).Rows(QStringLiteral("SELECT dt_entrada, dt_saida FROM OrdensServico WHERE id = 3")))
    for (const QString& value : row.split(QLatin1Char('|')))
      if (value != QLatin1String("NULL") && !date.match(value).hasMatch()) return false;
  return true;
}

TEST_F(EditorInputTest, DateBoxesTakeARealDateOrRefuseIt) {
  // What the box keeps of the typing decides: letters and signs are not taken, a year
  // longer than four digits is cut; what is left is a real date or a refusal.
  const struct {
    const char* typed;
    const char* accepted;  // nullptr: refused
  } cases[] = {
      {"99/99/9999", nullptr},       {"31/02/2024", nullptr},      {"00/00/0000", nullptr},
      {"01/01/0000", nullptr},       {"29/02/2023", nullptr},      {"ab/cd/efgh", nullptr},
      {"31/12/99999", "31/12/9999"}, {"01/01/0001", "01/01/0001"}, {"31/12/9999", "31/12/9999"},
      {"-1/-1/-1", "01/01/2001"},
  };
  Alterar([&](TfOrdem& f) {
    QLineEdit* box = Box(f, "_eDtSaida");
    TField* field = f.dsOrdem->DataSet()->FieldByName(QStringLiteral("dt_saida"));
    // The operator types into the active window.
    f.activateWindow();
    box->setFocus();
    QApplication::processEvents();
    for (const auto& c : cases) {
      SCOPED_TRACE(c.typed);
      boxes_.boxes.clear();
      const QString before = field->AsString();
      TypeInto(box, QString::fromLatin1(c.typed));
      const QString kept = box->text();
      Leave(box);
      if (c.accepted == nullptr) {
        ASSERT_EQ(boxes_.boxes.size(), 1u) << "refused with a message";
        EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("não é uma data válida")))
            << boxes_.boxes[0].text.toStdString();
        EXPECT_EQ(field->AsString(), before) << "the field keeps its value";
        EXPECT_EQ(box->text(), kept) << "the typing stays for correction";
        QTest::keyClick(box, Qt::Key_Escape);
      } else {
        EXPECT_TRUE(boxes_.boxes.empty());
        EXPECT_EQ(field->AsString(), QString::fromLatin1(c.accepted));
        box->setFocus();
      }
    }
    boxes_.boxes.clear();
    f._btnSalvar->click();
    EXPECT_TRUE(boxes_.boxes.empty());
  });
  EXPECT_TRUE(StoredDatesReadable(database_));
  EXPECT_EQ(Db(QStringLiteral("SELECT date(dt_saida) FROM OrdensServico WHERE id = 3")),
            QStringLiteral("2001-01-01"));
}

TEST_F(EditorInputTest, TheTotalBoxRefusesLettersAndTakesOnlyNumbers) {
  const struct {
    const char* name;
    QString text;
    const char* accepted;  // the field afterwards; nullptr: refused with a message
  } inputs[] = {
      {"letters: none taken", QStringLiteral("abcXYZ"), "144"},
      {"letters among digits: the digits taken", QStringLiteral("12a3,4b5"), "123,45"},
      {"negative", QStringLiteral("-50,25"), "-50,25"},
      {"ten thousand digits: 15 kept, beyond the currency range", QString(10000, QLatin1Char('9')), nullptr},
      {"exponent: the letter not taken", QStringLiteral("1e308"), "1308"},
  };
  Alterar([&](TfOrdem& f) {
    QLineEdit* box = Box(f, "_eVlrTotal");
    TField* field = f.dsOrdem->DataSet()->FieldByName(QStringLiteral("vlr_total"));
    f.activateWindow();
    box->setFocus();
    QApplication::processEvents();
    for (const auto& input : inputs) {
      SCOPED_TRACE(input.name);
      boxes_.boxes.clear();
      const QString before = field->AsString();
      TypeInto(box, input.text);
      EXPECT_FALSE(box->text().contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
          << box->text().toStdString();
      Leave(box);
      if (input.accepted == nullptr) {
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("não é um valor válido")))
            << boxes_.boxes[0].text.toStdString();
        EXPECT_EQ(field->AsString(), before);
        QTest::keyClick(box, Qt::Key_Escape);
      } else {
        EXPECT_TRUE(boxes_.boxes.empty());
        EXPECT_EQ(field->AsString(), QString::fromLatin1(input.accepted));
        box->setFocus();
      }
    }
    boxes_.boxes.clear();
    f._btnSalvar->click();
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(f.dsOrdem->DataSet()->State(), dsBrowse);
  });
  // A number in the file, not text.
  EXPECT_EQ(Db(QStringLiteral(
                "SELECT vlr_total = 1308 AND typeof(vlr_total) <> 'text' FROM OrdensServico WHERE id = 3")),
            QStringLiteral("1"));
}

TEST_F(EditorInputTest, ItemCellsTakeNegativeQuantitiesAndRefuseWhatDoesNotFit) {
  const QString kHugeCut = kHuge.left(255);  // a pasted text is cut to the column's size
  const struct {
    const char* field;
    QString text;
    const QString* stored;  // the file afterwards; nullptr: refused with a message
    const char* storedText;
  } cells[] = {
      {"item_qtde", QStringLiteral("-3"), nullptr, "-3.0"},
      {"item_qtde", QStringLiteral("abc"), nullptr, nullptr},
      {"item_vlr", QStringLiteral("-10,5"), nullptr, "-10.5"},
      {"item_vlr", QString(10000, QLatin1Char('9')), nullptr, nullptr},
      {"produto_descricao", kHuge, &kHugeCut, nullptr},
  };
  Alterar([&](TfOrdem& f) {
    TDataSet* itens = f.dsItensOS->DataSet();
    TDBGrid* grid = f.DBGrid1;
    const int items = itens->RecordCount();
    ASSERT_GT(items, 0);
    f.activateWindow();
    for (const auto& cell : cells) {
      SCOPED_TRACE(cell.field);
      boxes_.boxes.clear();
      itens->First();
      const QString id = itens->FieldByName(QStringLiteral("id"))->AsString();
      const QString sql =
          QStringLiteral("SELECT %1 FROM itens_os WHERE id = %2").arg(QLatin1String(cell.field), id);
      const QString storedBefore = Db(sql);
      const int column = grid->ColumnOfField(QString::fromLatin1(cell.field));
      ASSERT_GE(column, 0);
      const QModelIndex index = grid->model()->index(0, column);
      grid->setFocus();
      grid->setCurrentIndex(index);
      grid->edit(index);
      auto* editor = qobject_cast<QLineEdit*>(grid->CellEditor());
      ASSERT_NE(editor, nullptr);
      if (cell.text.size() > 100)
        Paste(editor, cell.text);
      else
        TypeInto(editor, cell.text);
      QTest::keyClick(editor, Qt::Key_Return);
      QApplication::processEvents();
      if (itens->State() != dsBrowse) QTest::mouseClick(f.DBNavigator1->Button(nbPost), Qt::LeftButton);
      const bool refused = cell.stored == nullptr && cell.storedText == nullptr;
      if (refused) {
        ASSERT_FALSE(boxes_.boxes.empty()) << "refused with a message";
        EXPECT_TRUE(boxes_.boxes[0].text.contains(QStringLiteral("não é um valor válido para")))
            << boxes_.boxes[0].text.toStdString();
        EXPECT_EQ(Db(sql), storedBefore) << "nothing stored";
        itens->Cancel();
      } else {
        EXPECT_TRUE(boxes_.boxes.empty());
        EXPECT_EQ(itens->State(), dsBrowse);
        EXPECT_EQ(Db(sql), cell.stored != nullptr ? *cell.stored : QString::fromLatin1(cell.storedText));
      }
      EXPECT_EQ(itens->RecordCount(), items);
    }
  });
  // Every item of order 3 still reads back, with numbers where numbers belong.
  for (const QString& row : RawDb(database_).Rows(
           QStringLiteral("SELECT typeof(item_qtde), typeof(item_vlr), typeof(item_subtotal), "
                          "length(produto_descricao) <= 255 FROM itens_os WHERE os_id = 3")))
    EXPECT_FALSE(row.contains(QStringLiteral("text"))) << row.toStdString();
}

}  // namespace
