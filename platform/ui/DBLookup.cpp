#include "platform/ui/DBLookup.h"

#include <QAbstractListModel>
#include <QCompleter>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/ui/EventGuard.h"

namespace ui {

namespace {

bool KeysEqual(const QVariant& a, const QVariant& b) {
  if (!a.isValid() || !b.isValid()) return a.isValid() == b.isValid();
  bool aNumber = false, bNumber = false;
  const qlonglong x = a.toLongLong(&aNumber);
  const qlonglong y = b.toLongLong(&bNumber);
  if (aNumber && bNumber) return x == y;
  return a.toString() == b.toString();
}

}  // namespace

// The rows of the list source as names (display) and keys (Qt::UserRole), read
// without moving the list's cursor.
class LookupListModel : public QAbstractListModel {
 public:
  explicit LookupListModel(QObject* parent) : QAbstractListModel(parent), link_(*this) {}
  ~LookupListModel() override { link_.SetDataSource(nullptr); }

  TDataSource* Source() const { return link_.DataSource(); }
  void SetSource(TDataSource* source) {
    link_.SetDataSource(source);
    Reload();
  }
  const QString& KeyField() const { return keyField_; }
  const QString& ListField() const { return listField_; }
  void SetFields(const QString& keyField, const QString& listField) {
    keyField_ = keyField;
    listField_ = listField;
    Reload();
  }

  QVariant KeyAt(int row) const {
    const TDataSet* ds = DataSet();
    if (ds == nullptr || key_ == nullptr || row < 0 || row >= rows_) return {};
    return ds->ValueAt(row, key_->Index());
  }

  int RowOfKey(const QVariant& key) const {
    if (!key.isValid() || key_ == nullptr) return -1;
    if (!indexed_) {
      byKey_.clear();
      for (int row = rows_ - 1; row >= 0; --row) byKey_.insert(KeyText(KeyAt(row)), row);
      indexed_ = true;
    }
    return byKey_.value(KeyText(key), -1);
  }

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }

  QVariant data(const QModelIndex& index, int role) const override {
    const TDataSet* ds = DataSet();
    if (ds == nullptr || list_ == nullptr || index.row() < 0 || index.row() >= rows_) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
      return ds->DisplayTextAt(index.row(), list_->Index());
    if (role == Qt::UserRole) return KeyAt(index.row());
    return {};
  }

 private:
  class Link : public TDataLink {
   public:
    explicit Link(LookupListModel& model) : model_(model) {}

   protected:
    void ActiveChanged() override { model_.Reload(); }
    void DataSetChanged() override { model_.Reload(); }
    // The list's own cursor plays no part.
    void DataSetScrolled(int /*distance*/) override {}

   private:
    LookupListModel& model_;
  };

  static QString KeyText(const QVariant& key) {
    bool number = false;
    const qlonglong value = key.toLongLong(&number);
    return number ? QString::number(value) : key.toString();
  }

  TDataSet* DataSet() const { return link_.Active() ? link_.DataSet() : nullptr; }

  void Reload() {
    // A misnamed field is a mistake of the window: said at once, with an empty list.
    TField* key = nullptr;
    TField* list = nullptr;
    QString missing;
    if (TDataSet* ds = DataSet()) {
      key = keyField_.isEmpty() ? nullptr : ds->FindField(keyField_);
      list = listField_.isEmpty() ? nullptr : ds->FindField(listField_);
      if (!keyField_.isEmpty() && key == nullptr) missing = keyField_;
      if (!listField_.isEmpty() && list == nullptr) missing = listField_;
    }
    beginResetModel();
    key_ = missing.isEmpty() ? key : nullptr;
    list_ = missing.isEmpty() ? list : nullptr;
    const TDataSet* ds = DataSet();
    rows_ = (ds != nullptr && key_ != nullptr && list_ != nullptr) ? ds->RecordCount() : 0;
    indexed_ = false;
    endResetModel();
    if (!missing.isEmpty()) DataSet()->FieldByName(missing);
  }

  Link link_;
  QString keyField_;
  QString listField_;
  TField* key_ = nullptr;
  TField* list_ = nullptr;
  int rows_ = 0;
  mutable bool indexed_ = false;
  mutable QHash<QString, int> byKey_;
};

}  // namespace ui

TDBLookupComboBox::TDBLookupComboBox(TComponent* owner, QWidget* parent)
    : QComboBox(parent != nullptr ? parent : dynamic_cast<QWidget*>(owner)),
      TComponent(owner),
      list_(new ui::LookupListModel(this)) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setModel(list_);
  auto* completer = new QCompleter(list_, this);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setCompletionMode(QCompleter::InlineCompletion);
  setCompleter(completer);
  lineEdit()->setObjectName(QStringLiteral("LookupEdit"));

  link_.OnDataChange = [this] { ShowField(); };
  link_.OnActiveChange = [this] { ShowField(); };
  link_.OnUpdateData = [this] { ChooseTyped(); };
  connect(list_, &QAbstractItemModel::modelReset, this, [this] { link_.Reset(); });
  connect(this, &QComboBox::activated, this, [this](int row) {
    if (!showing_) ui::RunHandler([this, row] { Choose(row); });
  });
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { UserTyped(); });
  ShowField();
}

TDBLookupComboBox::~TDBLookupComboBox() {
  link_.OnDataChange = nullptr;
  link_.OnActiveChange = nullptr;
  link_.OnUpdateData = nullptr;
  link_.SetDataSource(nullptr);
  list_->SetSource(nullptr);
}

