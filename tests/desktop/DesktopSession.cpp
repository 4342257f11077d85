#include "DesktopSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace tw::test {
namespace {

const QString kRoot = QStringLiteral("Software\\Tidewire");

int Field(const QString& text, const QString& label) {
  const QRegularExpression re(QRegularExpression::escape(label) + QStringLiteral(":\\s*(-?\\d+)"));
  const QRegularExpressionMatch m = re.match(text);
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

void Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(5000)) {
    process.kill();
    process.waitForFinished(5000);
  }
}

QString Xdotool(const QStringList& arguments) { return RunTool(QStringLiteral("xdotool"), arguments); }

}  // namespace

void EndWithTest(QProcess& process) {
  process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(50);
  }
  return true;
}

QString RunTool(const QString& program, const QStringList& arguments, int timeoutMs) {
  QProcess tool;
  tool.start(program, arguments);
  if (!tool.waitForFinished(timeoutMs)) {
    tool.kill();
    tool.waitForFinished(1000);
    return {};
  }
  return tool.exitCode() == 0 ? QString::fromLocal8Bit(tool.readAllStandardOutput()) : QString();
}

XWindow InspectWindow(const QString& id) {
  XWindow w;
  if (id.isEmpty()) return w;
  const QString info = RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
  if (info.isEmpty()) return w;
  w.client = QRect(Field(info, QStringLiteral("Absolute upper-left X")),
                   Field(info, QStringLiteral("Absolute upper-left Y")), Field(info, QStringLiteral("Width")),
                   Field(info, QStringLiteral("Height")));
  const QString props = RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS"),
                                                          QStringLiteral("_NET_WM_STATE"), QStringLiteral("WM_STATE")});
  const QRegularExpressionMatch extents =
      QRegularExpression(QStringLiteral("_NET_FRAME_EXTENTS\\(CARDINAL\\) = (\\d+), (\\d+), (\\d+), (\\d+)"))
          .match(props);
  if (extents.hasMatch()) {
    w.frame = QMargins(extents.captured(1).toInt(), extents.captured(3).toInt(), extents.captured(2).toInt(),
                       extents.captured(4).toInt());
  }
  w.iconic = props.contains(QStringLiteral("window state: Iconic"));
  w.maximised = props.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
  return w;
}

VirtualDesktop::VirtualDesktop(bool notificationArea) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    problem_ = QStringLiteral("no X display: run under xvfb-run");
    return;
  }
  // openbox runs its start-up command once it manages the screen.
  readyFile_ = QDir::temp().filePath(QStringLiteral("tidewire-openbox-%1").arg(QCoreApplication::applicationPid()));
  QFile::remove(readyFile_);
  EndWithTest(openbox_);
  openbox_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                                             QStringLiteral("touch ") + readyFile_});
  if (!openbox_.waitForStarted(10000) || !WaitFor([this] { return QFileInfo::exists(readyFile_); }, 20000)) {
    problem_ = QStringLiteral("openbox did not start");
    return;
  }
  if (!notificationArea) return;
  EndWithTest(trayer_);
  trayer_.start(QStringLiteral("trayer"),
                {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"), QStringLiteral("right"),
                 QStringLiteral("--widthtype"), QStringLiteral("pixel"), QStringLiteral("--width"),
                 QStringLiteral("100"), QStringLiteral("--heighttype"), QStringLiteral("pixel"),
                 QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--SetDockType"),
                 QStringLiteral("true"), QStringLiteral("--SetPartialStrut"), QStringLiteral("true")});
  const bool up = trayer_.waitForStarted(10000) && WaitFor([] {
                    return !Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--classname"), QStringLiteral("^panel$")})
                                .trimmed()
                                .isEmpty();
                  }, 20000);
  if (!up) problem_ = QStringLiteral("trayer did not start");
}

VirtualDesktop::~VirtualDesktop() {
  Stop(trayer_);
  Stop(openbox_);
  if (!readyFile_.isEmpty()) QFile::remove(readyFile_);
}

ProgramRun::ProgramRun() {
  openStore();
  registry_->CreateRegKey(Hive::LocalMachine, kRoot);
}

ProgramRun::~ProgramRun() { Stop(process_); }

void ProgramRun::openStore() {
  registry_ = std::make_unique<Registry>(home_.paths().machineStore, home_.paths().userStore, RegistryStore::Reporter{});
}

QString ProgramRun::homeFolder() const { return QFileInfo(home_.paths().machineStore).absolutePath(); }

void ProgramRun::store(const char* name, qint32 value) {
  registry_->SetRegValue(Hive::LocalMachine, kRoot, QString::fromLatin1(name), value, RegType::Dword);
}

