#include "platform/ui/DBCheckBox.h"

#include <QSignalBlocker>

#include "platform/db/Field.h"
#include "platform/ui/EventGuard.h"

TcxDBCheckBox::TcxDBCheckBox(TComponent* owner, QWidget* parent)
    : QCheckBox(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)), TComponent(owner) {
  link_.OnDataChange = [this] { ShowField(); };
}

TcxDBCheckBox::~TcxDBCheckBox() {
  link_.OnDataChange = nullptr;
  link_.SetDataSource(nullptr);
}

void TcxDBCheckBox::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

void TcxDBCheckBox::SetDataSource(TDataSource* source) {
  link_.SetDataSource(source);
  ShowField();
}

void TcxDBCheckBox::SetDataField(const QString& fieldName) {
  link_.SetFieldName(fieldName);
  ShowField();
}

void TcxDBCheckBox::ShowField() {
  const TField* field = link_.Field();
  const QSignalBlocker blocker(this);
  setChecked(field != nullptr && !field->IsNull() && field->AsBoolean());
}

void TcxDBCheckBox::nextCheckState() {
  // Qt calls this from its own click handling: nothing may unwind through it.
  ui::RunHandler([this] {
    TField* field = link_.Field();
    if (field == nullptr || !link_.Edit()) return;
    const bool checked = !isChecked();
    field->SetAsBoolean(checked);
    setChecked(checked);
  });
  // What the field holds now, whether the write went through or not.
  ShowField();
}
