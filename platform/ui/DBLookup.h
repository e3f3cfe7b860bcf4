#pragma once

#include <QComboBox>
#include <QString>
#include <memory>

#include "platform/rtl/Component.h"
#include "platform/ui/FieldDataLink.h"

class TDataSource;
class TField;

namespace ui {
class LookupListModel;
}

// A lookup box: lists the ListField ("nome") of every row of its list source and stores
// the chosen row's KeyField ("id") in its own field (DataSource + DataField). It follows
// the field when the row moves; a key with no list row shows empty.
//
// Choosing a name (from the list, with the arrow keys, or by typing it: the typed start
// is completed from the list) puts the data set into edit state (AutoEdit) and writes
// the key at once. Typed text that names no row is dropped when the box is left. With
// ClearOnDelete the Delete key empties the field (null); without it the key only edits
// the typed text. A box that cannot edit refuses all of it.
class TDBLookupComboBox : public QComboBox, public TComponent {
  Q_OBJECT

 public:
  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TDBLookupComboBox(TComponent* owner, QWidget* parent = nullptr);
  ~TDBLookupComboBox() override;

  QString ClassName() const override { return QStringLiteral("TDBLookupComboBox"); }

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source);
  const QString& DataField() const { return link_.FieldName(); }
  void SetDataField(const QString& fieldName);
  TField* Field() const { return link_.Field(); }

  TDataSource* ListSource() const;
  void SetListSource(TDataSource* source);
  const QString& KeyField() const;
  void SetKeyField(const QString& fieldName);
  const QString& ListField() const;
  void SetListField(const QString& fieldName);

  bool ClearOnDelete() const { return clearOnDelete_; }
  void SetClearOnDelete(bool clear) { clearOnDelete_ = clear; }
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool readOnly);

  // The key of the row shown (null when none) and the name shown.
  QVariant KeyValue() const;
  QString DisplayText() const { return currentText(); }
  // Chooses the list row with that key, as picking it does; false when it is not listed
  // or the box cannot edit. Raises the field's refusal.
  bool SelectKey(const QVariant& key);

  void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

 protected:
  void NameChanged() override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void showPopup() override;

 private:
  void ShowField();
  void Choose(int row);
  void ChooseTyped();
  void ClearField();
  void UserTyped();
  bool IsEditKey(const QKeyEvent* event) const;

  ui::TFieldDataLink link_;
  ui::LookupListModel* list_ = nullptr;
  bool clearOnDelete_ = false;
  bool showing_ = false;
  bool reporting_ = false;
};
