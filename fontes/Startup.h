#pragma once

#include <QString>
#include <functional>

class QLabel;
class TApplication;

// A label made for the splash: kept with it, hidden, until the application goes.
extern QLabel* lLabelApp;

// The program's start-up sequence, apart from main() so that it can be driven in tests.
namespace startup {

// Told the name of each step once it is done, in order: "Initialize", "CreateSplash",
// "CreateLabel", "MostrarForm", "Refresh", "Title", "CreateDM", "CreateLogin",
// "CloseSplash", "ShowLogin"; Run adds "Run" when the event loop has ended.
using StepObserver = std::function<void(const QString& step)>;

// Everything before the event loop: splash on screen while the data module opens the
// database, then the login window as the application's main window.
void Prepare(TApplication& application, const StepObserver& observer = {});

// Prepare, then the event loop until the application is terminated. Gives the exit code.
int Run(TApplication& application, const StepObserver& observer = {});

// Whether Qt can open windows here: a display, or a platform named in QT_QPA_PLATFORM.
bool HasDisplay();
// The line printed instead of starting when there is none.
QString NoDisplayMessage();

}  // namespace startup
