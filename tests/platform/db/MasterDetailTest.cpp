#include "platform/rtl/Exceptions.h"
#include "tests/platform/db/DbFixture.h"

class MasterDetailTest : public dbtest::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    SeedOrders();
    orders_ = OpenQuery(QStringLiteral("select * from OrdensServico"), QStringLiteral("adsOrdens"));
    source_ = new TDataSource(&owner_);
    source_->SetDataSet(orders_);
    items_ =
        OpenQuery(QStringLiteral("SELECT itens_os.id, itens_os.os_id, itens_os.item_subtotal FROM itens_os;"),
                  QStringLiteral("adsItensOS"));
    items_->SetDataSource(source_);
    items_->SetIndexFieldNames(QStringLiteral("os_id"));
    items_->SetMasterFields(QStringLiteral("id"));
  }
  QString ItemIds() {
    QStringList ids;
    for (int r = 0; r < items_->RecordCount(); ++r) ids << items_->ValueAt(r, 0).toString();
    return ids.join(QLatin1Char(','));
  }

  TADODataSet* orders_ = nullptr;
  TADODataSet* items_ = nullptr;
  TDataSource* source_ = nullptr;
};

TEST_F(MasterDetailTest, DetailShowsOnlyTheRowsOfTheCurrentMasterRowAndFollowsIt) {
  EXPECT_EQ(ItemIds(), QStringLiteral("1,2"));
  orders_->Next();
  EXPECT_EQ(ItemIds(), QStringLiteral("3"));
  orders_->Next();
  EXPECT_EQ(ItemIds(), QString());
  EXPECT_TRUE(items_->IsEmpty());
  orders_->First();
  EXPECT_EQ(ItemIds(), QStringLiteral("1,2"));
  items_->SetDataSource(nullptr);  // unlinked: every row again
  EXPECT_EQ(items_->RecordCount(), 3);
}

TEST_F(MasterDetailTest, NewDetailRowGetsTheMasterValueAfterTheHandlers) {
  auto* itemsSource = new TDataSource(&owner_);
  itemsSource->SetDataSet(items_);
  QString seenInHandler;
  itemsSource->OnStateChange = [&](TDataSource& s) {
    if (s.State() != dsInsert) return;
    TField* osId = items_->FieldByName(QStringLiteral("os_id"));
    osId->SetAsInteger(999);  // the editor's own default, overwritten by the link right after
    seenInHandler = osId->AsString();
  };
  orders_->Next();  // order 2
  items_->Append();
  EXPECT_EQ(seenInHandler, QStringLiteral("999"));
  EXPECT_EQ(items_->FieldByName(QStringLiteral("os_id"))->AsInteger(), 2);
  items_->FieldByName(QStringLiteral("item_subtotal"))->SetAsFloat(5);
  items_->Post();
  EXPECT_EQ(ItemIds(), QStringLiteral("3,4"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT os_id FROM itens_os WHERE id = 4")), QStringLiteral("2"));

  // A master row without an id (a new order) gives a null, and no rows to show.
  orders_->Append();
  EXPECT_TRUE(items_->IsEmpty());
  items_->Append();
  EXPECT_TRUE(items_->FieldByName(QStringLiteral("os_id"))->IsNull());
  items_->FieldByName(QStringLiteral("os_id"))->SetRequired(true);
  EXPECT_EQ(QString::fromUtf8([&] {
              try {
                items_->Post();
              } catch (const EDatabaseError& e) {
                return e.Message().toStdString();
              }
              return std::string();
            }()),
            QStringLiteral("Field 'os_id' must have a value"));
}

TEST_F(MasterDetailTest, MasterMovePostsAPendingDetailEditFirst) {
  items_->Edit();
  items_->FieldByName(QStringLiteral("item_subtotal"))->SetAsFloat(77);
  orders_->Next();
  EXPECT_EQ(items_->State(), dsBrowse);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT item_subtotal FROM itens_os WHERE id = 1")), QStringLiteral("77"));
  EXPECT_EQ(ItemIds(), QStringLiteral("3"));
}

TEST_F(MasterDetailTest, AggregateSumsTheVisibleRows) {
  auto* total = new TAggregateField(&owner_);
  total->SetName(QStringLiteral("adsItensOSTotalItens"));
  total->SetFieldName(QStringLiteral("TotalItens"));
  total->SetExpression(QStringLiteral("SUM(item_subtotal)"));
  items_->Close();
  total->SetDataSet(items_);
  items_->Open();
  EXPECT_EQ(items_->AggFieldCount(), 1);
  EXPECT_EQ(items_->FieldByName(QStringLiteral("TotalItens")), total);
  EXPECT_EQ(total->AsCurrency(), Currency::FromRaw(1505000));  // 100 + 50.5, exact
  EXPECT_EQ(total->ResultType(), ftBCD);
  orders_->Next();
  EXPECT_EQ(total->AsFloat(), 80.0);
  items_->Edit();
  items_->FieldByName(QStringLiteral("item_subtotal"))->SetAsFloat(90);
  EXPECT_EQ(total->AsFloat(), 90.0);  // the row being edited counts with its typed value
  items_->Cancel();
  orders_->Next();
  EXPECT_TRUE(total->IsNull());

  total->SetExpression(QStringLiteral("COUNT(id)"));
  orders_->First();
  EXPECT_EQ(total->AsInteger(), 2);
  total->SetExpression(QStringLiteral("MEDIAN(id)"));
  EXPECT_THROW(total->AsVariant(), EDatabaseError);
}

namespace {

// A visual link that notes what the detail shows when the master has moved.
class DetailWatcher : public TDataLink {
 public:
  explicit DetailWatcher(std::function<void()> onScroll) : onScroll_(std::move(onScroll)) {}

 protected:
  void DataSetScrolled(int /*distance*/) override { onScroll_(); }

 private:
  std::function<void()> onScroll_;
};

}  // namespace

TEST_F(MasterDetailTest, DetailFollowsBeforeVisualLinksHearOfTheMove) {
  auto* source = new TDataSource(&owner_);
  source->SetDataSet(orders_);
  QStringList seen;
  DetailWatcher watcher([&] { seen << ItemIds(); });
  watcher.SetDataSource(source);  // attached before the detail's own link
  items_->SetDataSource(source);
  orders_->Next();
  EXPECT_EQ(seen, QStringList({"3"}));
}
