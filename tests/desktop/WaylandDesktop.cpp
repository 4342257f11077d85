#include "WaylandDesktop.h"

#include "DesktopSession.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tw::test {
namespace {

const QString kSocket = QStringLiteral("wayland-tidewire-test");

}  // namespace

WaylandDesktop::WaylandDesktop(bool xwayland) {
  // QTemporaryDir makes the folder private (0700), as a runtime folder must be.
  if (!runtime_.isValid()) {
    problem_ = QStringLiteral("no runtime folder");
    return;
  }
  logFile_ = runtime_.filePath(QStringLiteral("weston.log"));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("DISPLAY"));
  weston_.setProcessEnvironment(env);
  weston_.setProcessChannelMode(QProcess::MergedChannels);
  // --debug makes the protocol log available; --idle-time=0 keeps the screen
  // from locking during a long test.
  QStringList arguments{QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + kSocket,
                        QStringLiteral("--width=1024"), QStringLiteral("--height=768"),
                        QStringLiteral("--idle-time=0"), QStringLiteral("--debug"),
                        QStringLiteral("--logger-scopes=log,proto"), QStringLiteral("--log=") + logFile_};
  if (xwayland) arguments << QStringLiteral("--xwayland");
  EndWithTest(weston_);
  weston_.start(QStringLiteral("weston"), arguments);
  if (!weston_.waitForStarted(10000)) {
    problem_ = QStringLiteral("weston did not start: ") + weston_.errorString();
    return;
  }
  // Clients may come once the shell is loaded: it gives them xdg_wm_base.
  const bool up = WaitFor([this] {
    return weston_.state() == QProcess::Running && QFileInfo::exists(runtime_.filePath(kSocket)) &&
           log().contains(QStringLiteral("weston-desktop-shell"));
  }, 30000);
  if (!up) {
    problem_ = QStringLiteral("weston is not up: ") + QString::fromLocal8Bit(weston_.readAll()) + log();
    return;
  }
  if (!xwayland) return;
  // weston picks a free display number and starts XWayland on first use.
  const QRegularExpression listening(QStringLiteral("xserver listening on display (:\\d+)"));
  WaitFor([&] { return !(xDisplay_ = listening.match(log()).captured(1)).isEmpty(); }, 10000);
  if (xDisplay_.isEmpty()) problem_ = QStringLiteral("no XWayland: ") + log();
}

WaylandDesktop::~WaylandDesktop() {
  if (weston_.state() == QProcess::NotRunning) return;
  weston_.terminate();
  if (!weston_.waitForFinished(10000)) {
    weston_.kill();
    weston_.waitForFinished(5000);
  }
}

void WaylandDesktop::admit(ProgramRun& run) const {
  run.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
  run.setEnvironment(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
  run.setEnvironment(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
  run.setEnvironment(QStringLiteral("DISPLAY"), QString());
}

int WaylandDesktop::windowsShown(const QString& appId) const {
  return static_cast<int>(log().count(QStringLiteral(".set_app_id(\"") + appId + QStringLiteral("\")")));
}

QString WaylandDesktop::log() const {
  QFile file(logFile_);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace tw::test
