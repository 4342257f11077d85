#include "ActivityLog.h"

#include "Clock.h"
#include "StatusPanels.h"

#include <QLocale>

namespace tw {

QString ActivityTimestamp(const QDateTime& when) {
  const QLocale english = QLocale::c();
  return english.toString(when, QStringLiteral("ddd MMM dd - hh.mm.ss - "));
}

ActivityLog::ActivityLog(const Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

void ActivityLog::LogActivity(const QString& message, int level, bool mirror) {
  const LogLevel lvl = LogLevelFromInt(level);
  ActivityLine line{ActivityTimestamp(clock_.now()) + message, lvl};
  if (lines_.size() >= kMaxLines) {
    lines_.removeFirst();
    Q_EMIT oldestLineDropped();
  }
  lines_.append(line);
  Q_EMIT lineAdded(line);

  const bool listShown = visibility_ && visibility_->isActivityListShown();
  if (!listShown && mirror && panels_) {
    panels_->setPanelText(QStringLiteral("dl"), message);
    panels_->setPanelImage(QStringLiteral("dl"), LogLevelImageKey(lvl));
  }
}

}  // namespace tw
