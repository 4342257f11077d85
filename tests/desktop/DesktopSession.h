#pragma once

#include "core/Registry.h"
#include "support/TempHome.h"

#include <QMap>
#include <QMargins>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tw::test {

// The process ends when the test process does, even when the test is killed
// on a timeout: nothing a test starts outlives it.
void EndWithTest(QProcess& process);

// Polls until done() holds or timeoutMs has passed, letting events run.
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

// Runs an X tool (xdotool, xwininfo, xprop) and gives its output; empty when
// it fails.
QString RunTool(const QString& program, const QStringList& arguments, int timeoutMs = 10000);

// A top-level window as the X server has it: the client area in root
// coordinates, the frame the window manager put around it, and its state.
struct XWindow {
  QRect client;
  QMargins frame;
  bool iconic = false;
  bool maximised = false;
  QRect frameRect() const { return client.marginsAdded(frame); }
};
// Empty client rectangle when the window is gone.
XWindow InspectWindow(const QString& id);

// The desktop the tests run on: the X server xvfb-run started for this test
// (800 x 600), with openbox as window manager and, when asked, trayer as
// notification area. Everything it starts ends with it.
class VirtualDesktop {
 public:
  explicit VirtualDesktop(bool notificationArea = false);
  ~VirtualDesktop();
  VirtualDesktop(const VirtualDesktop&) = delete;
  VirtualDesktop& operator=(const VirtualDesktop&) = delete;

  // Empty when everything started; otherwise what did not.
  QString problem() const { return problem_; }

 private:
  QProcess openbox_;
  QProcess trayer_;
  QString readyFile_;
  QString problem_;
};

// The program with a home of its own. Values set through store() before
// start() are what it finds; after stop() the store holds what it saved.
class ProgramRun {
 public:
  ProgramRun();
  ~ProgramRun();

  void store(const char* name, qint32 value);
  // A site's items as a check left them: unread, linking to linkBase + number.
  void storeItems(const QString& site, const QStringList& titles, const QString& linkBase);
  qint32 stored(const char* name);
  // The program's TIDEWIRE_HOME.
  QString homeFolder() const;
  // Environment of the runs to come, over the defaults (an X desktop, no
  // feed server); an empty value removes the variable.
  void setEnvironment(const QString& name, const QString& value) { environment_[name] = value; }

  // Starts the program and waits until the window manager has its main
  // window (framed, or minimised); inTray: until its tray icon is there.
  bool start(bool inTray = false);
  // Starts the program and waits for nothing more.
  bool launch();
  bool isRunning() const { return process_.state() != QProcess::NotRunning; }
  qint64 pid() const { return process_.processId(); }
  // The main window's X id (empty until start() or findWindow() found it).
  QString window() const { return window_; }
  bool findWindow(int timeoutMs);
  // Ends the program as the desktop's logout would (SIGTERM): it saves its
  // placement. True when it ended cleanly.
  bool stop();
  QString output();

 private:
  void openStore();

  TempHome home_;
  std::unique_ptr<Registry> registry_;
  QProcess process_;
  QString window_;
  QMap<QString, QString> environment_;
};

// The main window's X id once the window manager has it, or empty.
QString FindMainWindow();
// The program's notification-area icon, or empty.
QString FindTrayIcon();
// The windows shown now whose "--name" or "--classname" (field) matches the
// pattern, with their client areas.
struct ShownWindow {
  QString id;
  QRect client;
};
QList<ShownWindow> ShownWindows(const QString& field, const QString& pattern);

// The mouse and the window manager, through xdotool.
void MouseTo(const QPoint& at);
void Click(const QPoint& at, int count = 1);
void Drag(const QPoint& from, const QPoint& to, int steps);
void ActivateWindow(const QString& id);

}  // namespace tw::test
