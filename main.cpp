// Wires the engine to its windows and runs the program.
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/CommandLine.h"
#include "core/FileHelpers.h"
#include "core/SingleInstance.h"
#include "core/TerminationWatch.h"
#include "mainwindow/Program.h"
#include "mainwindow/SnapshotRun.h"
#include "mainwindow/StateReport.h"
#if TIDEWIRE_WEB_ENGINE
#include "web/WebEngineStart.h"
#endif

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <memory>
#include <optional>

int main(int argc, char** argv) {
  // --help, --version and a mistyped option end here, before anything starts.
  if (const std::optional<int> answered = tw::AnswerCommandLine(argc, argv)) return *answered;
#if TIDEWIRE_WEB_ENGINE
  // The web engine's switches and shared GL contexts must be set up before
  // the application object exists, should its view be loaded later.
  tw::WebEngineStart engineStart(argc, argv);
#endif
  QApplication app(argc, argv);
#if TIDEWIRE_WEB_ENGINE
  engineStart.applicationMade();
#endif
  app.setQuitOnLastWindowClosed(false);  // the tray keeps the program alive
  // Before any window exists: Wayland takes a window's app id from it.
  QGuiApplication::setDesktopFileName(QStringLiteral(TIDEWIRE_APP_ID));
  const tw::AppPaths paths = tw::AppPaths::FromEnvironment();

  // A second copy asks the running one to come forward, and ends before it
  // touches any setting or file.
  tw::SingleInstance instance(paths.runtimeFolder);
  const tw::SingleInstance::Claim claim = instance.claim();
  if (claim == tw::SingleInstance::Claim::Forwarded) return 0;
  if (claim == tw::SingleInstance::Claim::Unguarded) {
    std::fprintf(stderr, "tidewire: %s\n", qPrintable(instance.problem()));
  }
  // Without its own folder the program can neither fetch a feed nor show a page.
  if (const QString problem = tw::ProgramFolderProblem(paths.programFolder); !problem.isEmpty()) {
    std::fprintf(stderr, "tidewire: %s\n", qPrintable(problem));
    // Nobody could see a box on a screen that does not exist, or close it.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
      QMessageBox::critical(nullptr, QStringLiteral("Tidewire cannot start"), problem);
    }
    return 1;
  }

  const tw::Clock clock;
  tw::Program program(paths, clock);
  if (claim == tw::SingleInstance::Claim::Unguarded) {
    program.core().activity.LogActivity(instance.problem(), tw::LogLevel::Warning, true);
  }
  QObject::connect(&instance, &tw::SingleInstance::activationRequested, &app, [&program] { program.BringForward(); });
  QObject::connect(&program.window(), &tw::frmMain::unloaded, &app, &QApplication::quit);
  // Logging out or a kill ends the program like its own Exit command: placement
  // and splitter are saved first. Neither can wait for a store another
  // program holds.
  tw::TerminationWatch termination;
  QObject::connect(&termination, &tw::TerminationWatch::terminationRequested, &program.window(),
                   &tw::frmMain::exitAtOnce);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &program.window(), &tw::frmMain::exitAtOnce);

  // Unattended runs (no display): one check, a picture of the screen, a summary.
  int exitCode = 0;
  std::unique_ptr<tw::SnapshotRun> snapshot;
  if (const QString picture = qEnvironmentVariable(tw::SnapshotRun::kVariable); !picture.isEmpty()) {
    snapshot = std::make_unique<tw::SnapshotRun>(picture, program.core(), program.downloads().fetch,
                                                 [&program, &exitCode](int code) {
                                                   exitCode = code;
                                                   // Nobody is there to answer a question.
                                                   program.window().exitAtOnce();
                                                 });
  }

  // Tests that drive the running program from outside read what it shows.
  std::unique_ptr<tw::StateReport> report;
  if (const QString file = qEnvironmentVariable(tw::StateReport::kVariable); !file.isEmpty()) {
    report = std::make_unique<tw::StateReport>(file, program);
  }

  program.Start();
  const int appCode = app.exec();
  return appCode != 0 ? appCode : exitCode;
}
