#include "ControlEventLog.h"
#include "DemoFeedServer.h"
#include "DemoFeeds.h"
#include "download/NetworkReader.h"
#include "download/bkDLControl.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using demo::Behaviour;
using demo::DemoFeedServer;
using test::ControlEventLog;

// Short limits so the failures come quickly; the real ones are 30 s, 120 s
// and 20 MB.
TransferLimits TestLimits() {
  TransferLimits limits;
  limits.noProgressMs = 1000;
  limits.totalMs = 3000;
  limits.maxBytes = 64 * 1024;
  return limits;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class NetworkReaderTest : public ::testing::Test {
 protected:
  NetworkReaderTest() : dl(new NetworkReader(TestLimits())), log(dl) {}

  void SetUp() override { ASSERT_TRUE(server.listen()); }

  // Downloads the URL into the temporary folder and waits for the end.
  void fetch(const QString& url) {
    dl.setFileURL(url);
    dl.setSaveFilePath(dir.path());
    ASSERT_TRUE(dl.BeginDownload()) << qPrintable(url);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dl.DownloadActive(); }, 10000)) << qPrintable(log.events.join(u'\n'));
  }
  QString error() const {
    const qsizetype i = log.names().lastIndexOf(QStringLiteral("DLError"));
    return i < 0 ? QString() : log.events.at(i);
  }
  QString saved(const QString& name) const { return dir.filePath(name); }

  DemoFeedServer server;
  QTemporaryDir dir;
  bkDLControl dl;
  ControlEventLog log;
};

TEST_F(NetworkReaderTest, AFeedArrivesWithItsStagesInOrderAndIsSavedWhole) {
  fetch(server.urlOf(QStringLiteral("xboxscene.xml")));
  const QByteArray expected = demo::BuildFeed(3, 10, server.pictureBase());
  QStringList names = log.names();
  names.removeDuplicates();
  EXPECT_EQ(names, (QStringList{QStringLiteral("DLConnected"), QStringLiteral("DLMIMEType"),
                                QStringLiteral("DLFileSize"), QStringLiteral("DLBeginDownload"),
                                QStringLiteral("DLProgress"), QStringLiteral("DLComplete")}));
  EXPECT_EQ(log.events.first(), QStringLiteral("DLConnected 127.0.0.1:") + QString::number(server.port()));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete %1").arg(expected.size()));
  EXPECT_EQ(ReadAll(saved(QStringLiteral("xboxscene.xml"))), expected);
  EXPECT_EQ(dl.FileSize(), expected.size());
  EXPECT_EQ(dl.BytesRead(), expected.size());
  EXPECT_EQ(dl.MIMEType(), QStringLiteral("application/rss+xml"));
}

TEST_F(NetworkReaderTest, AnHttpErrorIsAFailedTransferNamingTheStatus) {
  server.setBehaviour(QStringLiteral("maxconsole.xml"), Behaviour::Fail(500));
  fetch(server.urlOf(QStringLiteral("maxconsole.xml")));
  EXPECT_EQ(error(), QStringLiteral("DLError 99 HTTP 500 Internal Server Error from ") +
                         server.urlOf(QStringLiteral("maxconsole.xml")));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 0"));
  EXPECT_FALSE(QFile::exists(saved(QStringLiteral("maxconsole.xml"))));

  fetch(server.urlOf(QStringLiteral("gone.xml")));
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 HTTP 404 Not Found"))) << qPrintable(error());
}

TEST_F(NetworkReaderTest, ARedirectEndsWithError2UnderTheDefaultPolicy) {
  server.setBehaviour(QStringLiteral("gueux.xml"), Behaviour::Redirect());
  fetch(server.urlOf(QStringLiteral("gueux.xml")));
  EXPECT_EQ(error(), QStringLiteral("DLError 2 Redirected to ") + server.urlOf(QStringLiteral("moved/gueux.xml")));
  EXPECT_EQ(server.requests().size(), 1);  // not followed
}

TEST_F(NetworkReaderTest, AFollowedRedirectIsReportedAndSavedUnderTheNewName) {
  server.setDocument(QStringLiteral("renamed.xml"), QByteArrayLiteral("<rss>renamed</rss>"));
  server.setBehaviour(QStringLiteral("gueux.xml"), Behaviour::Redirect(server.urlOf(QStringLiteral("renamed.xml"))));
  dl.setFailOnRedirect(false);
  fetch(server.urlOf(QStringLiteral("gueux.xml")));
  EXPECT_TRUE(log.events.contains(QStringLiteral("DLRedirect ") + server.urlOf(QStringLiteral("renamed.xml"))));
  EXPECT_EQ(ReadAll(saved(QStringLiteral("renamed.xml"))), QByteArrayLiteral("<rss>renamed</rss>"));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 18"));
}

