#pragma once

#include <QLabel>

#include "platform/ui/Forms.h"

// The borderless picture shown while the database opens, with the application's title
// in white on its plain left part.
class TfSplash : public TForm {
  Q_OBJECT

 public:
  // The title's right edge, whatever its length.
  static constexpr int kNomeRight = 364;
  static constexpr int kNomeTop = 119;

  explicit TfSplash(TComponent* AOwner);
  ~TfSplash() override;

  QString ClassName() const override { return QStringLiteral("TfSplash"); }

  // Shows the application's title of this moment and the window, modeless.
  // ALabelInfo is accepted and not used.
  void MostrarForm(QLabel* ALabelInfo);

  QLabel* Image1;
  QLabel* _lNome;

 private:
  // Sized to its text, growing to the left of the fixed right edge.
  void SetNome(const QString& caption);
};

extern TfSplash* fSplash;
