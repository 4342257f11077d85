#if TIDEWIRE_WEB_ENGINE
#include "web/PageSchemeRegistration.h"
#endif

#include <QApplication>

#include <gtest/gtest.h>

#include <unistd.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Windows that hold the web panel start the web engine: as root it runs
  // without its sandbox, and never needs a GPU here.
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
#if TIDEWIRE_WEB_ENGINE
  tw::RegisterPageScheme();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
