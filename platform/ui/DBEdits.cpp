#include "platform/ui/DBEdits.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ControlPictures.h"
#include "platform/ui/EventGuard.h"
#include "platform/ui/Localizer.h"

namespace {

// Qt takes the password character from the style; this one answers the box's own.
class PasswordCharStyle : public QProxyStyle {
 public:
  explicit PasswordCharStyle(QChar passwordChar) : passwordChar_(passwordChar) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_LineEdit_PasswordCharacter) return passwordChar_.unicode();
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

 private:
  QChar passwordChar_;
};

QString Escaped(QChar c) {
  return QRegularExpression::escape(QString(c));
}

QValidator* PatternValidator(const QString& pattern, QObject* parent) {
  return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

QString ShortDate(TDateTime value) {
  return rtl::FormatDateTime(rtl::FormatSettings().ShortDateFormat, value);
}

}  // namespace

// --- TCustomDBEdit ---------------------------------------------------------------------

TCustomDBEdit::TCustomDBEdit(TComponent* owner, QWidget* parent)
    : QLineEdit(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)), TComponent(owner) {
  link_.OnDataChange = [this] { ShowField(); };
  link_.OnActiveChange = [this] { FieldBound(); };
  link_.OnEditingChange = [this] { UpdateEditable(); };
  link_.OnUpdateData = [this] {
    TField* field = link_.Field();
    if (field == nullptr) return;
    // A pending text outlives an edit state cancelled elsewhere only to be dropped.
    if (!link_.Editing() && !link_.Edit()) return;
    WriteValue(*field, text());
  };
  connect(this, &QLineEdit::textEdited, this, [this] { UserEdited(); });
  UpdateEditable();
}

TCustomDBEdit::~TCustomDBEdit() {
  link_.OnDataChange = nullptr;
  link_.OnActiveChange = nullptr;
  link_.OnEditingChange = nullptr;
  link_.OnUpdateData = nullptr;
  link_.SetDataSource(nullptr);
}

void TCustomDBEdit::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

void TCustomDBEdit::SetDataSource(TDataSource* source) {
  link_.SetDataSource(source);
  FieldBound();
  ShowField();
}

void TCustomDBEdit::SetDataField(const QString& fieldName) {
  link_.SetFieldName(fieldName);
  FieldBound();
  ShowField();
}

void TCustomDBEdit::SetReadOnly(bool readOnly) {
  link_.SetReadOnly(readOnly);
  UpdateEditable();
}

QColor TCustomDBEdit::Color() const {
  return palette().color(QPalette::Base);
}

void TCustomDBEdit::SetColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Base, color);
  setPalette(p);
}

void TCustomDBEdit::SetPasswordChar(QChar passwordChar) {
  passwordChar_ = passwordChar;
  if (passwordChar.isNull()) {
    setEchoMode(QLineEdit::Normal);
    setStyle(nullptr);
    return;
  }
  auto* passwordStyle = new PasswordCharStyle(passwordChar);
  passwordStyle->setParent(this);
  setStyle(passwordStyle);
  setEchoMode(QLineEdit::Password);
}

void TCustomDBEdit::SetMaxLength(int maxLength) {
  maxLength_ = maxLength < 0 ? 0 : maxLength;
  FieldBound();
}

void TCustomDBEdit::WriteField() {
  link_.WritePending();
  ShowField();
}

QString TCustomDBEdit::DisplayValue(const TField& field) const {
  return field.DisplayText();
}

QString TCustomDBEdit::EditValue(const TField& field) const {
  return field.Text();
}

void TCustomDBEdit::WriteValue(TField& field, const QString& text) {
  field.SetText(text);
}

QValidator* TCustomDBEdit::CreateValidator(const TField& field) {
  const QString sign = QStringLiteral("-?");
  switch (field.DataType()) {
    case ftInteger:
    case ftAutoInc:
      return PatternValidator(sign + QStringLiteral("\\d*"), this);
    case ftFloat:
    case ftBCD:
      return PatternValidator(
          sign + QStringLiteral("\\d*(%1\\d*)?").arg(Escaped(rtl::FormatSettings().DecimalSeparator)), this);
    default:
      return nullptr;
  }
}

