#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>
#include <QTimer>

class QTcpServer;
class QTcpSocket;

namespace tw::demo {

// How the server answers for one file.
struct Behaviour {
  enum class Kind {
    Ok,        // the document
    Fail,      // an HTTP error status
    Redirect,  // 302 to target (default: the same file under "moved/")
    Stall,     // reads the request, never answers
    Trickle,   // announces the length, then one byte every intervalMs
    Empty,     // 200 with an empty body
    Oversize,  // bytes of filler
    Bomb,      // bytes of zeros, deflate-compressed (a few kilobytes on the wire)
  };
  Kind kind = Kind::Ok;
  int status = 500;
  QString target;
  int intervalMs = 100;
  qint64 bytes = 0;
  bool announceLength = true;

  static Behaviour Fail(int status) { return make(Kind::Fail, [&](Behaviour& b) { b.status = status; }); }
  static Behaviour Redirect(const QString& target = {}) {
    return make(Kind::Redirect, [&](Behaviour& b) { b.target = target; });
  }
  static Behaviour Stall() { return make(Kind::Stall, [](Behaviour&) {}); }
  static Behaviour Trickle(int ms) { return make(Kind::Trickle, [&](Behaviour& b) { b.intervalMs = ms; }); }
  static Behaviour Empty() { return make(Kind::Empty, [](Behaviour&) {}); }
  static Behaviour Oversize(qint64 bytes, bool announce) {
    return make(Kind::Oversize, [&](Behaviour& b) {
      b.bytes = bytes;
      b.announceLength = announce;
    });
  }
  static Behaviour Bomb(qint64 bytes) { return make(Kind::Bomb, [&](Behaviour& b) { b.bytes = bytes; }); }

 private:
  template <typename F>
  static Behaviour make(Kind kind, F&& fill) {
    Behaviour b;
    b.kind = kind;
    fill(b);
    return b;
  }
};

// A small HTTP/1.1 server for the offline demo and the tests: serves the 17
// demo feeds and a version file under one base path on 127.0.0.1, and can
// fail, redirect, stall, trickle or send nothing for any file. Feeds can gain
// new items while it runs. One request per connection.
class DemoFeedServer : public QObject {
  Q_OBJECT

 public:
  explicit DemoFeedServer(QString basePath = QStringLiteral("/feeds"), QObject* parent = nullptr);
  ~DemoFeedServer() override;

  // port 0 picks a free one. With a certificate the server speaks TLS only.
  bool listen(quint16 port = 0);
  void useTls(const QSslCertificate& certificate, const QSslKey& key);
  quint16 port() const;
  // "http://127.0.0.1:<port>/feeds" (https with TLS).
  QString baseUrl() const;
  QString urlOf(const QString& file) const { return baseUrl() + u'/' + file; }
  // Where the feeds' pictures are served: "<base url>/pictures/".
  QString pictureBase() const;

  void setBehaviour(const QString& file, const Behaviour& behaviour) { behaviours_[file] = behaviour; }
  void clearBehaviour(const QString& file) { behaviours_.remove(file); }
  // Replaces what a file serves (any name under the base path).
  void setDocument(const QString& file, const QByteArray& body) { documents_[file] = body; }

  int itemCount(int site) const;
  void addItems(int site, int count);
  // Feeds keep the length they start with: a new item pushes the oldest out,
  // as on a real site. Off, a feed lists every item it ever had.
  void setFixedLength(bool fixed) { fixedLength_ = fixed; }
  // Adds one item every intervalMs, to the sites in turn; 0 stops.
  void addItemsEvery(int intervalMs);

  void setVersion(const QString& version) { version_ = version; }

  // Paths of the requests received, in order ("/feeds/xbins.xml").
  const QStringList& requests() const { return requests_; }
  // A long run would keep every path it was ever asked for.
  void clearRequests() { requests_.clear(); }
  int requestCount(const QString& file) const;

 Q_SIGNALS:
  void requestReceived(const QString& path);
  void itemsAdded(int site, int itemCount);

 private:
  void onNewConnection();
  void onReadable(QTcpSocket* socket);
  void respond(QTcpSocket* socket, const QString& path);
  void send(QTcpSocket* socket, int status, const QByteArray& headers, const QByteArray& body);
  void trickle(QTcpSocket* socket, const QByteArray& body, int intervalMs);
  QByteArray documentFor(const QString& file) const;

  QString basePath_;
  QTcpServer* server_ = nullptr;
  QSslCertificate certificate_;
  QSslKey key_;
  QHash<QString, Behaviour> behaviours_;
  QHash<QString, QByteArray> documents_;
  QHash<int, int> extraItems_;
  bool fixedLength_ = false;
  QString version_ = QStringLiteral("1.00.0311");
  QStringList requests_;
  QTimer adder_;
  int nextSite_ = 1;
};

}  // namespace tw::demo
