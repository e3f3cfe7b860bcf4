#include <QCalendarWidget>
#include <QPushButton>
#include <QTest>

#include "platform/db/Field.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/DBCheckBox.h"
#include "platform/ui/DBEdits.h"
#include "platform/ui/Forms.h"
#include "tests/platform/dbcontrols/ControlsFixture.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

using ctltest::ControlsTest;

class EditsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    clients_ = Open(QStringLiteral("SELECT id, nome, telefone FROM Clientes;"));
    source_ = SourceOf(clients_);
  }

  template <class Box>
  Box* BoxOn(TDataSource* source, const QString& field, const QString& name) {
    auto* box = new Box(nullptr, Host());
    box->SetName(name);
    box->setGeometry(72, 80, 121, 21);
    box->SetDataSource(source);
    box->SetDataField(field);
    box->show();  // children made after the window was shown start hidden
    return box;
  }

  TField* Field(const QString& name) const { return clients_->FieldByName(name); }

  TADODataSet* clients_ = nullptr;
  TDataSource* source_ = nullptr;
};

TEST_F(EditsTest, TypingEditsTheRowAndLeavingTheBoxWritesTheField) {
  auto* box = BoxOn<TcxDBTextEdit>(source_, QStringLiteral("nome"), QStringLiteral("cxDBTextEdit1"));
  ShowHost();
  EXPECT_EQ(box->text(), QStringLiteral("Ana"));
  Focus(box);
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("Beatriz"));
  EXPECT_EQ(clients_->State(), dsEdit);
  EXPECT_EQ(Field(QStringLiteral("nome"))->AsString(), QStringLiteral("Ana"));  // not yet
  EXPECT_TRUE(box->Modified());
  Focus(elsewhere_);
  EXPECT_EQ(Field(QStringLiteral("nome"))->AsString(), QStringLiteral("Beatriz"));
  clients_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select nome from Clientes where id = 1")), QStringLiteral("Beatriz"));
  // The box follows the row.
  clients_->Next();
  EXPECT_EQ(box->text(), QStringLiteral("José"));
  EXPECT_EQ(box->objectName(), QStringLiteral("cxDBTextEdit1"));
  EXPECT_EQ(box->accessibleDescription(), QStringLiteral("cxDBTextEdit1"));
  EXPECT_EQ(box->accessibleName(), QStringLiteral("nome"));
}

TEST_F(EditsTest, PendingTextIsWrittenWhenTheRowPostsOrMoves) {
  auto* box = BoxOn<TDBEdit>(source_, QStringLiteral("telefone"), QStringLiteral("DBEdit2"));
  ShowHost();
  Focus(box);
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("9999"));
  clients_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select telefone from Clientes where id = 1")), QStringLiteral("9999"));
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("8888"));
  clients_->Next();  // a modified row is posted on the way
  EXPECT_EQ(Scalar(QStringLiteral("select telefone from Clientes where id = 1")), QStringLiteral("8888"));
  EXPECT_EQ(box->text(), QStringLiteral("2222"));
}

TEST_F(EditsTest, EscUndoesThePendingTextThenBelongsToTheWindow) {
  auto* form = CreateForm<TForm>(nullptr);
  auto* cancel = new TButton(nullptr, form);
  int cancelled = 0;
  cancel->OnClick = [&] { ++cancelled; };
  form->SetCancelButton(cancel);
  auto* box = new TDBEdit(nullptr, form);
  box->SetDataSource(source_);
  box->SetDataField(QStringLiteral("nome"));
  form->Show();
  QApplication::setActiveWindow(form);
  Focus(box);
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("Outro"));
  QTest::keyClick(box, Qt::Key_Escape);
  EXPECT_EQ(box->text(), QStringLiteral("Ana"));
  EXPECT_FALSE(box->Modified());
  EXPECT_EQ(cancelled, 0);
  QTest::keyClick(box, Qt::Key_Escape);
  EXPECT_EQ(cancelled, 1);
  delete form;
}

