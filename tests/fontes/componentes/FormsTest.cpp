#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "fontes/componentes/Factory.Forms.h"
#include "fontes/componentes/FormBase.h"
#include "platform/db/ADODataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

// Records the map it finds when shown; in a modal run it closes itself right away.
class TfMapaTeste : public TBaseForm {
  QUORVEL_FORM_CLASS(TfMapaTeste, TBaseForm)

 public:
  explicit TfMapaTeste(TComponent* owner) : TBaseForm(owner) {
    ++created;
    SetCaption(QStringLiteral("Mapa"));
    OnShow = [this] {
      mapOnShow = Controllers;
      if (IsModal()) QTimer::singleShot(0, this, [this] { SetModalResult(mrOk); });
    };
  }
  ~TfMapaTeste() override { ++destroyed; }

  static inline int created = 0;
  static inline int destroyed = 0;
  static inline TDataSetMap* mapOnShow = nullptr;
};

// A registered window that is not a TBaseForm.
class TfSimplesTeste : public TForm {
  QUORVEL_FORM_CLASS(TfSimplesTeste, TForm)

 public:
  explicit TfSimplesTeste(TComponent* owner) : TForm(owner) { ++created; }
  static inline int created = 0;
};

}  // namespace

QUORVEL_REGISTER_CLASS(TfMapaTeste)
QUORVEL_REGISTER_CLASS(TfSimplesTeste)

namespace {

const QString kNotFound = QStringLiteral(
    "Classe não encontrada possívelmente por:\r\n- Classe não foi registrada.\r\nMesma não existe no projeto "
    "(trunk\\fontes\\componentes\\Factory.Forms, line %1)");

class FactoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TfMapaTeste::created = TfMapaTeste::destroyed = 0;
    TfMapaTeste::mapOnShow = nullptr;
  }
  void TearDown() override { uitest::ProcessDeferredDeletes(); }

  TApplication app;
  TFactoryForms factory{&app};
  TDataSetMap map;
};

TEST_F(FactoryTest, OpensARegisteredNameInAnyLetterCaseWithTheMap) {
  for (const char* name : {"TfMapaTeste", "tfmapateste", "TFMAPATESTE"}) {
    TfMapaTeste::mapOnShow = nullptr;
    EXPECT_EQ(factory.ViewModal(QString::fromLatin1(name), &map), mrOk) << name;
    EXPECT_EQ(TfMapaTeste::mapOnShow, &map) << "map set before the window is shown: " << name;
  }
  EXPECT_EQ(TfMapaTeste::created, 3) << "each call works on a new window";

  factory.View(QStringLiteral("tfMAPAteste"), &map);
  EXPECT_EQ(TfMapaTeste::mapOnShow, &map);
  TfMapaTeste* modeless = nullptr;
  for (int i = 0; i < app.ComponentCount(); ++i)
    if (auto* w = dynamic_cast<TfMapaTeste*>(app.Component(i)); w != nullptr && w->isVisible()) modeless = w;
  ASSERT_NE(modeless, nullptr) << "owned by the application and visible";
  EXPECT_FALSE(modeless->IsModal());
  EXPECT_EQ(modeless->Controllers, &map);
}

TEST_F(FactoryTest, UnknownNameIsAnAssertionAndCreatesNoWindow) {
  const int before = app.ComponentCount();
  struct Case {
    std::function<void()> call;
    int line;
  } cases[] = {
      {[&] { factory.View(QStringLiteral("TfNaoExiste"), &map); }, 58},
      {[&] { factory.ViewModal(QStringLiteral("TfNaoExiste"), &map); }, 83},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << "no error for line " << c.line;
    } catch (const EAssertionFailed& e) {
      EXPECT_EQ(e.Message(), kNotFound.arg(c.line));
    }
  }
  EXPECT_EQ(app.ComponentCount(), before);
}

TEST_F(FactoryTest, BaseFormOpensABareWindow) {
  factory.View(QStringLiteral("TBaseForm"), &map);
  ASSERT_EQ(app.ComponentCount(), 2);  // the factory and the window
  auto* bare = dynamic_cast<TBaseForm*>(app.Component(1));
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->ClassName(), QStringLiteral("TBaseForm"));
  EXPECT_EQ(bare->Caption(), QStringLiteral("FormName"));
  EXPECT_EQ(bare->size(), QSize(505, 231));
  EXPECT_EQ(bare->font().pixelSize(), 11);
  EXPECT_EQ(bare->objectName(), QStringLiteral("BaseForm"));
  EXPECT_TRUE(bare->isVisible());
  EXPECT_EQ(bare->Controllers, &map);

  // A second one gets a name of its own instead of a clash.
  factory.View(QStringLiteral("tbaseform"), &map);
  EXPECT_EQ(app.ComponentCount(), 3);
  EXPECT_EQ(dynamic_cast<TBaseForm*>(app.Component(2))->objectName(), QStringLiteral("BaseForm_1"));
}

