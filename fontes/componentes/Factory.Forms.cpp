#include "fontes/componentes/Factory.Forms.h"

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"

namespace {

const QString kUnit = QStringLiteral("trunk\\fontes\\componentes\\Factory.Forms");

[[noreturn]] void ClassNotFound(int line) {
  rtl::AssertFailed(QStringLiteral("Classe não encontrada possívelmente por:\r\n"
                                   "- Classe não foi registrada.\r\n"
                                   "Mesma não existe no projeto"),
                    kUnit, line);
}

// The map can only be handed to a TBaseForm; any other window class is refused before
// one is built, instead of being treated as one.
void CheckIsBaseForm(const TFormClass& formClass) {
  for (const TFormClass* c = &formClass; c != nullptr; c = GetClass(c->ParentName()))
    if (c->ClassName() == TBaseForm::StaticClassName()) return;
  throw EComponentError(QStringLiteral("A classe %1 não descende de %2")
                            .arg(formClass.ClassName(), TBaseForm::StaticClassName()));
}

TBaseForm* CreateBaseForm(const QString& formName, TDataSetMap* controllers) {
  const TFormClass& formClass = FindClass(formName);
  CheckIsBaseForm(formClass);
  auto* form = static_cast<TBaseForm*>(formClass.Create(Application));
  form->Controllers = controllers;
  return form;
}

}  // namespace

void TFactoryForms::View(const QString& AFormName, TDataSetMap* AControllers) {
  try {
    CreateBaseForm(AFormName, AControllers)->Show();
  } catch (const EClassNotFound&) {
    ClassNotFound(58);
  }
}

int TFactoryForms::ViewModal(const QString& AFormName, TDataSetMap* AControllers) {
  try {
    return CreateBaseForm(AFormName, AControllers)->ShowModal();
  } catch (const EClassNotFound&) {
    ClassNotFound(83);
  }
}
