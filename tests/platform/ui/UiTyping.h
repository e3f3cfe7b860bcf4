#pragma once

// Typing as the operator does, for the tests that link Qt's test library.
#include <QLineEdit>
#include <QTest>

namespace uitest {

// Replaces a box's text by typing, as the operator does: character by character with its
// text, accented letters included.
inline void TypeInto(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace uitest