TEST_F(NetworkReaderTest, ARedirectNeverLeavesHttp) {
  server.setBehaviour(QStringLiteral("gueux.xml"), Behaviour::Redirect(QStringLiteral("file:///etc/passwd")));
  dl.setFailOnRedirect(false);
  fetch(server.urlOf(QStringLiteral("gueux.xml")));
  EXPECT_EQ(error(), QStringLiteral("DLError 99 Redirect to an address that is not http or https refused: "
                                    "file:///etc/passwd"));
  EXPECT_FALSE(QFile::exists(saved(QStringLiteral("passwd"))));
}

TEST_F(NetworkReaderTest, ARedirectLoopEndsAfterAFewHops) {
  server.setDocument(QStringLiteral("loop.xml"), QByteArrayLiteral("x"));
  server.setBehaviour(QStringLiteral("loop.xml"), Behaviour::Redirect(server.urlOf(QStringLiteral("loop.xml"))));
  dl.setFailOnRedirect(false);
  fetch(server.urlOf(QStringLiteral("loop.xml")));
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 More than 5 redirects"))) << qPrintable(error());
  EXPECT_EQ(server.requestCount(QStringLiteral("loop.xml")), 6);
}

TEST_F(NetworkReaderTest, AStalledServerTimesOut) {
  server.setBehaviour(QStringLiteral("dailygame.xml"), Behaviour::Stall());
  QElapsedTimer clock;
  clock.start();
  fetch(server.urlOf(QStringLiteral("dailygame.xml")));
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 No data for 1 s from "))) << qPrintable(error());
  EXPECT_LT(clock.elapsed(), 2900);
}

TEST_F(NetworkReaderTest, ATricklingServerRunsIntoTheDeadline) {
  server.setBehaviour(QStringLiteral("dailygame.xml"), Behaviour::Trickle(40));
  QElapsedTimer clock;
  clock.start();
  fetch(server.urlOf(QStringLiteral("dailygame.xml")));
  EXPECT_TRUE(error().contains(QLatin1String("did not finish within 3 s"))) << qPrintable(error());
  EXPECT_GE(clock.elapsed(), 2000);  // well past the no-progress limit: the deadline ended it
  EXPECT_GT(log.names().count(QStringLiteral("DLProgress")), 5);  // it was progressing, just too slowly
}

TEST_F(NetworkReaderTest, AnEmptyBodyIsError3) {
  server.setBehaviour(QStringLiteral("tidewire.xml"), Behaviour::Empty());
  fetch(server.urlOf(QStringLiteral("tidewire.xml")));
  EXPECT_EQ(error(), QStringLiteral("DLError 3 Zero bytes retrieved"));
}

