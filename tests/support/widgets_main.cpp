// Test entry for code that shows windows and widgets: a QApplication must
// exist first.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // A test closes windows; that must not end the application for the next one.
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