void TDBLookupComboBox::NameChanged() {
  setObjectName(Name());
  setAccessibleDescription(Name());
}

void TDBLookupComboBox::SetDataSource(TDataSource* source) {
  link_.SetDataSource(source);
  ShowField();
}

void TDBLookupComboBox::SetDataField(const QString& fieldName) {
  link_.SetFieldName(fieldName);
}

TDataSource* TDBLookupComboBox::ListSource() const {
  return list_->Source();
}

void TDBLookupComboBox::SetListSource(TDataSource* source) {
  list_->SetSource(source);
}

const QString& TDBLookupComboBox::KeyField() const {
  return list_->KeyField();
}

void TDBLookupComboBox::SetKeyField(const QString& fieldName) {
  list_->SetFields(fieldName, list_->ListField());
}

const QString& TDBLookupComboBox::ListField() const {
  return list_->ListField();
}

void TDBLookupComboBox::SetListField(const QString& fieldName) {
  list_->SetFields(list_->KeyField(), fieldName);
}

void TDBLookupComboBox::SetReadOnly(bool readOnly) {
  link_.SetReadOnly(readOnly);
  ShowField();
}

QVariant TDBLookupComboBox::KeyValue() const {
  return list_->KeyAt(currentIndex());
}

bool TDBLookupComboBox::SelectKey(const QVariant& key) {
  const int row = list_->RowOfKey(key);
  if (row < 0) return false;
  Choose(row);
  const TField* field = link_.Field();
  return field != nullptr && ui::KeysEqual(field->AsVariant(), key);
}

void TDBLookupComboBox::ShowField() {
  showing_ = true;
  const TField* field = link_.Field();
  const QVariant key = field != nullptr ? field->AsVariant() : QVariant();
  const int row = list_->RowOfKey(key);
  setCurrentIndex(row);
  if (row < 0) setEditText(QString());
  lineEdit()->setReadOnly(!link_.CanModify());
  if (field != nullptr && accessibleName().isEmpty()) setAccessibleName(field->DisplayLabel());
  showing_ = false;
}

void TDBLookupComboBox::Choose(int row) {
  TField* field = link_.Field();
  const QVariant key = list_->KeyAt(row);
  if (field == nullptr || !key.isValid() || ui::KeysEqual(field->AsVariant(), key) || !link_.Edit()) {
    link_.Reset();
    return;
  }
  try {
    field->SetValue(key);
  } catch (...) {
    link_.Reset();
    throw;
  }
  link_.Reset();
}

void TDBLookupComboBox::ChooseTyped() {
  const QString typed = lineEdit()->text().trimmed();
  if (typed.isEmpty()) return clearOnDelete_ ? ClearField() : link_.Reset();
  const int row = findText(typed, Qt::MatchFixedString);
  if (row < 0) return link_.Reset();
  Choose(row);
}

void TDBLookupComboBox::ClearField() {
  TField* field = link_.Field();
  if (field != nullptr && !field->IsNull() && link_.Edit()) field->Clear();
  link_.Reset();
}

void TDBLookupComboBox::UserTyped() {
  if (showing_) return;
  if (!link_.Editing()) {
    const QString typed = lineEdit()->text();
    bool editing = false;
    ui::RunHandler([&] { editing = link_.Edit(); });
    if (!editing) return link_.Reset();
    if (lineEdit()->text() != typed) lineEdit()->setText(typed);
  }
  link_.SetModified();
}

bool TDBLookupComboBox::IsEditKey(const QKeyEvent* event) const {
  if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) return true;
  if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) return true;
  const QString text = event->text();
  return !text.isEmpty() && text.at(0).isPrint() && (event->modifiers() & Qt::ControlModifier) == 0;
}

void TDBLookupComboBox::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && clearOnDelete_) {
    ui::RunHandler([this] { ClearField(); });
    event->accept();
    return;
  }
  if (key == Qt::Key_Escape) {
    // Typed text is undone first; with nothing typed Esc belongs to the window.
    if (!link_.Modified()) {
      event->ignore();
      return;
    }
    link_.Reset();
    event->accept();
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (link_.Modified()) ui::RunHandler([this] { ChooseTyped(); });
    event->ignore();
    return;
  }
  if (IsEditKey(event) && !link_.Editing()) {
    // Entering edit state shows the row again; the text and selection typed into stay.
    QLineEdit* edit = lineEdit();
    const QString text = edit->text();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = static_cast<int>(edit->selectedText().size());
    const int cursor = edit->cursorPosition();
    bool editing = false;
    ui::RunHandler([&] { editing = link_.Edit(); });
    if (!editing) {
      event->accept();
      return;
    }
    if (edit->text() != text) edit->setText(text);
    if (selectionStart >= 0)
      edit->setSelection(selectionStart, selectionLength);
    else
      edit->setCursorPosition(cursor);
  }
  QComboBox::keyPressEvent(event);
}

void TDBLookupComboBox::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  const Qt::FocusReason reason = event->reason();
  if (reporting_ || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  if (!link_.Modified()) return;
  reporting_ = true;
  ui::RunHandler([this] { ChooseTyped(); });
  reporting_ = false;
}

void TDBLookupComboBox::wheelEvent(QWheelEvent* event) {
  // Scrolling the window over the box must not change the order's client.
  event->ignore();
}

void TDBLookupComboBox::showPopup() {
  if (link_.CanModify()) QComboBox::showPopup();
}
