#include <QLineEdit>
#include <QTest>

#include "platform/db/Field.h"
#include "platform/ui/DBLookup.h"
#include "tests/platform/dbcontrols/ControlsFixture.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

using ctltest::ControlsTest;

class LookupTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    orders_ = Open(QStringLiteral("select * from OrdensServico"));
    orderSource_ = SourceOf(orders_);
    clientsSource_ = SourceOf(Open(QStringLiteral("select id, nome from Clientes")));
    usersSource_ = SourceOf(Open(QStringLiteral("select id, nome from Users")));
  }

  TDBLookupComboBox* Box(const QString& name, const QString& field, TDataSource* list, bool clearOnDelete) {
    auto* box = new TDBLookupComboBox(nullptr, Host());
    box->SetName(name);
    box->setGeometry(24, 78, 350, 21);
    box->SetDataSource(orderSource_);
    box->SetDataField(field);
    box->SetListSource(list);
    box->SetKeyField(QStringLiteral("id"));
    box->SetListField(QStringLiteral("nome"));
    box->SetClearOnDelete(clearOnDelete);
    box->show();  // children made after the window was shown start hidden
    return box;
  }

  TField* Field(const QString& name) const { return orders_->FieldByName(name); }

  TADODataSet* orders_ = nullptr;
  TDataSource* orderSource_ = nullptr;
  TDataSource* clientsSource_ = nullptr;
  TDataSource* usersSource_ = nullptr;
};

TEST_F(LookupTest, ListsTheNamesAndFollowsTheRow) {
  auto* box = Box(QStringLiteral("DBLookupComboBox1"), QStringLiteral("cliente_id"), clientsSource_, false);
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(1), QStringLiteral("José"));
  EXPECT_EQ(box->DisplayText(), QStringLiteral("Ana"));
  EXPECT_EQ(box->KeyValue().toInt(), 1);
  orders_->Next();
  EXPECT_EQ(box->DisplayText(), QStringLiteral("José"));
  // A key with no list row shows empty.
  auto* received = Box(QStringLiteral("_boxRecebido"), QStringLiteral("user_recept_id"), usersSource_, true);
  EXPECT_EQ(received->DisplayText(), QString());
  EXPECT_FALSE(received->KeyValue().isValid());
  EXPECT_EQ(box->accessibleDescription(), QStringLiteral("DBLookupComboBox1"));
}

TEST_F(LookupTest, ChoosingStoresTheKeyInEditState) {
  auto* box = Box(QStringLiteral("DBLookupComboBox1"), QStringLiteral("cliente_id"), clientsSource_, false);
  ShowHost();
  Focus(box);
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(orders_->State(), dsEdit);
  EXPECT_EQ(Field(QStringLiteral("cliente_id"))->AsInteger(), 2);
  EXPECT_EQ(box->DisplayText(), QStringLiteral("José"));
  EXPECT_TRUE(box->SelectKey(3));
  orders_->Post();
  EXPECT_EQ(Scalar(QStringLiteral("select cliente_id from OrdensServico where id = 1")), QStringLiteral("3"));
}

TEST_F(LookupTest, TypingTheStartOfANameFindsIt) {
  auto* box = Box(QStringLiteral("DBLookupComboBox1"), QStringLiteral("cliente_id"), clientsSource_, false);
  ShowHost();
  Focus(box);
  box->lineEdit()->selectAll();
  QTest::keyClicks(box, QStringLiteral("ma"));
  EXPECT_EQ(box->lineEdit()->text().toLower(), QStringLiteral("maria"));  // completed inline
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(Field(QStringLiteral("cliente_id"))->AsInteger(), 3);
  EXPECT_EQ(box->DisplayText(), QStringLiteral("Maria"));
  // A name that is not listed is dropped on leaving.
  box->lineEdit()->selectAll();
  QTest::keyClicks(box, QStringLiteral("Zeca"));
  Focus(elsewhere_);
  EXPECT_EQ(Field(QStringLiteral("cliente_id"))->AsInteger(), 3);
  EXPECT_EQ(box->DisplayText(), QStringLiteral("Maria"));
}

TEST_F(LookupTest, DeleteEmptiesOnlyWhereAllowed) {
  const struct {
    const char* name;
    QString field;
    TDataSource* list;
    bool clearOnDelete;
    bool emptied;
  } cases[] = {
      {"Cliente", QStringLiteral("cliente_id"), clientsSource_, false, false},
      {"Recebido por", QStringLiteral("user_recept_id"), usersSource_, true, true},
      {"Entregue por", QStringLiteral("user_id"), usersSource_, true, true},
  };
  ShowHost();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* box = Box(QString::fromLatin1(c.name), c.field, c.list, c.clearOnDelete);
    ASSERT_FALSE(Field(c.field)->IsNull());
    Focus(box);
    QTest::keyClick(box, Qt::Key_Delete);
    Focus(elsewhere_);
    EXPECT_EQ(Field(c.field)->IsNull(), c.emptied);
    EXPECT_EQ(box->DisplayText().isEmpty(), c.emptied);
    delete box;
  }
}

TEST_F(LookupTest, ABoxThatCannotEditRefusesChoices) {
  auto* box = Box(QStringLiteral("DBLookupComboBox1"), QStringLiteral("cliente_id"), clientsSource_, true);
  box->SetReadOnly(true);
  ShowHost();
  Focus(box);
  QTest::keyClick(box, Qt::Key_Down);
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, QStringLiteral("Jo"));
  EXPECT_FALSE(box->SelectKey(2));
  EXPECT_EQ(orders_->State(), dsBrowse);
  EXPECT_EQ(box->DisplayText(), QStringLiteral("Ana"));
}

}  // namespace
