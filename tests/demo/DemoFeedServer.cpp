#include "DemoFeedServer.h"

#include "DemoFeeds.h"

#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace tw::demo {
namespace {

constexpr qsizetype kMaxRequestBytes = 16 * 1024;
const char* const kRequestBuffer = "requestBuffer";

QByteArray Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Status";
  }
}

const QString kPictures = QStringLiteral("pictures/");

QByteArray ContentType(const QString& file) {
  if (file.endsWith(QLatin1String(".txt"))) return "text/plain";
  if (file.endsWith(QLatin1String(".bmp"))) return "image/bmp";
  return "application/rss+xml";
}

QByteArray ErrorPage(int status) {
  return "<html><head><title>" + QByteArray::number(status) + ' ' + Reason(status) + "</title></head><body><h1>" +
         Reason(status) + "</h1><p>The demo server was told to fail this file.</p></body></html>\n";
}

}  // namespace

DemoFeedServer::DemoFeedServer(QString basePath, QObject* parent) : QObject(parent), basePath_(std::move(basePath)) {
  while (basePath_.endsWith(u'/')) basePath_.chop(1);
  if (!basePath_.startsWith(u'/')) basePath_.prepend(u'/');
  connect(&adder_, &QTimer::timeout, this, [this] {
    addItems(nextSite_, 1);
    nextSite_ = nextSite_ % kDemoSiteCount + 1;
  });
}

DemoFeedServer::~DemoFeedServer() = default;

void DemoFeedServer::useTls(const QSslCertificate& certificate, const QSslKey& key) {
  certificate_ = certificate;
  key_ = key;
}

bool DemoFeedServer::listen(quint16 port) {
  if (!certificate_.isNull()) {
    auto* tls = new QSslServer(this);
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(certificate_);
    config.setPrivateKey(key_);
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls->setSslConfiguration(config);
    server_ = tls;
  } else {
    server_ = new QTcpServer(this);
  }
  connect(server_, &QTcpServer::pendingConnectionAvailable, this, &DemoFeedServer::onNewConnection);
  return server_->listen(QHostAddress::LocalHost, port);
}

quint16 DemoFeedServer::port() const { return server_ ? server_->serverPort() : 0; }

QString DemoFeedServer::pictureBase() const { return urlOf(kPictures); }

QString DemoFeedServer::baseUrl() const {
  const QString scheme = certificate_.isNull() ? QStringLiteral("http") : QStringLiteral("https");
  return scheme + QStringLiteral("://127.0.0.1:") + QString::number(port()) + basePath_;
}

int DemoFeedServer::itemCount(int site) const {
  return DemoSiteAt(site).initialItems + extraItems_.value(site);
}

void DemoFeedServer::addItems(int site, int count) {
  if (site < 1 || site > kDemoSiteCount || count <= 0) return;
  extraItems_[site] += count;
  Q_EMIT itemsAdded(site, itemCount(site));
}

void DemoFeedServer::addItemsEvery(int intervalMs) {
  if (intervalMs <= 0) {
    adder_.stop();
    return;
  }
  adder_.start(intervalMs);
}

int DemoFeedServer::requestCount(const QString& file) const {
  return static_cast<int>(requests_.count(basePath_ + u'/' + file));
}

void DemoFeedServer::onNewConnection() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
  }
}

void DemoFeedServer::onReadable(QTcpSocket* socket) {
  QByteArray buffer = socket->property(kRequestBuffer).toByteArray() + socket->readAll();
  const qsizetype end = buffer.indexOf("\r\n\r\n");
  if (end < 0) {
    if (buffer.size() > kMaxRequestBytes) {
      socket->abort();
      return;
    }
    socket->setProperty(kRequestBuffer, buffer);
    return;
  }
  // One request per connection: whatever follows is ignored.
  disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
  const QList<QByteArray> line = buffer.left(buffer.indexOf("\r\n")).split(' ');
  if (line.size() != 3) {
    send(socket, 400, {}, ErrorPage(400));
    return;
  }
  if (line[0] != "GET" && line[0] != "HEAD") {
    send(socket, 405, "Allow: GET, HEAD\r\n", ErrorPage(405));
    return;
  }
  respond(socket, QUrl::fromEncoded(line[1]).path());
}

