#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/rtl/Component.h"

// Translations of the controls' own texts (grid, navigator, editors, dialogs), loaded
// from an ini file; the format is described in docs/LOCALIZER.md. Controls ask
// Localizer::Text for each text they show, with their built-in English as fallback.
class TLocalizer : public TComponent {
 public:
  explicit TLocalizer(TComponent* owner);
  ~TLocalizer() override;

  QString ClassName() const override { return QStringLiteral("TLocalizer"); }

  QString FileName() const { return fileName_; }
  // Names the file to read when the localizer is activated.
  void SetFileName(const QString& fileName);
  // Reads the file now. Raises EInOutError when it cannot be read.
  void LoadFromFile(const QString& fileName);

  // The languages read, in file order (their section names).
  QStringList Languages() const;
  // 0 is the controls' built-in texts; n is the n-th language of the file.
  int LanguageIndex() const { return languageIndex_; }
  void SetLanguageIndex(int index);

  // While active, this localizer answers Localizer::Text (the last one activated does).
  bool Active() const { return active_; }
  void SetActive(bool active);

  // The text of the current language, or fallback when it has none.
  QString Translate(const QString& key, const QString& fallback) const;

 private:
  struct Language {
    QString name;
    QHash<QString, QString> texts;  // lower-cased keys
  };

  std::vector<Language> languages_;
  QString fileName_;
  QString loadedFrom_;
  int languageIndex_ = 0;
  bool active_ = false;
};

namespace Localizer {

// The translated text of a control, or fallback when no localizer is active or the
// active one lacks the key.
QString Text(const QString& key, const QString& fallback);

// Emits Changed() whenever the active translation changes, for controls already shown.
class Notifier : public QObject {
  Q_OBJECT

 public:
  static Notifier* Instance();

 signals:
  void Changed();
};

}  // namespace Localizer

// Keys of the texts the controls ask for.
namespace loc {
inline const QString GridGroupByBoxHint = QStringLiteral("GridGroupByBoxHint");
inline const QString GridNoDataInfoText = QStringLiteral("GridNoDataInfoText");
inline const QString FilterPopupAll = QStringLiteral("FilterPopupAll");
inline const QString FilterPopupCustom = QStringLiteral("FilterPopupCustom");
inline const QString FilterPopupBlanks = QStringLiteral("FilterPopupBlanks");
inline const QString FilterPopupNonBlanks = QStringLiteral("FilterPopupNonBlanks");
inline const QString FilterPopupOk = QStringLiteral("FilterPopupOk");
inline const QString FilterPopupCancel = QStringLiteral("FilterPopupCancel");
inline const QString NavigatorFirst = QStringLiteral("NavigatorFirst");
inline const QString NavigatorPrior = QStringLiteral("NavigatorPrior");
inline const QString NavigatorNext = QStringLiteral("NavigatorNext");
inline const QString NavigatorLast = QStringLiteral("NavigatorLast");
inline const QString NavigatorInsert = QStringLiteral("NavigatorInsert");
inline const QString NavigatorDelete = QStringLiteral("NavigatorDelete");
inline const QString NavigatorEdit = QStringLiteral("NavigatorEdit");
inline const QString NavigatorPost = QStringLiteral("NavigatorPost");
inline const QString NavigatorCancel = QStringLiteral("NavigatorCancel");
inline const QString NavigatorRefresh = QStringLiteral("NavigatorRefresh");
inline const QString DeleteRecordQuestion = QStringLiteral("DeleteRecordQuestion");
inline const QString DateEditToday = QStringLiteral("DateEditToday");
inline const QString DateEditClear = QStringLiteral("DateEditClear");
inline const QString PreviewCaption = QStringLiteral("PreviewCaption");
inline const QString PreviewPrint = QStringLiteral("PreviewPrint");
inline const QString PreviewClose = QStringLiteral("PreviewClose");
}  // namespace loc
