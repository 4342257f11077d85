#include "DemoFeedServer.h"
#include "DemoFeeds.h"
#include "DemoHome.h"
#include "core/AppPaths.h"
#include "core/Registry.h"
#include "core/Settings.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <memory>

namespace tw::demo {
namespace {

int CountItems(const QByteArray& doc) {
  const QByteArray lower = doc.toLower();
  int n = 0;
  for (qsizetype at = lower.indexOf("<item"); at >= 0; at = lower.indexOf("<item", at + 1)) ++n;
  return n;
}

struct Fetched {
  int status = 0;
  QByteArray body;
  QByteArray location;
  QNetworkReply::NetworkError error = QNetworkReply::NoError;
};

class DemoFeedServerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.listen()); }

  Fetched get(const QString& url) {
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    EXPECT_TRUE(QTest::qWaitFor([&] { return reply->isFinished(); }, 5000));
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->rawHeader("Location"), reply->error()};
  }

  DemoFeedServer server;
  QNetworkAccessManager manager;
};

TEST(DemoFeeds, EveryFeedIsWellFormedAndHoldsItsItems) {
  for (int site = 1; site <= kDemoSiteCount; ++site) {
    const DemoSite& s = DemoSiteAt(site);
    const QByteArray doc = BuildFeed(site, s.initialItems);
    QXmlStreamReader xml(doc);
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << s.file << ": " << qPrintable(xml.errorString());
    EXPECT_EQ(CountItems(doc), s.initialItems) << s.file;
    EXPECT_EQ(DemoSiteIndexOf(QString::fromLatin1(s.file)), site);
  }
}

TEST(DemoFeeds, FormatsEncodingsAndExtraTagsAreWhereTheyBelong) {
  const QByteArray gueux = BuildFeed(6, 3);
  EXPECT_TRUE(gueux.contains("<rdf:RDF"));
  EXPECT_TRUE(gueux.contains("<item rdf:about="));
  EXPECT_TRUE(gueux.contains("encoding=\"UTF-8\""));
  EXPECT_TRUE(gueux.contains("\xc3\xa9"));  // é in UTF-8

  const QByteArray xbins = BuildFeed(2, 15);
  EXPECT_TRUE(xbins.contains("encoding=\"ISO-8859-1\""));
  EXPECT_TRUE(xbins.contains("Caf\xe9"));  // é as one byte
  EXPECT_TRUE(xbins.contains("<homepage>"));
  EXPECT_TRUE(xbins.contains("<releasedate>"));

  for (int skin = 7; skin <= 16; ++skin) {
    const QByteArray doc = BuildFeed(skin, 2);
    EXPECT_EQ(doc.count("<thumb>"), 2) << skin;
    EXPECT_EQ(doc.count("<author>"), 2) << skin;
  }
  const QByteArray scene = BuildFeed(3, 2);
  EXPECT_TRUE(scene.contains("&lt;p&gt;"));  // escaped HTML descriptions
  EXPECT_LT(scene.indexOf("<image>"), scene.indexOf("<title>Xbox-Scene</title>"));
}

TEST(DemoFeeds, NewestItemComesFirstAndTitlesStayDistinct) {
  const QByteArray doc = BuildFeed(17, 20);
  EXPECT_LT(doc.indexOf(ItemTitle(17, 20).toUtf8()), doc.indexOf(ItemTitle(17, 19).toUtf8()));
  QStringList titles;
  for (int n = 1; n <= 20; ++n) titles << ItemTitle(17, n);
  titles.removeDuplicates();
  EXPECT_EQ(titles.size(), 20);
}

TEST_F(DemoFeedServerTest, ServesFeedsAndTheVersionFileUnderTheBasePath) {
  const Fetched feed = get(server.urlOf(QStringLiteral("xboxscene.xml")));
  EXPECT_EQ(feed.status, 200);
  EXPECT_EQ(feed.body, BuildFeed(3, 10, server.pictureBase()));

  server.setVersion(QStringLiteral("1.00.0312"));
  const Fetched version = get(server.urlOf(QStringLiteral("version.txt")));
  EXPECT_TRUE(version.body.startsWith("1.00.0312,"));

  EXPECT_EQ(get(server.urlOf(QStringLiteral("nothing.xml"))).status, 404);
  EXPECT_EQ(get(server.baseUrl() + QStringLiteral("/../etc/passwd")).status, 404);
  EXPECT_EQ(server.requestCount(QStringLiteral("xboxscene.xml")), 1);
}

