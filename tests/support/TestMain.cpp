#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <cstdlib>

// gtest discovery and ctest may start us without a display; Qt must not abort then.
int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
