#pragma once

#include <QObject>
#include <QTimer>

namespace tw {

class DebugLog;
class FeedChecker;
class Settings;
class StatusPanels;
class TrayControl;
class WindowPresence;

// The automatic check: a tick a minute counts down "Check Interval Minutes"
// and, when it runs out, checks every feed.
class CheckTimer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kReleaseTickMs = 60000;
  static constexpr int kDebugTickMs = 5000;

  CheckTimer(Settings& settings, const DebugLog& debugLog, QObject* parent = nullptr);

  void setPorts(StatusPanels* panels, TrayControl* tray, WindowPresence* window);
  void setFeedChecker(FeedChecker* checker) { checker_ = checker; }
  void setTickInterval(int ms) { tmrDownload_.setInterval(ms); }

  // (Re)starts the countdown from now, running one tick at once; with no
  // positive interval the timer stops and the "msg" panel says so.
  void StartCheckTimer();
  // One tick: shows the time left and checks every feed when it has run out.
  void UPDATE_Timer();

  int MinuteCounter() const { return minuteCounter_; }
  const QTimer& tmrDownload() const { return tmrDownload_; }

 private:
  Settings& settings_;
  const DebugLog& debugLog_;
  StatusPanels* panels_ = nullptr;
  TrayControl* tray_ = nullptr;
  WindowPresence* window_ = nullptr;
  FeedChecker* checker_ = nullptr;
  QTimer tmrDownload_;
  int minuteCounter_ = 0;
};

}  // namespace tw