void ProgramRun::storeItems(const QString& site, const QStringList& titles, const QString& linkBase) {
  const QString key = kRoot + u'\\' + site;
  registry_->CreateRegKey(Hive::LocalMachine, key);
  registry_->SetRegValue(Hive::LocalMachine, key, QStringLiteral("TotalItems"), qint32(titles.size()), RegType::Dword);
  for (int i = 0; i < titles.size(); ++i) {
    registry_->CreateRegKeyWithTexts(Hive::LocalMachine, key + u'\\' + QString::number(i + 1),
                                     {{"Title", titles[i]}, {"Link", linkBase + QString::number(i + 1)}, {"Tag", "<UNREAD>"}});
  }
}

qint32 ProgramRun::stored(const char* name) {
  return registry_->QueryRegValue(Hive::LocalMachine, kRoot, QString::fromLatin1(name)).toInt();
}

bool ProgramRun::start(bool inTray) {
  if (!launch()) return false;
  if (inTray) return WaitFor([] { return !FindTrayIcon().isEmpty(); }, 60000);
  return findWindow(60000);
}

bool ProgramRun::launch() {
  // The program writes the store itself from now on.
  registry_.reset();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TIDEWIRE_HOME"), homeFolder());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
  env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
  if (geteuid() == 0) env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
  // Nothing is fetched: no server listens there.
  env.insert(QStringLiteral("TIDEWIRE_FEED_BASE"), QStringLiteral("http://127.0.0.1:9"));
  for (auto it = environment_.cbegin(); it != environment_.cend(); ++it) {
    if (it.value().isEmpty()) {
      env.remove(it.key());
    } else {
      env.insert(it.key(), it.value());
    }
  }
  process_.setProcessEnvironment(env);
  process_.setProcessChannelMode(QProcess::MergedChannels);
  EndWithTest(process_);
  process_.start(QStringLiteral(TIDEWIRE_PROGRAM_PATH), {});
  return process_.waitForStarted(20000);
}

bool ProgramRun::findWindow(int timeoutMs) {
  return WaitFor([this] { return !(window_ = FindMainWindow()).isEmpty(); }, timeoutMs);
}

bool ProgramRun::stop() {
  if (process_.state() == QProcess::NotRunning) return false;
  ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
  // Events keep running meanwhile: services of the test's own (a desktop's
  // D-Bus services, a feed server) must still answer the program.
  const bool ended = WaitFor([this] { return !isRunning(); }, 30000);
  openStore();
  return ended && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

QString ProgramRun::output() { return QString::fromLocal8Bit(process_.readAll()); }

QString FindMainWindow() {
  // The largest window of that name, shown or minimised (the toolkit keeps
  // a tiny one of its own with the program's name).
  const QStringList ids =
      Xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^Tidewire")}).split(u'\n', Qt::SkipEmptyParts);
  QString best;
  int bestArea = 100 * 100;
  for (const QString& id : ids) {
    const XWindow w = InspectWindow(id.trimmed());
    const int area = w.client.width() * w.client.height();
    if (area > bestArea && (w.iconic || !w.frame.isNull())) {
      best = id.trimmed();
      bestArea = area;
    }
  }
  return best;
}

QList<ShownWindow> ShownWindows(const QString& field, const QString& pattern) {
  QList<ShownWindow> shown;
  const QStringList ids = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), field, pattern})
                              .split(u'\n', Qt::SkipEmptyParts);
  for (const QString& id : ids) shown.append({id.trimmed(), InspectWindow(id.trimmed()).client});
  return shown;
}

QString FindTrayIcon() {
  // The program's small square window inside the notification area.
  for (const ShownWindow& w : ShownWindows(QStringLiteral("--classname"), QStringLiteral("^tidewire$"))) {
    if (w.client.width() > 0 && w.client.width() <= 48 && w.client.width() == w.client.height()) return w.id;
  }
  return {};
}

void MouseTo(const QPoint& at) {
  Xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

void Click(const QPoint& at, int count) {
  MouseTo(at);
  Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(count), QStringLiteral("--delay"),
           QStringLiteral("80"), QStringLiteral("1")});
}

void Drag(const QPoint& from, const QPoint& to, int steps) {
  MouseTo(from);
  Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
  for (int i = 1; i <= steps; ++i) {
    MouseTo(from + (to - from) * i / steps);
    QThread::msleep(60);  // a hand's pace: the program draws each step
  }
}

void ActivateWindow(const QString& id) {
  Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
  Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
}

}  // namespace tw::test
