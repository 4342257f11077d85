// The web view suites need the program's URL scheme registered and the web
// engine's environment set before the application object exists.
#if TIDEWIRE_WEB_ENGINE
#include "web/PageSchemeRegistration.h"
#endif

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#if TIDEWIRE_WEB_ENGINE
  // Test machines run as root, where the engine's sandbox cannot start, and
  // have no GPU.
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  qputenv("QT_QUICK_BACKEND", "software");
  tw::RegisterPageScheme();
#endif
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
