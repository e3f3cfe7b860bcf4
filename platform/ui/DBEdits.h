#pragma once

#include <QColor>
#include <QLineEdit>
#include <QString>

#include "platform/rtl/Component.h"
#include "platform/rtl/Currency.h"
#include "platform/ui/FieldDataLink.h"

class TDataSource;
class TField;
class QValidator;

// An edit box bound to one field of the current row (DataSource + DataField).
//
// It shows the field's display text while it has no focus and its edit text while it
// has. The first keystroke puts the data set into edit state (AutoEdit); a box that
// cannot edit (read-only box or field, closed or read-only data set, AutoEdit off)
// refuses keystrokes. Leaving the box, or posting or moving the row, writes the text
// into the field; a value the field refuses is reported (ShowException) and the text
// stays, with the focus back in the box, for correction. Esc undoes the pending text;
// with nothing pending Esc is left to the window (its cancel button).
//
// Subclasses change how the value is shown and written (date, currency).
class TCustomDBEdit : public QLineEdit, public TComponent {
  Q_OBJECT

 public:
  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TCustomDBEdit(TComponent* owner, QWidget* parent = nullptr);
  ~TCustomDBEdit() override;

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source);
  const QString& DataField() const { return link_.FieldName(); }
  void SetDataField(const QString& fieldName);
  // The bound field, nullptr while the data set is closed.
  TField* Field() const { return link_.Field(); }

  // The box's own read-only flag; a read-only field makes it read-only too.
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool readOnly);
  QColor Color() const;
  void SetColor(const QColor& color);
  // A non-null character hides the text, showing that character for each one.
  QChar PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(QChar passwordChar);
  // 0 takes the field's size (text fields).
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);

  // Text typed and not yet written into the field.
  bool Modified() const { return link_.Modified(); }
  // Writes the pending text now, as leaving the box does; raises the field's refusal.
  void WriteField();

  void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

 protected:
  virtual QString DisplayValue(const TField& field) const;
  virtual QString EditValue(const TField& field) const;
  // Raises when the field refuses the text.
  virtual void WriteValue(TField& field, const QString& text);
  // A validator for the field's kind (owned by the box), or nullptr.
  virtual QValidator* CreateValidator(const TField& field);

  ui::TFieldDataLink& Link() { return link_; }
  // Shows the field again (display or edit text by focus), dropping pending text.
  void ShowField();
  // The user changed the text: edit state first (refused: the field is shown again).
  void UserEdited();

  void NameChanged() override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void FieldBound();
  void UpdateEditable();

  ui::TFieldDataLink link_;
  QChar passwordChar_;
  int maxLength_ = 0;
  bool reporting_ = false;
  QString autoAccessibleName_;
};

// The plain data-aware edit box.
class TDBEdit : public TCustomDBEdit {
  Q_OBJECT

 public:
  using TCustomDBEdit::TCustomDBEdit;
  QString ClassName() const override { return QStringLiteral("TDBEdit"); }
};

// The text box of the newer control set: the same behaviour, a little more inner room.
class TcxDBTextEdit : public TCustomDBEdit {
  Q_OBJECT

 public:
  explicit TcxDBTextEdit(TComponent* owner, QWidget* parent = nullptr);
  QString ClassName() const override { return QStringLiteral("TcxDBTextEdit"); }
};

// A date box: shows and edits the date alone in the locale's short date format
// (dd/mm/yyyy), keeps the stored time of day when the date changes, and an empty box
// stores null. The button inside it opens a calendar.
class TcxDBDateEdit : public TCustomDBEdit {
  Q_OBJECT

 public:
  explicit TcxDBDateEdit(TComponent* owner, QWidget* parent = nullptr);
  QString ClassName() const override { return QStringLiteral("TcxDBDateEdit"); }

  // Opens the calendar under the box (nothing when the box cannot edit).
  void DropDown();
  // Stores a date as a pick in the calendar does (null date: empties); raises.
  void PickDate(const QDate& date);

 protected:
  QString DisplayValue(const TField& field) const override;
  QString EditValue(const TField& field) const override;
  void WriteValue(TField& field, const QString& text) override;
  QValidator* CreateValidator(const TField& field) override;
};

// A currency box: shows the value with the locale's separators (DisplayFormat,
// ",0.00" by default), edits it as a plain number, refuses letters, writes a Currency.
class TcxDBCurrencyEdit : public TCustomDBEdit {
  Q_OBJECT

 public:
  explicit TcxDBCurrencyEdit(TComponent* owner, QWidget* parent = nullptr);
  QString ClassName() const override { return QStringLiteral("TcxDBCurrencyEdit"); }

  const QString& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format);

 protected:
  QString DisplayValue(const TField& field) const override;
  QString EditValue(const TField& field) const override;
  void WriteValue(TField& field, const QString& text) override;
  QValidator* CreateValidator(const TField& field) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString displayFormat_ = QStringLiteral(",0.00");
};
