#include "platform/ui/EventGuard.h"

#include "platform/rtl/Exceptions.h"
#include "platform/ui/Dialogs.h"

namespace ui {

void ReportCurrentException() {
  try {
    throw;
  } catch (const EAbort&) {
    // The silent abort only ends the operation.
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowException(Exception(QStringLiteral("Erro desconhecido")));
  }
}

}  // namespace ui
