#include "DebugLog.h"

#include "Clock.h"
#include "FileHelpers.h"
#include "Windows1252.h"

#include <QFile>
#include <QLocale>

namespace tw {

DebugLog::DebugLog(QString programFolder, QString defaultName, const Clock& clock, bool enabled)
    : programFolder_(std::move(programFolder)), defaultName_(std::move(defaultName)), clock_(clock), enabled_(enabled) {}

QString DebugLog::logFilePath(const QString& name) const {
  return programFolder_ + QStringLiteral("/Logs/") + (name.isEmpty() ? defaultName_ : name) + QStringLiteral(".log");
}

bool DebugLog::WriteDebugLog(const QString& message, const QString& name) const {
  if (!enabled_) return true;
  EnsureFolder(programFolder_ + QStringLiteral("/Logs/"));
  // A name that is no valid file name (a title with "/") fails here, as it did.
  QFile file(logFilePath(name));
  if (!file.open(QIODevice::Append)) return false;
  QByteArray line;
  if (!message.isEmpty()) {
    const QDateTime now = clock_.now();
    const QString text = QLocale::c().toString(now, QStringLiteral("MM/dd/yy - hh:mm:ss - ")) + message;
    line = EncodeWindows1252(text);
  }
  line.append("\r\n");
  return file.write(line) == line.size();
}

}  // namespace tw
