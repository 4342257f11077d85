#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace tw {

class Program;

// A test hook, switched on by TIDEWIRE_STATE_REPORT=<file>: what the windows
// show is kept in that file, one "name: value" line each: the main window's
// caption, the "user" and "msg" status panels, the site tree's top-level
// captions in the order shown, the open sites, the selected node, the page's
// title (or "built-in"), the tree menu's entries while it is open, the
// options dialog's caption while it is open, how many checks have finished
// and the activity list's last lines. A test that drives the real
// program from outside reads what a user would see. The windows are looked
// at five times a second; the file is rewritten once a change has held for
// a look: watchers wait for states that last, and the program they measure
// should not pay for a file written for every passing state.
class StateReport : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kVariable = "TIDEWIRE_STATE_REPORT";

  StateReport(QString file, Program& program, QObject* parent = nullptr);

 private:
  QString Report() const;
  void update();

  QString file_;
  Program& program_;
  QTimer timer_;
  QString seen_;     // at the last look
  QString written_;
  int checksFinished_ = 0;
};

}  // namespace tw
