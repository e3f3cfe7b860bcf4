#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/AppTitle.h"

namespace {

MessageBoxHandler& BoxHandler() {
  static MessageBoxHandler handler;
  return handler;
}

SaveDialogHandler& SaveHandler() {
  static SaveDialogHandler handler;
  return handler;
}

QMessageBox::Icon IconOf(int flags) {
  switch (flags & 0xF0) {
    case mb::ICONERROR:
      return QMessageBox::Critical;
    case mb::ICONQUESTION:
      return QMessageBox::Question;
    case mb::ICONWARNING:
      return QMessageBox::Warning;
    case mb::ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

struct BoxButton {
  QString text;
  QMessageBox::ButtonRole role;
  int answer;
};

// Buttons in screen order; the last one is what Esc answers.
QList<BoxButton> ButtonsOf(int flags) {
  switch (flags & 0x0F) {
    case mb::OKCANCEL:
      return {{QStringLiteral("OK"), QMessageBox::AcceptRole, id::OK},
              {QStringLiteral("Cancelar"), QMessageBox::RejectRole, id::CANCEL}};
    case mb::YESNO:
      return {{QStringLiteral("Sim"), QMessageBox::YesRole, id::YES},
              {QStringLiteral("Não"), QMessageBox::NoRole, id::NO}};
    default:
      return {{QStringLiteral("OK"), QMessageBox::AcceptRole, id::OK}};
  }
}

int RunRealBox(const QString& text, const QString& caption, int flags) {
  QMessageBox box(QApplication::activeWindow());
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setWindowTitle(caption);
  box.setText(text);
  box.setIcon(IconOf(flags));
  const QList<BoxButton> buttons = ButtonsOf(flags);
  QList<QPushButton*> pushButtons;
  for (const BoxButton& b : buttons) {
    QPushButton* button = box.addButton(b.text, b.role);
    button->setObjectName(QStringLiteral("MessageBoxButton") + QString::number(b.answer));
    button->setAccessibleDescription(button->objectName());
    pushButtons << button;
  }
  const bool secondDefault = (flags & mb::DEFBUTTON2) != 0 && pushButtons.size() > 1;
  box.setDefaultButton(pushButtons.at(secondDefault ? 1 : 0));
  box.setEscapeButton(pushButtons.last());
  box.exec();
  const int pressed = static_cast<int>(pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
  // A box closed by other means answers as Esc would.
  return buttons.at(pressed >= 0 ? pressed : buttons.size() - 1).answer;
}

QString ErrorText(const std::exception& error) {
  if (const auto* e = dynamic_cast<const Exception*>(&error)) return e->Message();
  return QString::fromUtf8(error.what());
}

// "Arquivo PDF|*.pdf|Todos|*.*" -> "Arquivo PDF (*.pdf);;Todos (*.*)"
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList qt;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts.at(i + 1);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    qt << parts.at(i) + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
  }
  if (parts.size() % 2 == 1 && !parts.last().isEmpty()) qt << parts.last();
  return qt.join(QStringLiteral(";;"));
}

QString BareExtension(const QString& defaultExt) {
  QString ext = defaultExt.trimmed();
  if (ext.startsWith(QLatin1Char('*'))) ext.remove(0, 1);
  if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  return ext;
}

QString CompleteExtension(const QString& path, const QString& defaultExt) {
  const QString ext = BareExtension(defaultExt);
  if (path.isEmpty() || ext.isEmpty()) return path;
  if (QFileInfo(path).fileName().contains(QLatin1Char('.'))) return path;
  return path + QLatin1Char('.') + ext;
}

QString RunRealSaveDialog(const SaveDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(),
                     request.Title.isEmpty() ? QStringLiteral("Salvar como") : request.Title);
  dialog.setObjectName(QStringLiteral("SaveDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!request.InitialDir.isEmpty()) dialog.setDirectory(request.InitialDir);
  if (!request.Filter.isEmpty()) dialog.setNameFilter(QtFilter(request.Filter));
  if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
  dialog.setDefaultSuffix(BareExtension(request.DefaultExt));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

}  // namespace

int MessageBox(const QString& text, const QString& caption, int flags) {
  if (BoxHandler()) return BoxHandler()(text, caption, flags);
  return RunRealBox(text, caption, flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(BoxHandler());
  BoxHandler() = std::move(handler);
  return previous;
}

void ShowException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  QString text = ErrorText(error);
  if (!text.isEmpty() && text.back() > QLatin1Char('.')) text += QLatin1Char('.');
  MessageBox(text, ui::ApplicationTitle(), mb::OK | mb::ICONERROR);
}

SaveDialogHandler SetSaveDialogHandler(SaveDialogHandler handler) {
  SaveDialogHandler previous = std::move(SaveHandler());
  SaveHandler() = std::move(handler);
  return previous;
}

QString RunSaveDialog(const SaveDialogRequest& request) {
  const QString chosen = SaveHandler() ? SaveHandler()(request) : RunRealSaveDialog(request);
  return CompleteExtension(chosen, request.DefaultExt);
}
