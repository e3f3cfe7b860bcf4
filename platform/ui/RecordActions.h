#pragma once

#include <QString>

class TDataSet;

// What the grid and the navigator share when they act on a data set's rows.
namespace ui {

// "Delete record?" (the translation may say otherwise).
QString DeleteRecordQuestion();

// Asks the delete question (OK and Cancel, question icon: flags 33); true on OK.
bool ConfirmRecordDelete();

// Deletes the current row after the question when confirm is set. Nothing happens on
// Cancel; the data set's own BeforeDelete may still refuse (EAbort travels on).
void DeleteCurrentRecord(TDataSet& dataSet, bool confirm);

}  // namespace ui
