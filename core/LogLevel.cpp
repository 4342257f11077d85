#include "LogLevel.h"

namespace tw {

LogLevel LogLevelFromInt(int level) {
  switch (level) {
    case 2:
      return LogLevel::Warning;
    case 3:
      return LogLevel::Error;
    default:
      return LogLevel::Info;
  }
}

QString LogLevelImageKey(LogLevel level) {
  switch (level) {
    case LogLevel::Warning:
      return QStringLiteral("warning");
    case LogLevel::Error:
      return QStringLiteral("error");
    case LogLevel::Info:
      break;
  }
  return QStringLiteral("info");
}

}  // namespace tw
