#include "platform/rtl/Exceptions.h"
#include "tests/platform/db/DbFixture.h"

namespace {

const char* StateName(TDataSetState s) {
  switch (s) {
    case dsInactive:
      return "inactive";
    case dsBrowse:
      return "browse";
    case dsEdit:
      return "edit";
    case dsInsert:
      return "insert";
  }
  return "?";
}

// Writes down every hook it gets, as "link:<hook>".
class RecordingLink : public TDataLink {
 public:
  RecordingLink(QStringList& log, const QString& name) : log_(log), name_(name) {}

 protected:
  void ActiveChanged() override { Log("ActiveChanged"); }
  void EditingChanged() override { Log("EditingChanged"); }
  void DataSetChanged() override { Log("DataSetChanged"); }
  void DataSetScrolled(int distance) override { Log(QStringLiteral("Scrolled(%1)").arg(distance)); }
  void LayoutChanged() override { Log("LayoutChanged"); }
  void RecordChanged(TField* field) override {
    Log(QStringLiteral("RecordChanged(%1)").arg(field ? field->FieldName() : QStringLiteral("-")));
  }
  void UpdateData() override { Log("UpdateData"); }
  void RowsInserted(int first, int count) override {
    Log(QStringLiteral("RowsInserted(%1,%2)").arg(first).arg(count));
  }
  void RowsRemoved(int first, int count) override {
    Log(QStringLiteral("RowsRemoved(%1,%2)").arg(first).arg(count));
  }
  void RowChanged(int row) override { Log(QStringLiteral("RowChanged(%1)").arg(row)); }

 private:
  void Log(const QString& what) { log_ << name_ + QLatin1Char(':') + what; }
  QStringList& log_;
  QString name_;
};

}  // namespace

class EventOrderTest : public dbtest::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    SeedOrders();
    ds_ = NewQuery(QStringLiteral("SELECT id, nome FROM Clientes"), QStringLiteral("adsClientes"));
    auto hook = [this](const char* name) {
      return [this, name](TDataSet&) { log_ << QString::fromLatin1(name); };
    };
    ds_->BeforeOpen = hook("BeforeOpen");
    ds_->AfterOpen = hook("AfterOpen");
    ds_->BeforeClose = hook("BeforeClose");
    ds_->AfterClose = hook("AfterClose");
    ds_->BeforeInsert = hook("BeforeInsert");
    ds_->AfterInsert = hook("AfterInsert");
    ds_->BeforeEdit = hook("BeforeEdit");
    ds_->AfterEdit = hook("AfterEdit");
    ds_->BeforePost = hook("BeforePost");
    ds_->AfterPost = hook("AfterPost");
    ds_->BeforeCancel = hook("BeforeCancel");
    ds_->AfterCancel = hook("AfterCancel");
    ds_->BeforeDelete = hook("BeforeDelete");
    ds_->AfterDelete = hook("AfterDelete");
    ds_->BeforeScroll = hook("BeforeScroll");
    ds_->AfterScroll = hook("AfterScroll");
    ds_->OnNewRecord = hook("OnNewRecord");
    source_ = new TDataSource(&owner_);
    source_->OnStateChange = [this](TDataSource& s) {
      log_ << QStringLiteral("StateChange:") + StateName(s.State());
    };
    source_->OnDataChange = [this](TDataSource&, TField* f) {
      log_ << QStringLiteral("DataChange:") + (f ? f->FieldName() : QStringLiteral("-"));
    };
    source_->OnUpdateData = [this](TDataSource&) { log_ << QStringLiteral("OnUpdateData"); };
    source_->SetDataSet(ds_);
    link_ = std::make_unique<RecordingLink>(log_, QStringLiteral("link"));
    link_->SetDataSource(source_);
  }
  QStringList Take() {
    QStringList out = log_;
    log_.clear();
    return out;
  }

  QStringList log_;
  TADODataSet* ds_ = nullptr;
  TDataSource* source_ = nullptr;
  std::unique_ptr<RecordingLink> link_;
};

TEST_F(EventOrderTest, OpenScrollAndClose) {
  ds_->Open();
  EXPECT_EQ(Take(), QStringList({"BeforeOpen", "link:ActiveChanged", "StateChange:browse", "AfterOpen",
                                 "AfterScroll"}));
  ds_->Next();
  EXPECT_EQ(Take(), QStringList({"BeforeScroll", "link:Scrolled(1)", "DataChange:-", "AfterScroll"}));
  ds_->Next();  // at the end already: no move, still the scroll events
  EXPECT_EQ(Take(), QStringList({"BeforeScroll", "AfterScroll"}));
  ds_->Close();
  EXPECT_EQ(Take(), QStringList({"BeforeClose", "link:ActiveChanged", "StateChange:inactive", "AfterClose"}));
}

