// Wires the engine to its windows and runs the program.
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/SingleInstance.h"
#include "mainwindow/Program.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);  // the tray keeps the program alive
  const tw::AppPaths paths = tw::AppPaths::FromEnvironment();

  // A second copy asks the running one to come forward, and ends before it
  // touches any setting or file.
  tw::SingleInstance instance(paths.runtimeFolder);
  if (!instance.tryBecomeRunningCopy()) {
    instance.ActivatePreviousInstance();
    return 0;
  }

  const tw::Clock clock;
  tw::Program program(paths, clock);
  QObject::connect(&instance, &tw::SingleInstance::activationRequested, &app, [&program] { program.BringForward(); });
  QObject::connect(&program.window(), &tw::frmMain::unloaded, &app, &QApplication::quit);
  program.Start();
  return app.exec();
}