TEST_F(EditsTest, ARefusedValueIsReportedAndTheTextStays) {
  TADODataSet* orders = Open(QStringLiteral("select * from OrdensServico"));
  TDataSource* ordersSource = SourceOf(orders);
  Field(QStringLiteral("nome"))->SetSize(5);
  const struct {
    const char* name;
    TDataSource* source;
    QString field;
    QString typed;
    QString message;
  } cases[] = {
      {"too long", source_, QStringLiteral("nome"), QStringLiteral("Alexandre"),
       QStringLiteral("no máximo 5")},
      {"not a date", ordersSource, QStringLiteral("dt_entrada"), QStringLiteral("31/02/2024"),
       QStringLiteral("'31/02/2024' is not a valid date and time")},
  };
  ShowHost();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* box = BoxOn<TDBEdit>(c.source, c.field, QStringLiteral("DBEdit1"));
    box->SetMaxLength(50);
    Focus(box);
    box->selectAll();
    QTest::keyClicks(box, c.typed);
    uitest::BoxRecorder boxes;
    Focus(elsewhere_);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.contains(c.message)) << boxes.boxes[0].text.toStdString();
    EXPECT_EQ(box->text(), c.typed);
    EXPECT_TRUE(box->Modified());
    QCoreApplication::processEvents();  // the focus comes back for correction
    EXPECT_TRUE(box->hasFocus());
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->Modified());
    c.source->DataSet()->Cancel();
    delete box;
  }
}

TEST_F(EditsTest, BoxesThatCannotEditRefuseKeystrokes) {
  const struct {
    const char* name;
    QString field;
    bool boxReadOnly;
  } cases[] = {
      {"auto-number field", QStringLiteral("id"), false},
      {"read-only box", QStringLiteral("nome"), true},
  };
  ShowHost();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* box = BoxOn<TDBEdit>(source_, c.field, QStringLiteral("DBEdit1"));
    box->SetReadOnly(c.boxReadOnly);
    const QString before = box->text();
    Focus(box);
    QTest::keyClicks(box, QStringLiteral("123"));
    EXPECT_EQ(box->text(), before);
    EXPECT_EQ(clients_->State(), dsBrowse);
    delete box;
  }
}

TEST_F(EditsTest, PasswordColourAndLength) {
  TADODataSet* users = Open(QStringLiteral("select id, login, nome, password from Users"));
  auto* password =
      BoxOn<TcxDBTextEdit>(SourceOf(users), QStringLiteral("password"), QStringLiteral("cxDBTextEdit3"));
  password->SetPasswordChar(QLatin1Char('*'));
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_EQ(password->displayText(), QStringLiteral("**"));
  auto* code = BoxOn<TDBEdit>(source_, QStringLiteral("id"), QStringLiteral("DBEdit1"));
  code->SetColor(QColor(166, 202, 240));
  EXPECT_EQ(code->Color(), QColor(166, 202, 240));
  auto* name = BoxOn<TDBEdit>(source_, QStringLiteral("nome"), QStringLiteral("DBEdit2"));
  EXPECT_EQ(name->maxLength(), 255);
  name->SetMaxLength(10);
  EXPECT_EQ(name->maxLength(), 10);
}

TEST_F(EditsTest, DisplayTextWithoutFocusEditTextWithIt) {
  Field(QStringLiteral("id"))->SetDisplayFormat(QStringLiteral("00000"));
  auto* code = BoxOn<TDBEdit>(source_, QStringLiteral("id"), QStringLiteral("DBEdit1"));
  ShowHost();
  EXPECT_EQ(code->text(), QStringLiteral("00001"));
  Focus(code);
  EXPECT_EQ(code->text(), QStringLiteral("1"));
  Focus(elsewhere_);
  EXPECT_EQ(code->text(), QStringLiteral("00001"));
}

class OrderBoxesTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    orders_ = Open(QStringLiteral("select * from OrdensServico"));
    source_ = SourceOf(orders_);
  }
  TField* Field(const QString& name) const { return orders_->FieldByName(name); }

  TADODataSet* orders_ = nullptr;
  TDataSource* source_ = nullptr;
};

