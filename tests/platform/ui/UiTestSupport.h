#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/Dialogs.h"

namespace uitest {

struct ShownBox {
  QString text;
  QString caption;
  int flags;
};

// Answers every message box with a fixed button and keeps what was asked.
class BoxRecorder {
 public:
  explicit BoxRecorder(int answer = id::OK)
      : previous_(
            SetMessageBoxHandler([this, answer](const QString& text, const QString& caption, int flags) {
              boxes.push_back({text, caption, flags});
              return answer;
            })) {}
  ~BoxRecorder() { SetMessageBoxHandler(previous_); }
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  std::vector<ShownBox> boxes;

 private:
  MessageBoxHandler previous_;
};

// Once a visible top-level W appears (checked from the event loop), acts on it. Gives
// up after a few seconds, closing whatever modal window is up so that no test hangs.
template <class W>
void WhenShown(std::function<void(W*)> action) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* found = dynamic_cast<W*>(w); found != nullptr && found->isVisible()) {
        timer->stop();
        timer->deleteLater();
        action(found);
        return;
      }
    }
    if (++*tries > 1000) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "expected window never appeared";
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }
  });
  timer->start();
}

// Runs the window W that open() shows, acting on it once it is up, then closes it. An
// error leaving the action fails the test instead of unwinding through the event loop.
template <class W>
void RunWindow(const std::function<void()>& open, const std::function<void(W&)>& act) {
  bool acted = false;
  WhenShown<W>([&](W* w) {
    acted = true;
    try {
      act(*w);
    } catch (const std::exception& e) {
      ADD_FAILURE() << "unexpected error: " << e.what();
    }
    w->Close();
  });
  open();
  EXPECT_TRUE(acted);
}

// Destroys what was released (deleteLater) outside any event loop.
inline void ProcessDeferredDeletes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace uitest
