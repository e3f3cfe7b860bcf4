#include "platform/ui/SaveDialog.h"

#include "platform/ui/Dialogs.h"

bool TSaveDialog::Execute() {
  const QString chosen = RunSaveDialog({InitialDir, Filter, DefaultExt, FileName, Title});
  if (chosen.isEmpty()) return false;
  FileName = chosen;
  return true;
}