QByteArray DemoFeedServer::documentFor(const QString& file) const {
  const auto it = documents_.constFind(file);
  if (it != documents_.constEnd()) return *it;
  if (file == QLatin1String("version.txt")) return BuildVersionFile(version_);
  if (file.startsWith(kPictures)) return DemoPicture(file.mid(kPictures.size()));
  const int site = DemoSiteIndexOf(file);
  if (site == 0) return {};
  return BuildFeed(site, itemCount(site), pictureBase(), fixedLength_ ? extraItems_.value(site) + 1 : 1);
}

void DemoFeedServer::respond(QTcpSocket* socket, const QString& path) {
  requests_ << path;
  Q_EMIT requestReceived(path);

  const QString prefix = basePath_ + u'/';
  QString file = path.startsWith(prefix) ? path.mid(prefix.size()) : QString();
  const bool moved = file.startsWith(QLatin1String("moved/"));
  if (moved) file = file.mid(6);
  const QByteArray document = file.isEmpty() ? QByteArray() : documentFor(file);
  if (document.isNull()) {
    send(socket, 404, "Content-Type: text/html\r\n", ErrorPage(404));
    return;
  }

  const Behaviour b = moved ? Behaviour{} : behaviours_.value(file);
  const QByteArray type = "Content-Type: " + ContentType(file) + "\r\n";
  switch (b.kind) {
    case Behaviour::Kind::Ok:
      send(socket, 200, type, document);
      break;
    case Behaviour::Kind::Fail:
      send(socket, b.status, "Content-Type: text/html\r\n", ErrorPage(b.status));
      break;
    case Behaviour::Kind::Redirect: {
      const QString target = b.target.isEmpty() ? urlOf(QStringLiteral("moved/") + file) : b.target;
      send(socket, 302, "Location: " + target.toUtf8() + "\r\n", {});
      break;
    }
    case Behaviour::Kind::Stall:
      break;
    case Behaviour::Kind::Trickle:
      socket->setProperty("trickleBody", document);
      trickle(socket, type + "Content-Length: " + QByteArray::number(document.size()) + "\r\n", b.intervalMs);
      break;
    case Behaviour::Kind::Empty:
      send(socket, 200, type, QByteArray(""));
      break;
    case Behaviour::Kind::Oversize: {
      const QByteArray body(b.bytes, 'x');
      if (b.announceLength) {
        send(socket, 200, type, body);
      } else {
        // No length: the end of the body is the end of the connection.
        socket->write("HTTP/1.1 200 OK\r\n" + type + "Connection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
      }
      break;
    }
    case Behaviour::Kind::Bomb: {
      // qCompress writes a four-byte length before the zlib stream.
      const QByteArray packed = qCompress(QByteArray(b.bytes, '\0'), 9).mid(4);
      send(socket, 200, type + "Content-Encoding: deflate\r\n", packed);
      break;
    }
  }
}

void DemoFeedServer::send(QTcpSocket* socket, int status, const QByteArray& headers, const QByteArray& body) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n" + headers;
  head += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
  socket->write(head + body);
  socket->disconnectFromHost();
}

void DemoFeedServer::trickle(QTcpSocket* socket, const QByteArray& headers, int intervalMs) {
  socket->write("HTTP/1.1 200 OK\r\n" + headers + "Connection: close\r\n\r\n");
  auto* timer = new QTimer(socket);
  connect(timer, &QTimer::timeout, socket, [socket, timer] {
    const QByteArray body = socket->property("trickleBody").toByteArray();
    const qsizetype sent = socket->property("trickleSent").toLongLong();
    if (sent >= body.size()) {
      timer->stop();
      socket->disconnectFromHost();
      return;
    }
    socket->write(body.mid(sent, 1));
    socket->setProperty("trickleSent", sent + 1);
  });
  timer->start(intervalMs);
}

}  // namespace tw::demo
