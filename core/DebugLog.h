#pragma once

#include <QString>

namespace tw {

class Clock;

// Per-feed log files under the program folder's "Logs" folder. Only debug
// builds write them; in release builds every call returns at once.
class DebugLog {
 public:
  DebugLog(QString programFolder, QString defaultName, const Clock& clock, bool enabled);

  // name: the feed's RegName; empty writes to the program's own log.
  // Returns false when the line could not be written.
  bool WriteDebugLog(const QString& message, const QString& name = {}) const;

  QString logFilePath(const QString& name) const;

 private:
  QString programFolder_;
  QString defaultName_;
  const Clock& clock_;
  bool enabled_;
};

}  // namespace tw