TEST_F(OrderBoxesTest, TheDateBoxChangesTheDateAndKeepsTheTimeOfDay) {
  auto* box = new TcxDBDateEdit(nullptr, Host());
  box->SetDataSource(source_);
  box->SetDataField(QStringLiteral("dt_entrada"));
  ShowHost();
  EXPECT_EQ(box->text(), QStringLiteral("05/03/2024"));
  Focus(box);
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("10/04/2024x"));  // the letter is refused
  EXPECT_EQ(box->text(), QStringLiteral("10/04/2024"));
  Focus(elsewhere_);
  EXPECT_EQ(Field(QStringLiteral("dt_entrada"))->AsDateTime(),
            rtl::EncodeDate(2024, 4, 10) + rtl::EncodeTime(14, 30, 0, 0));
  box->PickDate(QDate(2024, 5, 1));
  EXPECT_EQ(Field(QStringLiteral("dt_entrada"))->AsDateTime(),
            rtl::EncodeDate(2024, 5, 1) + rtl::EncodeTime(14, 30, 0, 0));
  // Emptied, it stores null; an impossible date is refused in Portuguese.
  Focus(box);
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Backspace);
  Focus(elsewhere_);
  EXPECT_TRUE(Field(QStringLiteral("dt_entrada"))->IsNull());
  Focus(box);
  QTest::keyClicks(box, QStringLiteral("31/02/2024"));
  uitest::BoxRecorder boxes;
  Focus(elsewhere_);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("'31/02/2024' não é uma data válida."));
}

TEST_F(OrderBoxesTest, TheCalendarPicksADateOrEmptiesTheBox) {
  auto* box = new TcxDBDateEdit(nullptr, Host());
  box->SetDataSource(source_);
  box->SetDataField(QStringLiteral("dt_entrada"));
  ShowHost();
  box->DropDown();
  auto* calendar = box->findChild<QCalendarWidget*>(QStringLiteral("DateEditCalendar"));
  ASSERT_NE(calendar, nullptr);
  EXPECT_EQ(calendar->selectedDate(), QDate(2024, 3, 5));
  emit calendar->clicked(QDate(2024, 5, 1));
  EXPECT_EQ(orders_->State(), dsEdit);
  EXPECT_EQ(Field(QStringLiteral("dt_entrada"))->AsDateTime(),
            rtl::EncodeDate(2024, 5, 1) + rtl::EncodeTime(14, 30, 0, 0));
  EXPECT_EQ(box->text(), QStringLiteral("01/05/2024"));
  uitest::ProcessDeferredDeletes();
  box->DropDown();
  auto* clear = box->findChild<QPushButton*>(QStringLiteral("DateEditClear"));
  ASSERT_NE(clear, nullptr);
  clear->click();
  EXPECT_TRUE(Field(QStringLiteral("dt_entrada"))->IsNull());
  EXPECT_EQ(box->text(), QString());
}

TEST_F(OrderBoxesTest, TheCurrencyBoxShowsSeparatorsAndRefusesLetters) {
  auto* box = new TcxDBCurrencyEdit(nullptr, Host());
  box->SetDataSource(source_);
  box->SetDataField(QStringLiteral("vlr_total"));
  ShowHost();
  EXPECT_EQ(box->text(), QStringLiteral("1.234,50"));
  Focus(box);
  EXPECT_EQ(box->text(), QStringLiteral("1234,5"));
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("9a9,9b9"));
  EXPECT_EQ(box->text(), QStringLiteral("99,99"));
  Focus(elsewhere_);
  EXPECT_EQ(Field(QStringLiteral("vlr_total"))->AsCurrency(), Currency::FromRaw(999900));
  EXPECT_EQ(box->text(), QStringLiteral("99,99"));
  orders_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select vlr_total from OrdensServico where id = 1")),
            QStringLiteral("99.99"));
}

TEST_F(OrderBoxesTest, TheCheckBoxWritesYesAndNo) {
  auto* box = new TcxDBCheckBox(nullptr, Host());
  box->SetName(QStringLiteral("_chkStatus"));
  box->SetCaption(QStringLiteral("Ativo"));
  box->SetDataSource(source_);
  box->SetDataField(QStringLiteral("status"));
  EXPECT_TRUE(box->isChecked());
  box->click();
  EXPECT_EQ(orders_->State(), dsEdit);
  EXPECT_FALSE(Field(QStringLiteral("status"))->AsBoolean());
  orders_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select status from OrdensServico where id = 1")), QStringLiteral("0"));
  orders_->Next();
  EXPECT_FALSE(box->isChecked());
  box->click();
  orders_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select status from OrdensServico where id = 2")), QStringLiteral("-1"));
  // Read-only, it keeps its tick.
  box->SetReadOnly(true);
  box->click();
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(orders_->State(), dsBrowse);
}

}  // namespace