TEST_F(DemoFeedServerTest, EveryPictureAFeedNamesIsServedByTheServerItself) {
  // Offline, a site or skin page shows only pictures from here.
  const QRegularExpression address(QStringLiteral("(?:https?:)?//[^<>\"\\s]+?\\.(?:bmp|gif|jpe?g|png)"));
  int pictures = 0;
  for (int site = 1; site <= kDemoSiteCount; ++site) {
    const QString doc = QString::fromLatin1(get(server.urlOf(QString::fromLatin1(DemoSiteAt(site).file))).body);
    for (const QRegularExpressionMatch& m : address.globalMatch(doc)) {
      const QString url = m.captured(0);
      ASSERT_TRUE(url.startsWith(server.pictureBase())) << url.toStdString();
      const Fetched picture = get(url);
      EXPECT_EQ(picture.status, 200) << url.toStdString();
      EXPECT_TRUE(picture.body.startsWith("BM")) << url.toStdString();
      ++pictures;
    }
  }
  EXPECT_GE(pictures, 4 + 10 * 2);  // four logos, a preview per skin item at least
  EXPECT_EQ(get(server.pictureBase() + QStringLiteral("logo-x.bmp")).status, 404);
}

TEST_F(DemoFeedServerTest, FailsRedirectsAndEmptiesOnRequest) {
  server.setBehaviour(QStringLiteral("maxconsole.xml"), Behaviour::Fail(503));
  EXPECT_EQ(get(server.urlOf(QStringLiteral("maxconsole.xml"))).status, 503);

  server.setBehaviour(QStringLiteral("gueux.xml"), Behaviour::Redirect());
  const Fetched moved = get(server.urlOf(QStringLiteral("gueux.xml")));
  EXPECT_EQ(moved.status, 302);
  EXPECT_EQ(QString::fromUtf8(moved.location), server.urlOf(QStringLiteral("moved/gueux.xml")));
  EXPECT_EQ(get(QString::fromUtf8(moved.location)).body, BuildFeed(6, 10, server.pictureBase()));

  server.setBehaviour(QStringLiteral("dailygame.xml"), Behaviour::Empty());
  const Fetched empty = get(server.urlOf(QStringLiteral("dailygame.xml")));
  EXPECT_EQ(empty.status, 200);
  EXPECT_TRUE(empty.body.isEmpty());

  server.clearBehaviour(QStringLiteral("dailygame.xml"));
  EXPECT_EQ(get(server.urlOf(QStringLiteral("dailygame.xml"))).body, BuildFeed(17, 12, server.pictureBase()));
}

TEST_F(DemoFeedServerTest, TricklesOneByteAtATime) {
  server.setDocument(QStringLiteral("tiny.xml"), QByteArrayLiteral("<rss/>"));
  server.setBehaviour(QStringLiteral("tiny.xml"), Behaviour::Trickle(20));
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(get(server.urlOf(QStringLiteral("tiny.xml"))).body, QByteArrayLiteral("<rss/>"));
  EXPECT_GE(clock.elapsed(), 6 * 20 - 10);
}

TEST_F(DemoFeedServerTest, AddsItemsOverTime) {
  server.addItems(1, 2);
  EXPECT_EQ(server.itemCount(1), 7);
  EXPECT_EQ(CountItems(get(server.urlOf(QStringLiteral("tidewire.xml"))).body), 7);

  server.addItemsEvery(10);
  EXPECT_TRUE(QTest::qWaitFor([&] { return server.itemCount(3) > 10; }, 5000));
  server.addItemsEvery(0);
  EXPECT_EQ(server.itemCount(2), 16);  // sites gain items in turn
}

TEST(DemoHome, SeedsChecksButKeepsWhatIsSet) {
  QTemporaryDir dir;
  const AppPaths paths = AppPaths::UnderHome(dir.path());
  AppIdentity identity;
  identity.SettingsRoot = QStringLiteral("Software\\Tidewire");
  {
    Registry registry(paths.machineStore, paths.userStore, {});
    registry.CreateRegKey(Hive::LocalMachine, identity.SettingsRoot);
    Settings(registry, identity).setNumber(setting::CheckIntervalMinutes, 0);
  }
  ASSERT_TRUE(SeedDemoHome(dir.path(), 5));
  Registry registry(paths.machineStore, paths.userStore, {});
  const Settings settings(registry, identity);
  EXPECT_TRUE(settings.flag(setting::CheckAtStartup));
  EXPECT_EQ(settings.number(setting::CheckIntervalMinutes), 0);
}

}  // namespace
}  // namespace tw::demo
