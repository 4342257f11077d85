#pragma once

#include "LogLevel.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>

namespace tw {

class Clock;
class StatusPanels;

struct ActivityLine {
  QString text;  // "Mon Dec 07 - 14.05.09 - message"
  LogLevel level = LogLevel::Info;
};

// Whether the window currently shows the activity list.
class ActivityListVisibility {
 public:
  virtual ~ActivityListVisibility() = default;
  virtual bool isActivityListShown() const = 0;
};

// The activity list: the newest lines of the run, in order, never saved. A
// program that sits in the tray for months would otherwise hold every line
// it ever wrote, so beyond kMaxLines the oldest goes first. The window's list
// view follows it through oldestLineDropped and lineAdded. While that list is
// hidden, a mirrored line goes to the "dl" status panel instead.
class ActivityLog : public QObject {
  Q_OBJECT

 public:
  static constexpr qsizetype kMaxLines = 5000;

  explicit ActivityLog(const Clock& clock, QObject* parent = nullptr);

  void setListVisibility(const ActivityListVisibility* visibility) { visibility_ = visibility; }
  void setStatusPanels(StatusPanels* panels) { panels_ = panels; }

  // level: 1 information, 2 warning, 3 error; anything else is information.
  void LogActivity(const QString& message, int level, bool mirror);
  void LogActivity(const QString& message, LogLevel level, bool mirror) {
    LogActivity(message, static_cast<int>(level), mirror);
  }

  const QVector<ActivityLine>& lines() const { return lines_; }

 Q_SIGNALS:
  // The first line has gone to make room; lineAdded follows.
  void oldestLineDropped();
  void lineAdded(const tw::ActivityLine& line);

 private:
  const Clock& clock_;
  const ActivityListVisibility* visibility_ = nullptr;
  StatusPanels* panels_ = nullptr;
  QVector<ActivityLine> lines_;
};

// "ddd MMM dd - hh.mm.ss - " in English, whatever the locale.
QString ActivityTimestamp(const QDateTime& when);

}  // namespace tw