TEST_F(NetworkReaderTest, AnAnnouncedOversizeBodyFailsBeforeReadingAndKeepsTheOldFile) {
  QFile old(saved(QStringLiteral("xbins.xml")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("good old feed");
  old.close();
  server.setBehaviour(QStringLiteral("xbins.xml"), Behaviour::Oversize(200 * 1024, true));
  fetch(server.urlOf(QStringLiteral("xbins.xml")));
  EXPECT_TRUE(error().contains(QLatin1String("is 200.0 kb, more than the 64.0 kb"))) << qPrintable(error());
  EXPECT_EQ(ReadAll(saved(QStringLiteral("xbins.xml"))), QByteArrayLiteral("good old feed"));
}

TEST_F(NetworkReaderTest, AnUnannouncedOversizeBodyFailsWhileReading) {
  server.setBehaviour(QStringLiteral("xbins.xml"), Behaviour::Oversize(1024 * 1024, false));
  fetch(server.urlOf(QStringLiteral("xbins.xml")));
  EXPECT_TRUE(error().contains(QLatin1String("larger than the 64.0 kb"))) << qPrintable(error());
  EXPECT_LE(dl.BytesRead(), 64 * 1024);
  EXPECT_FALSE(QFile::exists(saved(QStringLiteral("xbins.xml"))));
}

TEST_F(NetworkReaderTest, ADecompressionBombFails) {
  // 4 MB of zeros travel as about 4 kb; the cap counts what they become.
  server.setBehaviour(QStringLiteral("xbins.xml"), Behaviour::Bomb(4 * 1024 * 1024));
  fetch(server.urlOf(QStringLiteral("xbins.xml")));
  EXPECT_TRUE(error().contains(QLatin1String("larger than the 64.0 kb"))) << qPrintable(error());
  EXPECT_FALSE(QFile::exists(saved(QStringLiteral("xbins.xml"))));
}

TEST_F(NetworkReaderTest, ACompressedBodyIsSavedDecoded) {
  server.setBehaviour(QStringLiteral("xbins.xml"), Behaviour::Bomb(1000));
  fetch(server.urlOf(QStringLiteral("xbins.xml")));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 1000"));
  EXPECT_EQ(ReadAll(saved(QStringLiteral("xbins.xml"))), QByteArray(1000, '\0'));
}

TEST_F(NetworkReaderTest, ARefusedConnectionIsAFailedTransfer) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const quint16 port = closed.serverPort();
  closed.close();
  fetch(QStringLiteral("http://127.0.0.1:%1/feeds/xbins.xml").arg(port));
  EXPECT_EQ(error(), QStringLiteral("DLError 99 Connection refused"));
}

TEST_F(NetworkReaderTest, OnlyHttpAndHttpsAreRead) {
  for (const QString& url : {QStringLiteral("file:///etc/passwd"), QStringLiteral("ftp://127.0.0.1/x.xml"),
                             QStringLiteral("data:text/plain,hello"), QStringLiteral("http:///nohost.xml")}) {
    log.events.clear();
    dl.setFileURL(url);
    dl.setSaveFilePath(dir.path());
    EXPECT_FALSE(dl.BeginDownload()) << qPrintable(url);
    EXPECT_EQ(log.events, (QStringList{QStringLiteral("DLError 1 Only http and https addresses can be downloaded: ") + url,
                                       QStringLiteral("DLComplete 0")}));
  }
}

TEST_F(NetworkReaderTest, AnUntrustedCertificateIsAnError) {
  QFile certFile(QStringLiteral(TEST_DATA_DIR "/selfsigned.crt"));
  QFile keyFile(QStringLiteral(TEST_DATA_DIR "/selfsigned.key"));
  ASSERT_TRUE(certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
  DemoFeedServer tls;
  tls.useTls(QSslCertificate(certFile.readAll()), QSslKey(keyFile.readAll(), QSsl::Rsa));
  ASSERT_TRUE(tls.listen());
  fetch(tls.urlOf(QStringLiteral("xbins.xml")));
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 SSL handshake failed"))) << qPrintable(error());
  EXPECT_TRUE(tls.requests().isEmpty());
  EXPECT_FALSE(QFile::exists(saved(QStringLiteral("xbins.xml"))));
}

TEST_F(NetworkReaderTest, CancelStopsTheTransferAndNothingFollows) {
  server.setBehaviour(QStringLiteral("dailygame.xml"), Behaviour::Trickle(20));
  dl.setFileURL(server.urlOf(QStringLiteral("dailygame.xml")));
  dl.setSaveFilePath(dir.path());
  ASSERT_TRUE(dl.BeginDownload());
  ASSERT_TRUE(QTest::qWaitFor([&] { return log.names().contains(QStringLiteral("DLProgress")); }, 3000));
  dl.CancelDownload();
  const qsizetype count = log.events.size();
  QTest::qWait(300);
  EXPECT_EQ(log.events.size(), count);
  EXPECT_EQ(log.names().last(), QStringLiteral("DLCanceled"));
  EXPECT_FALSE(QFile::exists(saved(QStringLiteral("dailygame.xml"))));
}

TEST_F(NetworkReaderTest, WaitingForARealTransferReturnsWhetherItWasSaved) {
  dl.setFileURL(server.urlOf(QStringLiteral("skins-xbmc.xml")));
  dl.setSaveFilePath(dir.path());
  EXPECT_TRUE(dl.BeginDownload(true));
  EXPECT_EQ(ReadAll(saved(QStringLiteral("skins-xbmc.xml"))), demo::BuildFeed(16, 8, server.pictureBase()));

  server.setBehaviour(QStringLiteral("skins-xbmc.xml"), Behaviour::Stall());
  EXPECT_FALSE(dl.BeginDownload(true));
  EXPECT_TRUE(error().startsWith(QLatin1String("DLError 99 No data")));
}

}  // namespace
}  // namespace tw
