#pragma once

#include <QString>
#include <QWidget>

namespace ui {

// Names a control twice: the object name for the program and its tests, the accessible
// description for screen readers and outside test tools, which never see object names.
template <class W>
W* Named(W* widget, const QString& name) {
  widget->setObjectName(name);
  widget->setAccessibleDescription(name);
  return widget;
}

}  // namespace ui
