#pragma once

#include <type_traits>
#include <utility>

// Event handlers are the edge where errors stop: whatever leaves one is reported with
// ShowException (the silent abort shows nothing) and the event loop goes on. Handlers
// connected to Qt signals should be wrapped with Guarded, so that no error unwinds
// through Qt's own frames.
namespace ui {

// Reports the exception being handled; call it only inside a catch block.
void ReportCurrentException();

// Runs a handler and reports what leaves it.
template <class F>
void RunHandler(F&& handler) {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    ReportCurrentException();
  }
}

// A handler that reports its own errors, for QObject::connect:
//   connect(button, &QPushButton::clicked, this, ui::Guarded([this] { Save(); }));
template <class F>
auto Guarded(F handler) {
  return [handler = std::move(handler)](auto&&... args) mutable {
    RunHandler([&] {
      // A handler may ignore the signal's arguments (clicked(bool) -> []{}).
      if constexpr (std::is_invocable_v<F&, decltype(args)...>)
        handler(std::forward<decltype(args)>(args)...);
      else
        handler();
    });
  };
}

}  // namespace ui
