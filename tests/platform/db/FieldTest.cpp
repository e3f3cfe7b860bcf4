#include <QDateTime>

#include "platform/rtl/Exceptions.h"
#include "tests/platform/db/DbFixture.h"

class FieldTest : public dbtest::DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    SeedOrders();
    ds_ = OpenQuery(QStringLiteral("SELECT * FROM ORDENSSERVICO WHERE ID = 2"));
  }
  TField* F(const char* name) { return ds_->FieldByName(QString::fromLatin1(name)); }
  TADODataSet* ds_ = nullptr;
};

TEST_F(FieldTest, DisplayFormatsFollowThePatternsAndTheLocale) {
  const struct {
    const char* field;
    const char* format;
    const char* invariant;
    const char* brazil;
  } cases[] = {
      {"id", "00000", "00002", "00002"},
      {"vlr_total", "#,##0.00", "1,234.57", "1.234,57"},
      {"vlr_total", ",0.00", "1,234.57", "1.234,57"},
      {"vlr_total", "", "1234.5678", "1234,5678"},
      {"dt_entrada", "dd/mm/yyyy", "01/04/2024", "01/04/2024"},
      {"cliente_id", "", "2", "2"},
  };
  for (const auto& c : cases) {
    TField* f = F(c.field);
    f->SetDisplayFormat(QString::fromLatin1(c.format));
    EXPECT_EQ(f->DisplayText(), QString::fromUtf8(c.invariant)) << c.field << " " << c.format;
    rtl::ScopedFormatSettings brazil(TFormatSettings::PtBR());
    EXPECT_EQ(f->DisplayText(), QString::fromUtf8(c.brazil)) << c.field << " " << c.format;
    EXPECT_EQ(ds_->DisplayTextAt(0, f->Index()), f->DisplayText());
  }
  EXPECT_EQ(F("status")->DisplayText(), QStringLiteral("False"));
  F("status")->SetDisplayValues(QStringLiteral("Sim;Não"));
  EXPECT_EQ(F("status")->DisplayText(), QStringLiteral("Não"));
  EXPECT_EQ(F("dt_saida")->DisplayText(), QString());
  // The edit text stays plain so that it reads back.
  F("vlr_total")->SetDisplayFormat(QStringLiteral("#,##0.00"));
  EXPECT_EQ(F("vlr_total")->Text(), QStringLiteral("1234.5678"));
  ds_->Edit();
  F("vlr_total")->SetText(F("vlr_total")->Text());
  F("status")->SetText(QStringLiteral("sim"));
  EXPECT_TRUE(F("status")->AsBoolean());
  EXPECT_EQ(F("vlr_total")->AsCurrency(), Currency::FromRaw(12345678));
}

TEST_F(FieldTest, SettingsDefaultByKind) {
  EXPECT_EQ(F("vlr_total")->Alignment(), taRightJustify);
  EXPECT_EQ(F("id")->Alignment(), taRightJustify);
  EXPECT_EQ(F("dt_entrada")->Alignment(), taLeftJustify);
  F("dt_entrada")->SetAlignment(taRightJustify);
  EXPECT_EQ(F("dt_entrada")->Alignment(), taRightJustify);
  EXPECT_EQ(F("cliente_id")->DisplayLabel(), QStringLiteral("cliente_id"));
  EXPECT_TRUE(F("cliente_id")->Visible());
  EXPECT_EQ(F("id")->ProviderFlags(), TProviderFlags(pfInUpdate | pfInWhere | pfInKey));
  EXPECT_EQ(F("cliente_id")->ProviderFlags(), TProviderFlags(pfInUpdate | pfInWhere));
  EXPECT_EQ(F("vlr_total")->Precision(), 19);
  EXPECT_TRUE(F("id")->IsNumeric());
  EXPECT_FALSE(F("dt_entrada")->IsNumeric());
}

TEST_F(FieldTest, ValuesConvertBetweenKinds) {
  EXPECT_EQ(F("vlr_total")->AsInteger(), 1235);
  EXPECT_EQ(F("vlr_total")->AsString(), QStringLiteral("1234.5678"));
  EXPECT_EQ(F("cliente_id")->AsFloat(), 2.0);
  EXPECT_EQ(F("cliente_id")->AsVariant().typeId(), QMetaType::Int);
  EXPECT_EQ(F("status")->AsVariant().typeId(), QMetaType::Bool);
  EXPECT_EQ(F("vlr_total")->AsVariant().toDouble(), 1234.5678);
  EXPECT_EQ(F("dt_entrada")->AsVariant().toDateTime(), QDateTime(QDate(2024, 4, 1), QTime(8, 0)));
  EXPECT_FALSE(F("dt_saida")->AsVariant().isValid());
  EXPECT_EQ(F("dt_saida")->AsInteger(), 0);
  EXPECT_EQ(F("dt_saida")->AsString(), QString());

  ds_->Edit();
  F("cliente_id")->SetAsVariant(QVariant());
  EXPECT_TRUE(F("cliente_id")->IsNull());
  F("cliente_id")->SetAsVariant(QStringLiteral(" 7"));
  EXPECT_EQ(F("cliente_id")->AsInteger(), 7);
  F("dt_saida")->SetAsVariant(QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)));
  EXPECT_EQ(F("dt_saida")->AsDateTime(), rtl::EncodeDate(2025, 1, 2) + rtl::EncodeTime(3, 4, 5, 0));
  F("vlr_total")->SetAsFloat(0.1 + 0.2);
  EXPECT_EQ(F("vlr_total")->AsCurrency(), Currency::FromRaw(3000));
  EXPECT_THROW(F("status")->SetAsString(QStringLiteral("talvez")), EConvertError);
  EXPECT_THROW(F("dt_saida")->SetAsString(QStringLiteral("ontem")), EConvertError);
  ds_->Post();
  EXPECT_EQ(Scalar(QStringLiteral(
                "SELECT vlr_total || '|' || cliente_id || '|' || dt_saida FROM OrdensServico WHERE id = 2")),
            QStringLiteral("0.3|7|2025-01-02 03:04:05"));
}
