#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/ClassRegistry.h"

namespace {

class TfBaseTeste : public TForm {
  QUORVEL_FORM_CLASS(TfBaseTeste, TForm)

 public:
  explicit TfBaseTeste(TComponent* owner) : TForm(owner) {
    SetCaption(QStringLiteral("FormName"));
    OnCreate = [this] { ++creates; };
  }
  int creates = 0;
};

class TfFilhoTeste : public TfBaseTeste {
  QUORVEL_FORM_CLASS(TfFilhoTeste, TfBaseTeste)

 public:
  explicit TfFilhoTeste(TComponent* owner) : TfBaseTeste(owner) { SetCaption(QStringLiteral("Filho")); }
};

}  // namespace

QUORVEL_REGISTER_CLASS(TfFilhoTeste)
QUORVEL_REQUIRE_CLASS(TfFilhoTeste);

namespace {

TEST(ClassRegistryTest, RegisteringAClassEntersItsAncestors) {
  EXPECT_EQ(FindClass(QStringLiteral("TfFilhoTeste")).ParentName(), QStringLiteral("TfBaseTeste"));
  EXPECT_EQ(FindClass(QStringLiteral("TfBaseTeste")).ParentName(), QStringLiteral("TForm"));
  EXPECT_EQ(FindClass(QStringLiteral("TForm")).ParentName(), QString());
}

TEST(ClassRegistryTest, LookupIgnoresLetterCase) {
  for (const char* name : {"TfFilhoTeste", "tffilhoteste", "TFFILHOTESTE"})
    EXPECT_EQ(FindClass(QString::fromLatin1(name)).ClassName(), QStringLiteral("TfFilhoTeste")) << name;
}

TEST(ClassRegistryTest, CreatingRunsTheClassOwnConstructorAndCreationHandler) {
  TApplication app;
  TForm* form = FindClass(QStringLiteral("tffilhoteste")).Create(&app);
  auto* child = dynamic_cast<TfFilhoTeste*>(form);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->Caption(), QStringLiteral("Filho")) << "descendant design overrides the ancestor's";
  EXPECT_EQ(child->creates, 1);
  EXPECT_EQ(child->Owner(), &app);
  EXPECT_EQ(child->ClassName(), QStringLiteral("TfFilhoTeste"));

  TForm* base = FindClass(QStringLiteral("TFBASETESTE")).Create(&app);
  EXPECT_EQ(base->ClassName(), QStringLiteral("TfBaseTeste"));
  EXPECT_EQ(base->Caption(), QStringLiteral("FormName"));
}

TEST(ClassRegistryTest, UnknownNameRaisesClassNotFound) {
  EXPECT_EQ(GetClass(QStringLiteral("TfNaoExiste")), nullptr);
  try {
    FindClass(QStringLiteral("TfNaoExiste"));
    FAIL() << "expected EClassNotFound";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Class TfNaoExiste not found"));
  }
}

TEST(ClassRegistryTest, SameClassTwiceIsHarmlessButANameClashIsRefused) {
  RegisterClass<TfFilhoTeste>();
  EXPECT_THROW(RegisterFormClass(QStringLiteral("tfFILHOteste"), QStringLiteral("TForm"),
                                 std::type_index(typeid(int)), [](TComponent* o) { return new TForm(o); }),
               EComponentError);
  EXPECT_EQ(FindClass(QStringLiteral("TfFilhoTeste")).Type(), std::type_index(typeid(TfFilhoTeste)));
}

}  // namespace
