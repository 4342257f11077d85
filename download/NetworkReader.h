#pragma once

#include "download/UrlReader.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;

namespace tw {

// Limits that keep one transfer from hanging the feed queue or filling
// memory: a server that stops sending, one that trickles, one that sends too
// much, and one that keeps redirecting all end as a failed transfer.
struct TransferLimits {
  int noProgressMs = 30000;
  int totalMs = 120000;
  qint64 maxBytes = 20 * 1024 * 1024;
  int maxRedirects = 5;
};

// The URL read over HTTP and HTTPS, on the thread that owns it, always from
// the server. Redirects are not followed by the network layer but reported,
// and followed only when the control lets the read go on, so it can apply its
// redirect rules; a redirect never leaves http or https. TLS errors are
// failures. The body is counted as it arrives and the read ends as soon as it
// passes the size cap (after gzip or deflate decoding, so a decompression
// bomb fails too). A body shorter than its announced length is a failure,
// and so is one without a length that fails the owner's check.
class NetworkReader : public UrlReader {
  Q_OBJECT

 public:
  explicit NetworkReader(TransferLimits limits = {}, QObject* parent = nullptr);
  ~NetworkReader() override;

  bool startRead(const QString& url, StartError* error) override;
  void cancelRead() override;
  int deadlineMs() const override { return limits_.totalMs; }

  const TransferLimits& limits() const { return limits_; }

 private:
  void request(const QUrl& url);
  void onMetaData();
  void onReadyRead();
  void onFinished();
  void onError(QNetworkReply::NetworkError code);
  void failWithReplyError(QNetworkReply::NetworkError code);
  QString cutShortText() const;
  bool handleHeaders();
  void fail(QString text);
  void stop();
  void dropReply();
  // Emits a report; false when the receiver ended this read meanwhile.
  bool report(int code, const QString& text, qint64 bytes, qint64 total);

  TransferLimits limits_;
  QNetworkAccessManager* manager_;
  QPointer<QNetworkReply> reply_;
  QTimer noProgress_;
  QTimer deadline_;
  QUrl url_;
  QByteArray body_;
  qint64 total_ = 0;
  // Set when the server answered with an error status.
  QString httpError_;
  int hops_ = 0;
  bool running_ = false;
  bool headersDone_ = false;
  bool dataBegun_ = false;
  // Changes whenever a read starts or ends, so an emit can tell whether the
  // receiver stopped the read from inside its handler.
  quint64 generation_ = 0;
};

}  // namespace tw
