#pragma once

#include <QDate>
#include <QString>

namespace tw {

class AlertSink;
class bkDLControl;
struct AppCore;

// After each run through the feed queue: fetch the version file through the
// system download control and announce a newer version, at most once a day.
class UpdateCheck {
 public:
  // dlSys's tag while it fetches the version file.
  static constexpr int kVersionFileTag = 69;

  UpdateCheck(AppCore& core, bkDLControl& dlSys);
  void setAlertSink(AlertSink* alerts) { alerts_ = alerts; }

  void StartUpdateCheck();
  void CompareVersionFile(const QString& path);

  const QString& LastCheckWeekday() const { return lastCheckWeekday_; }
  bool UpdateAnnouncedToday() const { return updateAnnouncedToday_; }

 private:
  AppCore& core_;
  bkDLControl& dlSys_;
  AlertSink* alerts_ = nullptr;
  // The announcement is once a calendar day: the date decides, so a week
  // later on the same weekday is a new day too.
  QDate lastCheckDate_;
  QString lastCheckWeekday_;
  bool updateAnnouncedToday_ = false;
};

// The three numbers of a version file's first field "major.minor.revision";
// a part without its "." reads as 0.
struct FileVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};
FileVersion ParseVersionField(const QString& field);
// True when available is a later version than running.
bool IsNewerVersion(const FileVersion& available, const FileVersion& running);

}  // namespace tw
