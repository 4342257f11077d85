// The web view suites need the program's URL scheme registered and the web
// engine's environment set before the application object exists.
#include "web/PageScheme.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Test machines run as root, where the engine's sandbox cannot start, and
  // have no GPU.
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  qputenv("QT_QUICK_BACKEND", "software");
  tw::RegisterPageScheme();
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
