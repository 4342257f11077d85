#include "news/FetchCycle.h"

#include "core/AppCore.h"
#include "core/Clock.h"
#include "core/StatusPanels.h"
#include "core/TextFormat.h"
#include "core/WindowPorts.h"
#include "download/bkDLControl.h"
#include "news/DownloadProgressBar.h"
#include "news/FeedRootCheck.h"
#include "news/UpdateCheck.h"

#include <algorithm>
#include <limits>

namespace tw {
namespace {

const QString kMsgPanel = QStringLiteral("msg");
const QString kDlPanel = QStringLiteral("dl");
const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

QString CaptionTime(const QTime& time) {
  const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
  return QString::number(hour) + u':' + QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0')) + u' ' +
         (time.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm"));
}

QString DownloadErrorKind(int code) {
  switch (code) {
    case 1:
      return QStringLiteral("Download Unavailable");
    case 2:
      return QStringLiteral("Redirected");
    case 3:
      return QStringLiteral("Zero Bytes Returned");
    case 4:
      return QStringLiteral("File Save Error");
    default:
      return QStringLiteral("Unknown");
  }
}

bool CountsAsSiteFailure(int code) {
  // 99 counts too: every way a server fails here (refused, HTTP error,
  // stalled, too slow, too big, bad certificate) arrives as 99, and a dead
  // feed must reach the failure alert. Redirects and local write errors are
  // not the feed's failure.
  return code == 1 || code == 3 || code == 99;
}

bool FailureAlertDue(qint32 errorCount) {
  return (errorCount >= 5 && errorCount <= 100 && errorCount % 5 == 0) || errorCount > 100;
}

FetchCycle::FetchCycle(AppCore& core, bkDLControl& DL, bkDLControl& dlSys, UpdateCheck& update, QObject* parent)
    : QObject(parent), core_(core), DL_(DL), dlSys_(dlSys), update_(update) {
  tmrCheckQueue_.setSingleShot(true);
  tmrCheckQueue_.setInterval(kCheckQueueMs);
  connect(&tmrCheckQueue_, &QTimer::timeout, this, &FetchCycle::tmrCheckQueue_Timer);
  // A cut feed would replace the site's whole item list with its head.
  DL_.setWholeBodyCheck([](const QByteArray& body) { return FeedRootIsClosed(body); });
  connect(&DL_, &bkDLControl::DLProgress, this, &FetchCycle::DL_DLProgress);
  connect(&DL_, &bkDLControl::DLCanceled, this, &FetchCycle::DL_DLCanceled);
  connect(&DL_, &bkDLControl::DLComplete, this, &FetchCycle::DL_DLComplete);
  connect(&DL_, &bkDLControl::DLError, this, &FetchCycle::DL_DLError);
  connect(&dlSys_, &bkDLControl::DLComplete, this, &FetchCycle::dlSys_DLComplete);
  connect(&dlSys_, &bkDLControl::DLError, this, &FetchCycle::dlSys_DLError);
}

void FetchCycle::setPorts(WindowPresence* window, TrayControl* tray, AlertSink* alerts, StatusPanels* panels,
                          DownloadProgressBar* pBarDL) {
  window_ = window;
  tray_ = tray;
  alerts_ = alerts;
  panels_ = panels;
  pBarDL_ = pBarDL;
}

void FetchCycle::QueueAllFeeds() {
  const SiteTable& sites = core_.sites;
  for (int i = 1; i <= sites.LastIndex(); ++i) {
    if (!sites[i].Disabled) lstDlQueue_.append({sites[i].FeedUrl, i});
  }
  // A round still running keeps going; the new entries wait their turn.
  if (DL_.DownloadActive()) return;

  StartNextDownload();
  core_.checkTimer.StartCheckTimer();
  const QString caption = core_.identity.ProgTitle + QStringLiteral(" (Updated: ") +
                          CaptionTime(core_.clock.now().time()) + u')';
  if (window_) window_->setCaption(caption);
  if (tray_ && panels_) tray_->ChangeTrayTip(caption + kCrLf + panels_->panelText(kMsgPanel));
}

void FetchCycle::StartNextDownload() {
  tmrCheckQueue_.stop();
  if (lstDlQueue_.isEmpty()) {
    update_.StartUpdateCheck();
    if (panels_) {
      panels_->setPanelText(kDlPanel, QString());
      panels_->setPanelImage(kDlPanel, QString());
    }
    Q_EMIT queueDrained();
    return;
  }

  const QueueEntry entry = lstDlQueue_.first();
  const SiteTable& sites = core_.sites;
  if (!sites.IsSiteIndex(entry.number)) {
    core_.debugLog.WriteDebugLog(QStringLiteral("Begin download: ") + entry.text);
  } else {
    const SiteRecord& site = sites[entry.number];
    Q_EMIT siteDownloadStarting();
    core_.activity.LogActivity(QStringLiteral("Downloading ") + site.Title, LogLevel::Info, true);
    core_.debugLog.WriteDebugLog(QStringLiteral("Begin download: ") + site.Title, site.RegName);
  }
  const QString folder = core_.programFolder.AppFolder();
  EnsureFolder(folder);
  DL_.setFileURL(entry.text);
  DL_.setSaveFilePath(folder);
  DL_.setTag(QString::number(entry.number));
  lstDlQueue_.removeFirst();
  // A start that raises no event at all (no address) must not strand the
  // rest of the queue.
  if (!DL_.BeginDownload() && !DL_.DownloadActive()) armCheckQueue();
}

void FetchCycle::tmrCheckQueue_Timer() {
  if (!DL_.DownloadActive()) StartNextDownload();
}

void FetchCycle::armCheckQueue() {
  tmrCheckQueue_.setInterval(kCheckQueueMs);
  tmrCheckQueue_.start();
}

void FetchCycle::DL_DLProgress(float, qint32 bytesRead, qint32 totalBytes) {
  if (!pBarDL_) return;
  const int max = std::max(totalBytes, 1);
  pBarDL_->setProgressMax(max);
  pBarDL_->setProgressValue(std::clamp(bytesRead, 1, max));
}

void FetchCycle::DL_DLCanceled() {
  if (pBarDL_) pBarDL_->setProgressValue(0);
}

void FetchCycle::DL_DLComplete(qint32 bytes) {
  if (pBarDL_) pBarDL_->setProgressValue(0);
  const int idx = DL_.Tag().toInt();
  if (!core_.sites.IsSiteIndex(idx)) {
    core_.debugLog.WriteDebugLog(QStringLiteral("Download Failed: IDX higher than site count: ") +
                                 QString::number(idx));
    // Nothing to parse, but the rest of the queue still has its turn.
    if (bytes > 0) armCheckQueue();
    return;
  }

  SiteRecord& site = core_.sites[idx];
  if (bytes > 0) {
    site.ErrorCount = 0;
    core_.settings.setSiteNumber(site.RegName, setting::SiteErrorCount, 0);
    core_.activity.LogActivity(site.Title + QStringLiteral(" complete (") + FormatSize(DL_.BytesRead()) + u')',
                               LogLevel::Info, true);
    core_.debugLog.WriteDebugLog(QStringLiteral("Downloaded file: ") + DL_.SaveFileName() + QStringLiteral("  Size: ") +
                                     QString::number(DL_.BytesRead()),
                                 site.RegName);
    site.CacheFile = DL_.SaveFileName();
    if (parser_) parser_->ParseFeed(idx);
    armCheckQueue();
    return;
  }
  // A failure: the error handler, which ran just before, has re-armed the queue.
  core_.debugLog.WriteDebugLog(QStringLiteral("Download Failed"), site.RegName);
  core_.activity.LogActivity(site.Title + QStringLiteral(" download failed.  (Error count: ") +
                                 QString::number(site.ErrorCount) + u')',
                             LogLevel::Error, true);
}

void FetchCycle::DL_DLError(qint32 code, const QString& text) {
  if (pBarDL_) pBarDL_->setProgressValue(0);
  const int idx = DL_.Tag().toInt();
  const QString kind = DownloadErrorKind(code);
  if (!core_.sites.IsSiteIndex(idx)) {
    core_.debugLog.WriteDebugLog(QStringLiteral("IDX in DL_DLError was not a site. IDX = ") + QString::number(idx));
    core_.debugLog.WriteDebugLog(QStringLiteral("Download error: ") + kind + QStringLiteral(": ") + text);
    armCheckQueue();
    return;
  }

  SiteRecord& site = core_.sites[idx];
  if (CountsAsSiteFailure(code) && site.ErrorCount < std::numeric_limits<qint32>::max()) ++site.ErrorCount;
  core_.settings.setSiteNumber(site.RegName, setting::SiteErrorCount, site.ErrorCount);
  core_.debugLog.WriteDebugLog(QStringLiteral("Download error: ") + kind + QStringLiteral(": ") + text, site.RegName);
  core_.activity.LogActivity(site.Title + QStringLiteral(" download error: ") + kind + QStringLiteral(": ") + text,
                             LogLevel::Error, true);

  // The current count decides, also for errors that do not raise it.
  if (alerts_ && !core_.settings.flag(setting::DisableErrorAlert) && FailureAlertDue(site.ErrorCount)) {
    alerts_->ShowAlert(site.Title + kCrLf + QStringLiteral("has failed to download") + kCrLf +
                           QString::number(site.ErrorCount) + QStringLiteral(" times in succession.") + kCrLf +
                           QStringLiteral("Please check the feed!"),
                       QStringLiteral("Error encountered..."), 0, false);
  }
  armCheckQueue();
}

void FetchCycle::dlSys_DLComplete(qint32 bytes) {
  const int sysIdx = dlSys_.Tag().toInt();
  if (bytes > 0 && sysIdx == UpdateCheck::kVersionFileTag) {
    update_.CompareVersionFile(dlSys_.SaveFileName());
  } else if (bytes > 0) {
    core_.debugLog.WriteDebugLog(QStringLiteral("IDX in dlSys_DLComplete unknown. sysIDX = ") + QString::number(sysIdx));
  } else {
    core_.debugLog.WriteDebugLog(QStringLiteral("Download Failed. SysIDX=") + QString::number(sysIdx));
  }
}

void FetchCycle::dlSys_DLError(qint32 code, const QString& text) {
  const int sysIdx = dlSys_.Tag().toInt();
  core_.debugLog.WriteDebugLog(QStringLiteral("sysIDX in dlSys_DLError. sysIDX = ") + QString::number(sysIdx));
  core_.debugLog.WriteDebugLog(QStringLiteral("sysIDX Download error: ") + DownloadErrorKind(code) +
                               QStringLiteral(": ") + text);
}

}  // namespace tw
