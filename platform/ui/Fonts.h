#pragma once

#include <QFont>
#include <QString>

// The faces the windows are designed in. Windows use Tahoma 8 pt, which Debian's
// fonts-wine ships outside fontconfig's folders; the splash uses Calibri, stood in for
// by its metric twin Carlito (fonts-crosextra-carlito). Without them Qt falls back
// quietly to the system sans.
namespace ui {

// Loads Tahoma when present and maps Calibri to Carlito. Safe to call repeatedly.
void InstallFonts();

// Makes Qt's own dialogs speak Brazilian Portuguese (qtbase_pt_BR). Returns whether a
// translation was found. Safe to call repeatedly.
bool InstallTranslations();

// A font given by a classic height: negative is the character height in pixels (no
// internal leading), positive the cell height.
QFont FontOfHeight(const QString& family, int height);

// Tahoma 8 pt: height -11.
QFont WindowFont();

}  // namespace ui