TEST_F(FactoryTest, ClosingAModalWindowByItsCloseBoxGivesCancelAndDestroysIt) {
  for (int run = 1; run <= 2; ++run) {
    QPointer<TBaseForm> seen;
    uitest::WhenShown<TBaseForm>([&](TBaseForm* form) {
      seen = form;
      form->close();  // the close box
    });
    EXPECT_EQ(factory.ViewModal(QStringLiteral("TBaseForm"), &map), mrCancel);
    ASSERT_FALSE(seen.isNull());
    EXPECT_FALSE(seen->isVisible());
    uitest::ProcessDeferredDeletes();
    EXPECT_TRUE(seen.isNull()) << "freed by its close handler, run " << run;
  }
  EXPECT_EQ(app.ComponentCount(), 1);
}

TEST_F(FactoryTest, AWindowThatIsNoBaseFormIsRefusedUnbuilt) {
  TfSimplesTeste::created = 0;
  EXPECT_THROW(factory.View(QStringLiteral("TfSimplesTeste"), &map), EComponentError);
  EXPECT_THROW(factory.ViewModal(QStringLiteral("TfSimplesTeste"), &map), EComponentError);
  EXPECT_EQ(TfSimplesTeste::created, 0);
}

TEST_F(FactoryTest, OperacaoIsOneByteAndStartsAtInsert) {
  static_assert(sizeof(TOperacao) == 1);
  EXPECT_EQ(int(ftInsert), 0);
  EXPECT_EQ(int(ftEdit), 1);
  EXPECT_EQ(int(ftBrowser), 2);
  EXPECT_EQ(factory.GetOperacao(), ftInsert);
  factory.SetOperacao(ftBrowser);
  EXPECT_EQ(factory.GetOperacao(), ftBrowser);
}

TEST(DataSetMapTest, KeysAreExactAndTakenOnce) {
  TADODataSet a, b;
  TDataSetMap map;
  map.Add(QStringLiteral("dsClientes"), &a);
  map.Add(QStringLiteral(" dsClientes"), &b);  // blanks are kept
  EXPECT_THROW(map.Add(QStringLiteral("dsClientes"), &b), Exception);
  map.Add(QStringLiteral("dsclientes"), &b);

  TDataSet* found = nullptr;
  EXPECT_TRUE(map.TryGetValue(QStringLiteral("dsClientes"), found));
  EXPECT_EQ(found, &a);
  EXPECT_FALSE(map.TryGetValue(QStringLiteral("DSCLIENTES"), found));
  EXPECT_EQ(found, &a) << "untouched when missing";
  EXPECT_EQ(map.Keys(), (QStringList{"dsClientes", " dsClientes", "dsclientes"}));
  EXPECT_EQ(map.Count(), 3);
}

TEST(BaseFormTest, SetDataSetFindsTheTrimmedNameOrFailsNamingIt) {
  TApplication app;
  TADODataSet ds;
  TDataSetMap map;
  map.Add(QStringLiteral("dsClientes"), &ds);
  auto* form = CreateForm<TBaseForm>(&app);
  form->Controllers = &map;

  for (const char* name : {"dsClientes", "  dsClientes ", "\tdsClientes\r\n"})
    EXPECT_NO_THROW(form->SetDataSet(QString::fromLatin1(name), nullptr)) << name;

  struct Case {
    const char* given;
    const char* named;
  } failures[] = {{"dsclientes", "dsclientes"}, {"  dsOutro\t", "dsOutro"}, {"", ""}};
  for (const Case& c : failures) {
    try {
      form->SetDataSet(QString::fromLatin1(c.given), &ds);
      ADD_FAILURE() << c.given;
    } catch (const EAssertionFailed& e) {
      EXPECT_EQ(e.Message(),
                QStringLiteral("DataSet %1 não definido! (trunk\\fontes\\componentes\\FormBase, line 46)")
                    .arg(QString::fromLatin1(c.named)));
    }
  }
  form->Controllers = nullptr;
  EXPECT_THROW(form->SetDataSet(QStringLiteral("dsClientes"), &ds), EAssertionFailed);
}

TEST(BaseFormTest, ClosingAModelessWindowFreesIt) {
  TApplication app;
  QPointer<TBaseForm> form = CreateForm<TBaseForm>(&app);
  form->Show();
  form->Close();
  EXPECT_FALSE(form->isVisible());
  uitest::ProcessDeferredDeletes();
  EXPECT_TRUE(form.isNull());
}

}  // namespace
