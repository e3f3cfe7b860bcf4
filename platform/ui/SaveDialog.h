#pragma once

#include <QString>

#include "platform/rtl/Component.h"

// The save dialog as a component: set the fields, call Execute. It goes through
// RunSaveDialog (Dialogs.h), so tests answer it with a save-dialog handler.
class TSaveDialog : public TComponent {
 public:
  explicit TSaveDialog(TComponent* owner) : TComponent(owner) {}

  QString ClassName() const override { return QStringLiteral("TSaveDialog"); }

  QString InitialDir;
  QString Filter;      // "Arquivo PDF|*.pdf"
  QString DefaultExt;  // "pdf"
  QString FileName;    // proposed name; the chosen full path after Execute
  QString Title;

  // True when the user confirms; FileName then holds the chosen path. An existing file
  // is not asked about.
  bool Execute();
};
