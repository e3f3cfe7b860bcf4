#pragma once

#include <QStatusBar>
#include <QString>

#include "platform/ui/Ribbon.h"

// The status bar along a window's bottom edge: 20 pixels high, painted in the colours
// of a ribbon colour scheme. It starts with no panels and no text.
class TStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  static constexpr int kHeight = 20;

  explicit TStatusBar(QWidget* parent = nullptr);

  QString ColorSchemeName() const { return schemeName_; }
  // Raises EComponentError for an unknown scheme.
  void SetColorSchemeName(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString schemeName_;
  TRibbonColors colors_;
};