void TCustomDBEdit::FieldBound() {
  const TField* field = link_.Field();
  QValidator* old = const_cast<QValidator*>(validator());
  setValidator(field != nullptr ? CreateValidator(*field) : nullptr);
  delete old;
  int length = maxLength_;
  if (length == 0 && field != nullptr && field->DataType() == ftWideString) length = field->Size();
  setMaxLength(length > 0 ? length : 32767);
  // Until the window names the box after its label, the field's label names it.
  if (field != nullptr && (accessibleName().isEmpty() || accessibleName() == autoAccessibleName_)) {
    autoAccessibleName_ = field->DisplayLabel();
    setAccessibleName(autoAccessibleName_);
  }
  UpdateEditable();
}

void TCustomDBEdit::UpdateEditable() {
  QLineEdit::setReadOnly(!link_.CanModify());
}

void TCustomDBEdit::ShowField() {
  const TField* field = link_.Field();
  QString shown;
  if (field != nullptr) shown = hasFocus() ? EditValue(*field) : DisplayValue(*field);
  if (text() != shown) {
    setText(shown);
    // A box without the focus shows the start of a long text, not its end.
    if (!hasFocus()) setCursorPosition(0);
  }
  setModified(false);
  UpdateEditable();
}

void TCustomDBEdit::UserEdited() {
  if (!link_.Editing()) {
    const QString typed = text();
    const int cursor = cursorPosition();
    bool editing = false;
    reporting_ = true;
    ui::RunHandler([&] { editing = link_.Edit(); });
    reporting_ = false;
    if (!editing) {
      ShowField();
      return;
    }
    // Entering edit state shows the row again; the keystroke is kept.
    if (text() != typed) {
      setText(typed);
      setCursorPosition(cursor);
    }
  }
  link_.SetModified();
}

void TCustomDBEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (!link_.Modified()) {
      event->ignore();
      return;
    }
    link_.Reset();
    selectAll();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TCustomDBEdit::focusInEvent(QFocusEvent* event) {
  if (!link_.Modified()) ShowField();
  QLineEdit::focusInEvent(event);
}

void TCustomDBEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window (the error box itself, a menu) taking the focus is no leaving.
  const Qt::FocusReason reason = event->reason();
  if (reporting_ || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  bool written = false;
  reporting_ = true;
  try {
    link_.WritePending();
    written = true;
  } catch (...) {
    ui::ReportCurrentException();
  }
  reporting_ = false;
  if (written) {
    ShowField();
    return;
  }
  // The refused text stays for correction, with the focus back in the box.
  selectAll();
  QPointer<TCustomDBEdit> self(this);
  QTimer::singleShot(0, this, [self] {
    if (self) self->setFocus(Qt::OtherFocusReason);
  });
}

// --- TcxDBTextEdit -----------------------------------------------------------------------

TcxDBTextEdit::TcxDBTextEdit(TComponent* owner, QWidget* parent) : TCustomDBEdit(owner, parent) {
  // A little more room around the text than the classic box.
  setTextMargins(2, 0, 2, 0);
}

// --- TcxDBDateEdit -----------------------------------------------------------------------

TcxDBDateEdit::TcxDBDateEdit(TComponent* owner, QWidget* parent) : TCustomDBEdit(owner, parent) {
  QAction* button = addAction(ui::ControlPicture(QStringLiteral("date-popup")), QLineEdit::TrailingPosition);
  button->setObjectName(QStringLiteral("DateEditButton"));
  connect(button, &QAction::triggered, this, ui::Guarded([this] { DropDown(); }));
}

QString TcxDBDateEdit::DisplayValue(const TField& field) const {
  return field.IsNull() ? QString() : ShortDate(field.AsDateTime());
}

QString TcxDBDateEdit::EditValue(const TField& field) const {
  return DisplayValue(field);
}

void TcxDBDateEdit::WriteValue(TField& field, const QString& text) {
  const QString trimmed = rtl::Trim(text);
  if (trimmed.isEmpty()) return field.Clear();
  TDateTime date = 0;
  if (!rtl::TryStrToDate(trimmed, date))
    throw EConvertError(QStringLiteral("'%1' não é uma data válida").arg(trimmed));
  // Only the date changes: the stored time of day stays.
  TDateTime timeOfDay = 0;
  if (!field.IsNull()) {
    int hour = 0, minute = 0, second = 0, msec = 0;
    rtl::DecodeTime(field.AsDateTime(), hour, minute, second, msec);
    timeOfDay = rtl::EncodeTime(hour, minute, second, msec);
  }
  field.SetAsDateTime(rtl::ComposeDateTime(date, timeOfDay));
}

