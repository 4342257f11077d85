#pragma once

#include <QObject>

class QSocketNotifier;

namespace tw {

// Turns SIGTERM, SIGINT and SIGHUP (the session ending, a kill, Ctrl+C in a
// terminal) into a signal on the event loop, so the program can save its
// window placement and end cleanly instead of being cut off.
class TerminationWatch : public QObject {
  Q_OBJECT

 public:
  explicit TerminationWatch(QObject* parent = nullptr);
  ~TerminationWatch() override;

 Q_SIGNALS:
  void terminationRequested();

 private:
  void readSignal();
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tw
