#include "CheckTimer.h"

#include "DebugLog.h"
#include "EngineHooks.h"
#include "Settings.h"
#include "StatusPanels.h"
#include "TextFormat.h"
#include "WindowPorts.h"

namespace tw {
namespace {
const QString kMsgPanel = QStringLiteral("msg");
}

CheckTimer::CheckTimer(Settings& settings, const DebugLog& debugLog, QObject* parent)
    : QObject(parent), settings_(settings), debugLog_(debugLog) {
  tmrDownload_.setInterval(kReleaseTickMs);
  connect(&tmrDownload_, &QTimer::timeout, this, &CheckTimer::UPDATE_Timer);
}

void CheckTimer::setPorts(StatusPanels* panels, TrayControl* tray, WindowPresence* window) {
  panels_ = panels;
  tray_ = tray;
  window_ = window;
}

void CheckTimer::StartCheckTimer() {
  const qint32 minutes = settings_.number(setting::CheckIntervalMinutes);
  if (minutes > 0) {
    tmrDownload_.start();
    minuteCounter_ = 0;
    UPDATE_Timer();
    debugLog_.WriteDebugLog(QStringLiteral("Starting Timer : Time set to %1 minutes.").arg(minutes));
  } else {
    tmrDownload_.stop();
    if (panels_) panels_->setPanelText(kMsgPanel, QStringLiteral("Automatic news updating disabled"));
  }
}

void CheckTimer::UPDATE_Timer() {
  const qint32 interval = settings_.number(setting::CheckIntervalMinutes);
  qint32 left = interval - minuteCounter_;
  const QString message = QStringLiteral("Checking for new items in ") + FormatInterval(left);
  if (panels_) {
    panels_->setPanelText(kMsgPanel, message);
    if (tray_ && window_) tray_->ChangeTrayTip(window_->caption() + QStringLiteral("\r\n") + panels_->panelText(kMsgPanel));
  }
  if (minuteCounter_ >= interval) {
    if (checker_) checker_->QueueAllFeeds();
    minuteCounter_ = 0;
  } else {
    ++minuteCounter_;
  }
}

}  // namespace tw
