#pragma once

#include <QString>

namespace tw {

enum class LogLevel : int { Info = 1, Warning = 2, Error = 3 };

// Levels outside 1..3 are taken as information.
LogLevel LogLevelFromInt(int level);
// Image-list key of the level: "info", "warning" or "error".
QString LogLevelImageKey(LogLevel level);

}  // namespace tw
