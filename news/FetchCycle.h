#pragma once

#include "core/EngineHooks.h"

#include <QObject>
#include <QString>
#include <QTime>
#include <QTimer>
#include <QVector>

namespace tw {

class AlertSink;
class DownloadProgressBar;
class StatusPanels;
class TrayControl;
class UpdateCheck;
class WindowPresence;
class bkDLControl;
struct AppCore;

// "9:05 pm": the time in the window caption after a check.
QString CaptionTime(const QTime& time);

// Download error code as the activity list names it, and whether it counts
// as one more failure of the site.
QString DownloadErrorKind(int code);
bool CountsAsSiteFailure(int code);
// Whether the failure alert is due at this many failures in succession.
bool FailureAlertDue(qint32 errorCount);

// The check of every feed: queues the enabled sites, works the queue off one
// download at a time through DL, hands each saved feed to the parser, counts
// failures per site with an alert now and then, and starts the update check
// when the queue runs dry. Every end of a download re-arms tmrCheckQueue,
// whose tick starts the next one, so a failing site never stops the round.
class FetchCycle : public QObject, public FeedChecker {
  Q_OBJECT

 public:
  static constexpr int kCheckQueueMs = 200;

  struct QueueEntry {
    QString text;  // the address to fetch
    qint32 number = 0;  // the site index
  };

  FetchCycle(AppCore& core, bkDLControl& DL, bkDLControl& dlSys, UpdateCheck& update, QObject* parent = nullptr);

  void setPorts(WindowPresence* window, TrayControl* tray, AlertSink* alerts, StatusPanels* panels,
                DownloadProgressBar* pBarDL);
  void setFeedParsing(FeedParsing* parser) { parser_ = parser; }

  void QueueAllFeeds() override;
  void StartNextDownload();

  const QVector<QueueEntry>& lstDlQueue() const { return lstDlQueue_; }
  const QTimer& tmrCheckQueue() const { return tmrCheckQueue_; }

 Q_SIGNALS:
  // The queue ran dry and the update check has been asked to run.
  void queueDrained();
  // A site's feed is about to be fetched; its transfer's end follows.
  void siteDownloadStarting();

 private:
  void tmrCheckQueue_Timer();
  void armCheckQueue();
  void DL_DLProgress(float percent, qint32 bytesRead, qint32 totalBytes);
  void DL_DLCanceled();
  void DL_DLComplete(qint32 bytes);
  void DL_DLError(qint32 code, const QString& text);
  void dlSys_DLComplete(qint32 bytes);
  void dlSys_DLError(qint32 code, const QString& text);

  AppCore& core_;
  bkDLControl& DL_;
  bkDLControl& dlSys_;
  UpdateCheck& update_;
  FeedParsing* parser_ = nullptr;
  WindowPresence* window_ = nullptr;
  TrayControl* tray_ = nullptr;
  AlertSink* alerts_ = nullptr;
  StatusPanels* panels_ = nullptr;
  DownloadProgressBar* pBarDL_ = nullptr;
  QVector<QueueEntry> lstDlQueue_;
  QTimer tmrCheckQueue_;
};

}  // namespace tw
