#include "download/NetworkReader.h"

#include "core/FeedEndpoints.h"
#include "core/TextFormat.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <limits>

namespace tw {
namespace {

// Qt buffers at most this much of a body before we take it, so the cap holds
// whatever the server sends.
constexpr qint64 kReadBufferBytes = 64 * 1024;
constexpr int kProtocolUnknown = QNetworkReply::ProtocolUnknownError;

QString Duration(int ms) {
  if (ms % 1000 == 0) return QString::number(ms / 1000) + QStringLiteral(" s");
  if (ms < 1000) return QString::number(ms) + QStringLiteral(" ms");
  return QString::number(ms / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QString Size(qint64 bytes) {
  return FormatSize(static_cast<qint32>(std::min<qint64>(bytes, std::numeric_limits<qint32>::max())));
}

QString HostText(const QUrl& url) {
  return url.port() < 0 ? url.host() : url.host() + u':' + QString::number(url.port());
}

}  // namespace

NetworkReader::NetworkReader(TransferLimits limits, QObject* parent)
    : UrlReader(parent), limits_(limits), manager_(new QNetworkAccessManager(this)) {
  manager_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
  noProgress_.setSingleShot(true);
  noProgress_.setInterval(limits_.noProgressMs);
  deadline_.setSingleShot(true);
  deadline_.setInterval(limits_.totalMs);
  connect(&noProgress_, &QTimer::timeout, this, [this] {
    fail(QStringLiteral("No data for %1 from %2; the transfer was stopped")
             .arg(Duration(limits_.noProgressMs), url_.toDisplayString()));
  });
  connect(&deadline_, &QTimer::timeout, this, [this] {
    fail(QStringLiteral("The transfer from %1 did not finish within %2 and was stopped")
             .arg(url_.toDisplayString(), Duration(limits_.totalMs)));
  });
}

NetworkReader::~NetworkReader() { stop(); }

bool NetworkReader::startRead(const QString& url, StartError* error) {
  stop();
  const QUrl target(url);
  if (!target.isValid() || target.host().isEmpty() || !FeedEndpoints::IsFetchableUrl(url)) {
    if (error) {
      error->number = kProtocolUnknown;
      error->description = QStringLiteral("Only http and https addresses can be downloaded: ") + url;
    }
    return false;
  }
  running_ = true;
  ++generation_;
  body_.clear();
  total_ = 0;
  hops_ = 0;
  dataBegun_ = false;
  url_ = target;
  deadline_.start();
  noProgress_.start();
  // Reports reach the control through the event loop, never from inside
  // this call, even the first one.
  const quint64 generation = generation_;
  QTimer::singleShot(0, this, [this, generation, target] {
    if (generation == generation_ && running_) request(target);
  });
  return true;
}

void NetworkReader::cancelRead() { stop(); }

void NetworkReader::stop() {
  running_ = false;
  ++generation_;
  noProgress_.stop();
  deadline_.stop();
  dropReply();
  body_.clear();
  httpError_.clear();
}

void NetworkReader::dropReply() {
  if (!reply_) return;
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  reply->disconnect(this);
  // A reply that has already failed is past aborting (Qt complains).
  if (!reply->isFinished() && reply->error() == QNetworkReply::NoError) reply->abort();
  reply->deleteLater();
}

bool NetworkReader::report(int code, const QString& text, qint64 bytes, qint64 total) {
  const quint64 generation = generation_;
  QPointer<NetworkReader> self(this);
  Q_EMIT statusReport(StatusReport{code, text, bytes, total, {}});
  return self && generation == generation_ && running_;
}

void NetworkReader::fail(QString text) {
  const qint64 bytes = body_.size();
  const qint64 total = total_;
  stop();
  Q_EMIT statusReport(StatusReport{bindstatus::Failure, text, bytes, total, text});
}

void NetworkReader::request(const QUrl& url) {
  url_ = url;
  headersDone_ = false;
  httpError_.clear();
  if (!report(bindstatus::Connecting, HostText(url), 0, 0)) return;

  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tidewire"));
  QNetworkReply* reply = manager_->get(request);
  reply->setReadBufferSize(kReadBufferBytes);
  reply_ = reply;
  connect(reply, &QNetworkReply::metaDataChanged, this, &NetworkReader::onMetaData);
  connect(reply, &QNetworkReply::readyRead, this, &NetworkReader::onReadyRead);
  connect(reply, &QNetworkReply::finished, this, &NetworkReader::onFinished);
  // Some errors are reported long before the reply finishes, if ever: a
  // body that fails to decompress stops arriving, and the transfer would
  // only end by the no-progress limit.
  connect(reply, &QNetworkReply::errorOccurred, this, &NetworkReader::onError);
  // sslErrors is left alone on purpose: an unanswered TLS error aborts the
  // reply, which then finishes with the handshake error.
}

void NetworkReader::onMetaData() {
  if (!headersDone_) handleHeaders();
}

bool NetworkReader::handleHeaders() {
  headersDone_ = true;
  noProgress_.start();
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status >= 300 && status < 400) {
    const QByteArray location = reply_->rawHeader("Location");
    if (location.isEmpty()) {
      fail(QStringLiteral("HTTP %1 without a new address from %2").arg(status).arg(url_.toDisplayString()));
      return false;
    }
    const QUrl target = url_.resolved(QUrl::fromEncoded(location));
    dropReply();
    if (!report(bindstatus::Redirecting, target.toString(), 0, 0)) return false;
    // The control lets the read go on: follow, but never off http or https
    // and never round and round.
    if (!FeedEndpoints::IsFetchableUrl(target.toString()) || target.host().isEmpty()) {
      fail(QStringLiteral("Redirect to an address that is not http or https refused: ") + target.toString());
      return false;
    }
    if (++hops_ > limits_.maxRedirects) {
      fail(QStringLiteral("More than %1 redirects from %2; the transfer was stopped")
               .arg(limits_.maxRedirects)
               .arg(url_.toDisplayString()));
      return false;
    }
    request(target);
    return false;
  }
  if (status < 200 || status >= 300) {
    // The error page is let run out (its bytes are dropped) and the read
    // fails when the reply finishes: Qt objects to aborting a reply whose
    // own error is already on its way.
    const QString reason = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    httpError_ = QStringLiteral("HTTP %1 %2 from %3").arg(status).arg(reason, url_.toDisplayString());
    return false;
  }

  const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
  total_ = length.isValid() ? length.toLongLong() : 0;
  if (total_ > limits_.maxBytes) {
    fail(QStringLiteral("The document at %1 is %2, more than the %3 a download may have")
             .arg(url_.toDisplayString(), Size(total_), Size(limits_.maxBytes)));
    return false;
  }
  const QString type = reply_->header(QNetworkRequest::ContentTypeHeader).toString();
  if (!type.isEmpty() && !report(bindstatus::MimeTypeAvailable, type, 0, total_)) return false;
  return true;
}

void NetworkReader::onReadyRead() {
  if (!reply_) return;
  if (!headersDone_ && !handleHeaders() && httpError_.isEmpty()) return;
  if (!httpError_.isEmpty()) {
    reply_->readAll();
    return;
  }
  const QByteArray chunk = reply_->readAll();
  if (chunk.isEmpty()) return;
  if (body_.size() + chunk.size() > limits_.maxBytes) {
    fail(QStringLiteral("The document at %1 is larger than the %2 a download may have; the transfer was stopped")
             .arg(url_.toDisplayString(), Size(limits_.maxBytes)));
    return;
  }
  body_.append(chunk);
  noProgress_.start();
  if (!dataBegun_) {
    dataBegun_ = true;
    if (!report(bindstatus::BeginDownloadData, url_.toString(), body_.size(), total_)) return;
  }
  report(bindstatus::DownloadingData, url_.toString(), body_.size(), total_);
}

QString NetworkReader::cutShortText() const {
  return QStringLiteral("Connection closed before the whole feed arrived (%1 of %2 bytes from %3)")
      .arg(body_.size())
      .arg(total_ > 0 ? QString::number(total_) : QStringLiteral("?"), url_.toDisplayString());
}

void NetworkReader::onError(QNetworkReply::NetworkError code) {
  // An error page is let run out; its read fails when it finishes.
  if (!reply_ || !httpError_.isEmpty()) return;
  failWithReplyError(code);
}

void NetworkReader::failWithReplyError(QNetworkReply::NetworkError code) {
  if (code == QNetworkReply::UnknownContentError && reply_->hasRawHeader("Content-Encoding")) {
    fail(QStringLiteral("The document from %1 could not be decompressed: it is damaged or grows far beyond its "
                        "size on the wire; the transfer was stopped")
             .arg(url_.toDisplayString()));
  } else if (code == QNetworkReply::RemoteHostClosedError && headersDone_) {
    fail(cutShortText());
  } else {
    fail(reply_->errorString());
  }
}

void NetworkReader::onFinished() {
  if (!reply_) return;
  if (!headersDone_ && reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 0 &&
      !handleHeaders() && httpError_.isEmpty()) {
    return;  // ended, or followed a redirect
  }
  if (!httpError_.isEmpty()) {
    fail(httpError_);
    return;
  }
  if (reply_->error() != QNetworkReply::NoError) {
    failWithReplyError(reply_->error());
    return;
  }
  if (!headersDone_ && !handleHeaders()) return;
  onReadyRead();
  if (!running_ || !reply_) return;
  // Qt may end a reply whose connection broke mid-body as if it were whole
  // (after sending the request again, too): only the announced length
  // tells, or without one (Qt also drops it when it decodes a compressed
  // body) the owner's look at the content.
  const WholeBodyCheck& whole = wholeBodyCheck();
  if (total_ > 0 ? body_.size() != total_ : !body_.isEmpty() && whole && !whole(body_)) {
    fail(cutShortText());
    return;
  }
  if (dataBegun_ && !report(bindstatus::EndDownloadData, url_.toString(), body_.size(), total_)) return;

  QByteArray body = std::move(body_);
  stop();
  Q_EMIT readCompleted(body.size(), body);
}

}  // namespace tw
