#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "platform/ui/ClassRegistry.h"
#include "platform/ui/Forms.h"

class TDataSet;

// Data sets handed from a controller to a window, by name. Keys compare exactly (letter
// case and blanks included) and a key is taken once. The map refers to the data sets;
// it owns none of them.
class TDataSetMap {
 public:
  // Raises Exception "Duplicates not allowed" when the key is taken.
  void Add(const QString& key, TDataSet* dataSet);
  // False, leaving dataSet untouched, when there is no such key.
  bool TryGetValue(const QString& key, TDataSet*& dataSet) const;
  bool ContainsKey(const QString& key) const { return items_.contains(key); }
  int Count() const { return static_cast<int>(items_.size()); }
  // In the order they were added.
  const QStringList& Keys() const { return keys_; }

 private:
  QHash<QString, TDataSet*> items_;
  QStringList keys_;
};

// Names a window after its design name, or name_1, name_2... when its owner already
// holds a component of that name, so that a window class can be opened more than once.
void SetUniqueFormName(TForm& form, const QString& name);

// The window that works on data sets prepared by a controller. It frees itself when
// closed.
class TBaseForm : public TForm {
  Q_OBJECT
  QUORVEL_FORM_CLASS(TBaseForm, TForm)

 public:
  explicit TBaseForm(TComponent* owner);

  // The caller's map, set before the window is shown; the window never frees it.
  TDataSetMap* Controllers = nullptr;

  // Close handler: the window is destroyed once the closing is complete.
  void FormClose(TCloseAction& action);

  // Checks that Controllers holds ANomeDataSet (blanks and control characters around it
  // ignored); fails as an assertion otherwise. Stores nothing.
  void SetDataSet(const QString& ANomeDataSet, TDataSet* ADataSet);
};
