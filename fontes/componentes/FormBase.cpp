#include "fontes/componentes/FormBase.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Fonts.h"

void TDataSetMap::Add(const QString& key, TDataSet* dataSet) {
  if (items_.contains(key)) throw Exception(QStringLiteral("Duplicates not allowed"));
  items_.insert(key, dataSet);
  keys_.append(key);
}

bool TDataSetMap::TryGetValue(const QString& key, TDataSet*& dataSet) const {
  const auto found = items_.constFind(key);
  if (found == items_.constEnd()) return false;
  dataSet = found.value();
  return true;
}

void SetUniqueFormName(TForm& form, const QString& name) {
  QString candidate = name;
  for (int n = 1; form.Owner() != nullptr; ++n) {
    const TComponent* other = form.Owner()->FindComponent(candidate);
    if (other == nullptr || other == &form) break;
    candidate = QStringLiteral("%1_%2").arg(name).arg(n);
  }
  form.SetName(candidate);
}

TBaseForm::TBaseForm(TComponent* owner) : TForm(owner) {
  SetUniqueFormName(*this, QStringLiteral("BaseForm"));
  SetCaption(QStringLiteral("FormName"));
  SetClientSize(505, 231);
  SetColor(ButtonFaceColor());
  setFont(ui::WindowFont());
  OnClose = [this](TCloseAction& action) { FormClose(action); };
}

void TBaseForm::FormClose(TCloseAction& action) {
  action = caFree;
}

void TBaseForm::SetDataSet(const QString& ANomeDataSet, TDataSet* ADataSet) {
  Q_UNUSED(ADataSet);
  const QString name = rtl::Trim(ANomeDataSet);
  if (Controllers == nullptr || !Controllers->ContainsKey(name))
    rtl::AssertFailed(QStringLiteral("DataSet %1 não definido!").arg(name),
                      QStringLiteral("trunk\\fontes\\componentes\\FormBase"), 46);
}

QUORVEL_REGISTER_CLASS(TBaseForm)
