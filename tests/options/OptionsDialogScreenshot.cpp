// Takes the documentation's picture of the options dialog, frame and all:
// the program with a few settings made, its dialog open over it under a
// window manager. Run on an X server of its own: scripts/options-screenshot.
#include "core/Registry.h"
#include "mainwindow/Program.h"
#include "options/frmOptions.h"
#include "support/ScreenshotTools.h"
#include "support/TempHome.h"
#if TIDEWIRE_WEB_ENGINE
#include "web/PageSchemeRegistration.h"
#endif

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScreen>

#include <unistd.h>

int main(int argc, char** argv) {
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
#if TIDEWIRE_WEB_ENGINE
  tw::RegisterPageScheme();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
  QDir().mkpath(folder);

  // A window manager draws the frame and the title.
  QProcess windowManager;
  windowManager.start(QStringLiteral("openbox"), {});
  tw::test::Settle(1500);

  tw::test::TempHome home;
  {
    const QString root = QStringLiteral("Software\\Tidewire");
    tw::Registry registry(home.paths().machineStore, home.paths().userStore, {});
    registry.CreateRegKey(tw::Hive::LocalMachine, root);
    for (const char* flag : {"Close To Tray", "Show Activity Log", "Coloured Titles"}) {
      registry.SetRegValue(tw::Hive::LocalMachine, root, QLatin1String(flag), 1, tw::RegType::Dword);
    }
    registry.SetRegValue(tw::Hive::LocalMachine, root, QStringLiteral("Check Interval Minutes"), 30,
                         tw::RegType::Dword);
  }
  tw::test::FakeClock clock;
  tw::Program program(home.paths(), clock);
  program.Start();
  program.window().move(40, 40);
  program.showSettings();
  tw::frmOptions* dialog = program.optionsDialog();
  dialog->move(520, 90);
  QCursor::setPos(1200, 760);  // no node hot-tracked under the pointer
  tw::test::Settle(2500);

  const QRect frame = dialog->frameGeometry();
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(),
                                                                    frame.height());
  const bool saved = tw::test::SavePicture(shot, QDir(folder).filePath(QStringLiteral("options-dialog.png")));
  program.window().exitProgram();
  windowManager.terminate();
  windowManager.waitForFinished(5000);
  return saved ? 0 : 1;
}
