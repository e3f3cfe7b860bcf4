#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Exception;

// Message-box flags and answers, by their classic numeric values.
namespace mb {
constexpr int OK = 0x0;
constexpr int OKCANCEL = 0x1;
constexpr int YESNO = 0x4;
constexpr int ICONERROR = 0x10;
constexpr int ICONQUESTION = 0x20;
constexpr int ICONWARNING = 0x30;
constexpr int ICONINFORMATION = 0x40;
constexpr int DEFBUTTON2 = 0x100;
}  // namespace mb

namespace id {
constexpr int OK = 1;
constexpr int CANCEL = 2;
constexpr int YES = 6;
constexpr int NO = 7;
}  // namespace id

// Shows a modal message box and returns the button pressed (id::OK, id::YES, ...).
// Buttons read "OK", "Cancelar", "Sim", "Não".
int MessageBox(const QString& text, const QString& caption, int flags);

// Tests answer message boxes through a handler; it sees every call and returns the button.
using MessageBoxHandler = std::function<int(const QString& text, const QString& caption, int flags)>;
// Installs a handler; returns the previous one. An empty handler restores the real box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The application's report of an error that reached the event loop: the text with "."
// appended when its last character sorts above ".", captioned with the application
// title, error icon, OK. The silent abort shows nothing.
void ShowException(const std::exception& error);

// The save dialog, as a service tests can answer.
struct SaveDialogRequest {
  QString InitialDir;
  QString Filter;      // "Arquivo PDF|*.pdf": description and pattern joined by "|"
  QString DefaultExt;  // without the dot, or "*.pdf"
  QString FileName;    // proposed name
  QString Title;
};
// Returns the chosen full path, or an empty text when the user cancels.
using SaveDialogHandler = std::function<QString(const SaveDialogRequest& request)>;
SaveDialogHandler SetSaveDialogHandler(SaveDialogHandler handler);
QString RunSaveDialog(const SaveDialogRequest& request);
