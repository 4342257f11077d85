// The HTTP reader against servers that misbehave at the socket: a body cut
// off by a reset or an early close, whatever Qt makes of it (it may send the
// request again on a fresh connection), and a decompression bomb under the
// program's real size cap.
#include "ControlEventLog.h"
#include "download/NetworkReader.h"
#include "download/bkDLControl.h"
#include "news/FeedRootCheck.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/socket.h>

namespace tw {
namespace {

using test::ControlEventLog;

// Answers every request with one canned response, sent at once: the head
// and the body, or only the body's first stopAfter bytes. Then the
// connection ends, by a TCP reset or an orderly close, or stays open as a
// keep-alive server leaves it.
class RawServer : public QObject {
 public:
  enum class End { Reset, Close, KeepOpen };

  RawServer(const QByteArray& headers, const QByteArray& body, qint64 stopAfter, End end)
      : head_("HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\n" + headers + "\r\n"),
        body_(body.left(stopAfter)),
        end_(end) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
      }
    });
  }
  bool listen() { return server_.listen(QHostAddress::LocalHost); }
  QString url() const { return QStringLiteral("http://127.0.0.1:%1/feeds/xbins.xml").arg(server_.serverPort()); }
  void setEndDelay(int ms) { endDelayMs_ = ms; }

 private:
  void answer(QTcpSocket* socket) {
    if (!socket->readAll().contains("\r\n\r\n")) return;
    socket->disconnect(this);
    socket->write(head_);
    socket->write(body_);
    socket->flush();
    if (end_ == End::KeepOpen) return;
    // Later, so the client has read what was sent.
    QTimer::singleShot(endDelayMs_, socket, [this, socket] {
      if (end_ == End::Reset) {
        const linger abortive{1, 0};
        setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        socket->abort();
      } else {
        socket->disconnectFromHost();
      }
      socket->deleteLater();
    });
  }

  QTcpServer server_;
  QByteArray head_;
  QByteArray body_;
  End end_;
  int endDelayMs_ = 100;
};

// Announces 20,000 bytes and sends 5,000.
RawServer CutServer(RawServer::End end) {
  return RawServer("Content-Length: 20000\r\n", QByteArray(20000, 'x'), 5000, end);
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class HostileServerTest : public ::testing::Test {
 protected:
  explicit HostileServerTest(TransferLimits limits = {}) : dl(new NetworkReader(limits)), log(dl) {
    QFile old(dir.filePath(QStringLiteral("xbins.xml")));
    if (old.open(QIODevice::WriteOnly)) old.write(kOldFeed.data(), kOldFeed.size());
  }

  void fetch(const QString& url) {
    dl.setFileURL(url);
    dl.setSaveFilePath(dir.path());
    ASSERT_TRUE(dl.BeginDownload());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dl.DownloadActive(); }, 20000)) << qPrintable(log.events.join(u'\n'));
  }
  QString error() const {
    const qsizetype i = log.names().lastIndexOf(QStringLiteral("DLError"));
    return i < 0 ? QString() : log.events.at(i);
  }
  QByteArray savedFeed() const { return ReadAll(dir.filePath(QStringLiteral("xbins.xml"))); }

  static constexpr QByteArrayView kOldFeed = "<rss>the previous feed</rss>";
  QTemporaryDir dir;
  bkDLControl dl;
  ControlEventLog log;
};

TEST_F(HostileServerTest, ABodyCutOffByAResetIsAFailedDownloadAndKeepsTheOldFile) {
  RawServer server = CutServer(RawServer::End::Reset);
  ASSERT_TRUE(server.listen());
  // Whether Qt gives up at once or first sends the request again, the
  // outcome must be the same every time.
  for (int round = 0; round < 3; ++round) {
    log.events.clear();
    fetch(server.url());
    EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 Connection closed before the whole feed arrived")))
        << qPrintable(log.events.join(u'\n'));
    EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 0"));
    EXPECT_EQ(savedFeed(), kOldFeed.toByteArray());
  }
}