TEST_F(EventOrderTest, EditAndPost) {
  ds_->Open();
  Take();
  ds_->Edit();
  EXPECT_EQ(Take(), QStringList({"BeforeEdit", "link:EditingChanged", "StateChange:edit",
                                 "link:RecordChanged(-)", "DataChange:-", "AfterEdit"}));
  ds_->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Ana Lima"));
  EXPECT_EQ(Take(), QStringList({"link:RecordChanged(nome)", "DataChange:nome"}));
  ds_->Post();
  EXPECT_EQ(Take(), QStringList({"link:UpdateData", "OnUpdateData", "BeforePost", "link:EditingChanged",
                                 "StateChange:browse", "link:RowChanged(0)", "DataChange:-", "AfterPost"}));
}

TEST_F(EventOrderTest, AppendOnNewRecordAndCancel) {
  ds_->Open();
  Take();
  ds_->Append();
  EXPECT_EQ(Take(), QStringList({"BeforeInsert", "BeforeScroll", "link:RowsInserted(2,1)", "DataChange:-",
                                 "link:EditingChanged", "StateChange:insert", "OnNewRecord", "AfterInsert",
                                 "AfterScroll"}));
  ds_->Cancel();
  EXPECT_EQ(Take(), QStringList({"BeforeCancel", "link:RowsRemoved(2,1)", "DataChange:-",
                                 "link:EditingChanged", "StateChange:browse", "AfterCancel"}));
  EXPECT_EQ(ds_->RecordCount(), 2);
  EXPECT_EQ(ds_->RecNo(), 2);
}

TEST_F(EventOrderTest, ScrollingAwayPostsAModifiedRowAndCancelsAnUntouchedOne) {
  ds_->Open();
  ds_->Append();
  ds_->First();  // nothing typed: the new row goes away
  EXPECT_EQ(ds_->RecordCount(), 2);
  ds_->Edit();
  ds_->FieldByName(QStringLiteral("nome"))->SetAsString(QStringLiteral("Ana B"));
  Take();
  ds_->Next();
  EXPECT_EQ(Take(),
            QStringList({"link:UpdateData", "OnUpdateData", "link:UpdateData", "OnUpdateData", "BeforePost",
                         "link:EditingChanged", "StateChange:browse", "link:RowChanged(0)", "DataChange:-",
                         "AfterPost", "BeforeScroll", "link:Scrolled(1)", "DataChange:-", "AfterScroll"}));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT nome FROM Clientes WHERE id = 1")), QStringLiteral("Ana B"));
}

TEST_F(EventOrderTest, DeleteAndAbortedDelete) {
  ds_->Open();
  ds_->BeforeDelete = [this](TDataSet&) {
    log_ << QStringLiteral("BeforeDelete");
    rtl::Abort();
  };
  Take();
  EXPECT_THROW(ds_->Delete(), EAbort);
  EXPECT_EQ(Take(), QStringList({"BeforeDelete"}));
  ds_->BeforeDelete = [this](TDataSet&) { log_ << QStringLiteral("BeforeDelete"); };
  ds_->Delete();
  EXPECT_EQ(Take(), QStringList({"BeforeDelete", "BeforeScroll", "link:RowsRemoved(0,1)", "DataChange:-",
                                 "AfterDelete", "AfterScroll"}));
}

TEST_F(EventOrderTest, BindingASourceToAnEditingDataSetReportsTheState) {
  ds_->Open();
  ds_->Edit();
  TDataSource late;
  QStringList states;
  late.OnStateChange = [&](TDataSource& s) { states << QString::fromLatin1(StateName(s.State())); };
  late.SetDataSet(ds_);
  EXPECT_EQ(states, QStringList({"edit"}));
  EXPECT_EQ(late.State(), dsEdit);
  ds_->FieldByName(QStringLiteral("nome"))->SetDisplayLabel(QStringLiteral("Nome"));
  EXPECT_TRUE(log_.contains(QStringLiteral("link:LayoutChanged")));
  late.SetAutoEdit(false);
  ds_->Cancel();
  late.Edit();
  EXPECT_EQ(ds_->State(), dsBrowse);  // AutoEdit off
  RecordingLink control(log_, QStringLiteral("edit"));
  control.SetDataSource(source_);
  EXPECT_TRUE(control.Edit());
  EXPECT_EQ(ds_->State(), dsEdit);
}
