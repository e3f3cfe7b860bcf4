#pragma once

#include <QCheckBox>
#include <QString>

#include "platform/rtl/Component.h"
#include "platform/ui/FieldDataLink.h"

class TDataSource;
class TField;

// A check box bound to a yes/no field: ticked for true, clear for false and null.
// Ticking puts the data set into edit state (AutoEdit) and writes the field at once;
// a box that cannot edit keeps its tick.
class TcxDBCheckBox : public QCheckBox, public TComponent {
  Q_OBJECT

 public:
  // parent is the widget it sits on; when null, the owner if that is a widget.
  explicit TcxDBCheckBox(TComponent* owner, QWidget* parent = nullptr);
  ~TcxDBCheckBox() override;

  QString ClassName() const override { return QStringLiteral("TcxDBCheckBox"); }

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source);
  const QString& DataField() const { return link_.FieldName(); }
  void SetDataField(const QString& fieldName);
  TField* Field() const { return link_.Field(); }
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool readOnly) { link_.SetReadOnly(readOnly); }

  QString Caption() const { return text(); }
  void SetCaption(const QString& caption) { setText(caption); }
  void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

 protected:
  void NameChanged() override;
  void nextCheckState() override;

 private:
  void ShowField();

  ui::TFieldDataLink link_;
};
