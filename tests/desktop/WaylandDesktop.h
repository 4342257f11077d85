#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tw::test {

class ProgramRun;

// A Wayland desktop of the test's own: weston on its headless backend
// (1024 x 768) with desktop-shell, in a private runtime folder under a
// socket name of its own. It logs the protocol messages of every client, so
// a test can see which windows a program shows. With xwayland, X11 programs
// run on it too, through XWayland. Ends with the object.
class WaylandDesktop {
 public:
  explicit WaylandDesktop(bool xwayland = false);
  ~WaylandDesktop();
  WaylandDesktop(const WaylandDesktop&) = delete;
  WaylandDesktop& operator=(const WaylandDesktop&) = delete;

  // Empty when weston is up; otherwise what went wrong.
  QString problem() const { return problem_; }
  // Makes the program a client of this desktop: the Wayland platform, this
  // socket and runtime folder, and no X display to fall back on.
  void admit(ProgramRun& run) const;
  // How many times a client has given a window this application id: once
  // each time such a window is shown.
  int windowsShown(const QString& appId) const;
  // The X display XWayland serves (":1"), empty without it.
  QString xDisplay() const { return xDisplay_; }
  QString log() const;

 private:
  QTemporaryDir runtime_;
  QString logFile_;
  QProcess weston_;
  QString problem_;
  QString xDisplay_;
};

}  // namespace tw::test
