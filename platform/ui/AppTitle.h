#pragma once

#include <QString>

// The application's title lives apart from the application object, so that error
// reports can be captioned before (or without) one.
namespace ui {

// The title derived from an executable path: the file name without its folder, cut
// before its first dot, every character after the first lower-cased.
QString TitleFromExecutable(const QString& executablePath);

// The title set at start-up, or the one derived from the running executable.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
// Forgets the set title, so the derived one applies again.
void ResetApplicationTitle();

}  // namespace ui
