#include "platform/ui/RecordActions.h"

#include "platform/db/DataSet.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Localizer.h"

namespace ui {

QString DeleteRecordQuestion() {
  return Localizer::Text(loc::DeleteRecordQuestion, QStringLiteral("Delete record?"));
}

bool ConfirmRecordDelete() {
  return MessageBox(DeleteRecordQuestion(), QStringLiteral("Confirmação"), mb::OKCANCEL | mb::ICONQUESTION) !=
         id::CANCEL;
}

void DeleteCurrentRecord(TDataSet& dataSet, bool confirm) {
  if (!dataSet.Active() || dataSet.IsEmpty()) return;
  if (confirm && !ConfirmRecordDelete()) return;
  dataSet.Delete();
}

}  // namespace ui