TEST_F(HostileServerTest, ABodyShorterThanItsLengthIsAFailedDownloadAndKeepsTheOldFile) {
  RawServer server = CutServer(RawServer::End::Close);
  ASSERT_TRUE(server.listen());
  fetch(server.url());
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 Connection closed before the whole feed arrived")))
      << qPrintable(log.events.join(u'\n'));
  EXPECT_TRUE(error().contains(QLatin1String("5000 of 20000 bytes"))) << qPrintable(error());
  EXPECT_EQ(savedFeed(), kOldFeed.toByteArray());
}

// A 5 kb feed sent without a length, chunked or ended by the connection, while
// this thread (the control's and the server's) seldom gets to its event loop:
// cut by a reset again and again, then whole.
TEST_F(HostileServerTest, AFeedWithoutALengthCutByAResetIsAFailedDownloadEvenWhenBusy) {
  dl.setWholeBodyCheck([](const QByteArray& body) { return FeedRootIsClosed(body); });
  QTimer busy;
  QObject::connect(&busy, &QTimer::timeout, [] { QThread::usleep(3000); });
  busy.start(1);
  QByteArray feed = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel>\n";
  for (int i = 0; i < 135; ++i) feed += "<item><title>Item " + QByteArray::number(i) + "</title></item>\n";
  feed += "</channel></rss>\n<!-- 12 ms -->\n";
  const QString cutLine =
      QStringLiteral("DLError 99 Connection closed before the whole feed arrived (%1 of ? bytes from %2)");
  for (const bool chunked : {true, false}) {
    for (int round = 0; round <= 60; ++round) {
      const bool whole = round == 60;
      const QByteArray body = whole ? feed : feed.left(feed.size() * (1 + round % 9) / 10);
      QByteArray sent = chunked ? QByteArray() : body;
      for (qsizetype at = 0; chunked && at < body.size(); at += 700) {
        sent += QByteArray::number(body.mid(at, 700).size(), 16) + "\r\n" + body.mid(at, 700) + "\r\n";
      }
      if (chunked && whole) sent += "0\r\n\r\n";
      RawServer server(chunked ? "Transfer-Encoding: chunked\r\n" : "Connection: close\r\n", sent, sent.size(),
                       whole && !chunked ? RawServer::End::Close : RawServer::End::Reset);
      server.setEndDelay(round % 4 * 5);
      ASSERT_TRUE(server.listen());
      const QByteArray before = savedFeed();
      log.events.clear();
      fetch(server.url());
      const QString context = QStringLiteral("chunked %1, round %2\n").arg(chunked).arg(round) + log.events.join(u'\n');
      EXPECT_EQ(error(), whole ? QString() : cutLine.arg(body.size()).arg(server.url())) << qPrintable(context);
      EXPECT_EQ(savedFeed(), whole ? feed : before) << qPrintable(context);
    }
  }
}

// The real cap (20 MB) and a short no-progress limit. 128 MB of zeros travel
// as some 130 kb: Qt gives up decoding them early and then never finishes the
// reply. The bomb must end at once as what it is, not as a silent server.
class BombTest : public HostileServerTest {
 protected:
  static TransferLimits Limits() {
    TransferLimits limits;
    limits.noProgressMs = 4000;
    limits.totalMs = 20000;
    return limits;
  }
  BombTest() : HostileServerTest(Limits()) {}
};

TEST_F(BombTest, ADecompressionBombEndsAtOnceAsADecodingFailure) {
  // qCompress writes a four-byte length before the zlib stream.
  // qCompress writes a four-byte length before the zlib stream.
  const QByteArray bomb = qCompress(QByteArray(qint64{128} * 1024 * 1024, '\0'), 9).mid(4);
  RawServer server("Content-Encoding: deflate\r\nContent-Length: " + QByteArray::number(bomb.size()) + "\r\n", bomb,
                   bomb.size(), RawServer::End::KeepOpen);
  ASSERT_TRUE(server.listen());
  QElapsedTimer clock;
  clock.start();
  fetch(server.url());
  EXPECT_LT(clock.elapsed(), 3000) << qPrintable(error());
  EXPECT_FALSE(error().contains(QLatin1String("No data"))) << qPrintable(error());
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 "))) << qPrintable(error());
  EXPECT_EQ(savedFeed(), kOldFeed.toByteArray());
}

}  // namespace
}  // namespace tw