QValidator* TcxDBDateEdit::CreateValidator(const TField& /*field*/) {
  return PatternValidator(QStringLiteral("[\\d%1]{0,10}").arg(Escaped(rtl::FormatSettings().DateSeparator)),
                          this);
}

void TcxDBDateEdit::PickDate(const QDate& date) {
  if (!Link().Edit()) return;
  setText(date.isValid() ? ShortDate(rtl::EncodeDate(date.year(), date.month(), date.day())) : QString());
  Link().SetModified();
  WriteField();
}

void TcxDBDateEdit::DropDown() {
  if (!Link().CanModify()) return;
  auto* popup = new QFrame(this, Qt::Popup);
  popup->setObjectName(QStringLiteral("DateEditPopup"));
  popup->setAttribute(Qt::WA_DeleteOnClose);
  popup->setFrameShape(QFrame::Box);
  auto* calendar = new QCalendarWidget(popup);
  calendar->setObjectName(QStringLiteral("DateEditCalendar"));
  calendar->setGridVisible(true);
  if (const TField* field = Field(); field != nullptr && !field->IsNull())
    calendar->setSelectedDate(rtl::ToQDateTime(field->AsDateTime()).date());
  auto* today = new QPushButton(Localizer::Text(loc::DateEditToday, QStringLiteral("Today")), popup);
  today->setObjectName(QStringLiteral("DateEditToday"));
  auto* clear = new QPushButton(Localizer::Text(loc::DateEditClear, QStringLiteral("Clear")), popup);
  clear->setObjectName(QStringLiteral("DateEditClear"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(today);
  buttons->addWidget(clear);
  auto* layout = new QVBoxLayout(popup);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(calendar);
  layout->addLayout(buttons);
  const auto pick = [this, popup](const QDate& date) {
    popup->close();
    PickDate(date);
  };
  connect(calendar, &QCalendarWidget::clicked, this, ui::Guarded([pick](QDate date) { pick(date); }));
  connect(today, &QPushButton::clicked, this, ui::Guarded([pick] { pick(rtl::CurrentDateTime().date()); }));
  connect(clear, &QPushButton::clicked, this, ui::Guarded([pick] { pick(QDate()); }));
  popup->move(mapToGlobal(rect().bottomLeft()));
  popup->show();
}

// --- TcxDBCurrencyEdit -------------------------------------------------------------------

TcxDBCurrencyEdit::TcxDBCurrencyEdit(TComponent* owner, QWidget* parent) : TCustomDBEdit(owner, parent) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TcxDBCurrencyEdit::SetDisplayFormat(const QString& format) {
  displayFormat_ = format;
  ShowField();
}

QString TcxDBCurrencyEdit::DisplayValue(const TField& field) const {
  return field.IsNull() ? QString() : rtl::FormatCurr(displayFormat_, field.AsCurrency());
}

QString TcxDBCurrencyEdit::EditValue(const TField& field) const {
  return field.IsNull() ? QString() : rtl::CurrToStr(field.AsCurrency());
}

void TcxDBCurrencyEdit::WriteValue(TField& field, const QString& text) {
  const QString trimmed = rtl::Trim(text);
  if (trimmed.isEmpty()) return field.Clear();
  Currency value;
  if (!rtl::TryStrToCurr(trimmed, value))
    throw EConvertError(QStringLiteral("'%1' não é um valor válido").arg(trimmed));
  field.SetAsCurrency(value);
}

QValidator* TcxDBCurrencyEdit::CreateValidator(const TField& /*field*/) {
  return PatternValidator(
      QStringLiteral("-?\\d{0,15}(%1\\d{0,4})?").arg(Escaped(rtl::FormatSettings().DecimalSeparator)), this);
}

void TcxDBCurrencyEdit::keyPressEvent(QKeyEvent* event) {
  // The keypad's decimal key types the locale's separator, whatever it prints.
  const QString typed = event->text();
  if ((event->modifiers() & Qt::KeypadModifier) != 0 &&
      (typed == QLatin1String(".") || typed == QLatin1String(","))) {
    QKeyEvent separator(event->type(), event->key(), event->modifiers(),
                        QString(rtl::FormatSettings().DecimalSeparator));
    TCustomDBEdit::keyPressEvent(&separator);
    event->setAccepted(separator.isAccepted());
    return;
  }
  TCustomDBEdit::keyPressEvent(event);
}
