// A whole check of the catalogue against the local demo server, over real
// HTTP, with short transfer limits, into the real parser, item store and
// site titles.
#include "DemoFeedServer.h"
#include "DemoFeeds.h"
#include "FetchHarness.h"
#include "download/NetworkReader.h"
#include "news/Entities.h"
#include "news/FeedDownloads.h"
#include "news/ItemKeys.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tw {
namespace {

using demo::Behaviour;
using demo::DemoFeedServer;
using test::FetchHarness;

TransferLimits ShortLimits() {
  TransferLimits limits;
  limits.noProgressMs = 1000;
  limits.totalMs = 4000;
  return limits;
}

int CountItems(const QByteArray& doc) { return static_cast<int>(doc.count("<item")); }

class FetchIntegrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listen());
    h = std::make_unique<FetchHarness>(FeedEndpoints(server.baseUrl()), new NetworkReader(ShortLimits()),
                                       new NetworkReader(ShortLimits()), true);
    h->start();
  }
  QString file(int site) const { return QString::fromLatin1(demo::DemoSiteAt(site).file); }
  // Alerts with this title, in order.
  QStringList alerts(const QString& title) const {
    QStringList out;
    for (const auto& alert : h->window.alerts) {
      if (alert.title == title) out << alert.message;
    }
    return out;
  }
  // The item captions of the site's tree node, in order.
  QStringList treeTitles(int site) const {
    QStringList out;
    for (const QString& key : h->core->tv.childKeys(h->core->sites[site].Key)) out << h->core->tv.find(key)->text;
    return out;
  }
  qint32 storedItems(int site) const {
    return h->core->settings.siteNumber(h->core->sites[site].RegName, setting::SiteTotalItems);
  }
  int parsesOf(int site) const {
    return static_cast<int>(std::count_if(h->parser.parses.begin(), h->parser.parses.end(),
                                          [site](const auto& p) { return p.site == site; }));
  }

  DemoFeedServer server;
  std::unique_ptr<FetchHarness> h;
};

TEST_F(FetchIntegrationTest, AWholeCheckFetchesAllSeventeenFeedsThenTheVersionFile) {
  ASSERT_TRUE(h->runRound(30000));
  QStringList expected;
  for (int site = 1; site <= 17; ++site) expected << server.baseUrl() + u'/' + file(site);
  expected << server.baseUrl() + QStringLiteral("/version.txt");
  QStringList requested;
  for (const QString& path : server.requests()) requested << QStringLiteral("http://127.0.0.1:%1").arg(server.port()) + path;
  EXPECT_EQ(requested, expected);

  ASSERT_EQ(h->parser.parses.size(), 17);
  for (int site = 1; site <= 17; ++site) {
    const auto& parse = h->parser.parses[site - 1];
    const int count = demo::DemoSiteAt(site).initialItems;
    EXPECT_EQ(parse.site, site);
    EXPECT_EQ(parse.content, demo::BuildFeed(site, server.itemCount(site), server.pictureBase())) << site;
    EXPECT_EQ(CountItems(parse.content), count) << site;
    EXPECT_EQ(h->core->sites[site].ErrorCount, 0);
    // The items reached the tree and the store, newest first.
    const QStringList titles = treeTitles(site);
    ASSERT_EQ(titles.size(), count) << site;
    EXPECT_EQ(storedItems(site), count) << site;
    EXPECT_EQ(titles.first(), DecodeEntities(demo::ItemTitle(site, count))) << site;
    EXPECT_EQ(titles.last(), DecodeEntities(demo::ItemTitle(site, 1))) << site;
    EXPECT_FALSE(QFile::exists(parse.file)) << site;
  }
  // Entities, UTF-8 and the single-byte feed all decode.
  EXPECT_EQ(treeTitles(2).at(3), QStringLiteral("Caf\u00e9 FTP Server 1.1"));
  EXPECT_EQ(treeTitles(6).at(1), QStringLiteral("Sortie de l\u2019\u00e9mulateur SNES9x 1.43 (part 2)"));
  EXPECT_EQ(treeTitles(5).at(8), QStringLiteral("Interview: the people behind the 'XBMC' project"));
  EXPECT_EQ(h->core->settings.siteText(h->core->sites[3].RegName, setting::ChannelTitle), QStringLiteral("Xbox-Scene"));
  EXPECT_EQ(h->activity().filter(QStringLiteral(" complete (")).size(), 17);
  EXPECT_EQ(alerts(QStringLiteral("Tidewire v1.0 build 0311")).size(), 17);  // new items everywhere
  EXPECT_TRUE(alerts(QStringLiteral("Update available...")).isEmpty());  // the server names the running version
  EXPECT_TRUE(alerts(QStringLiteral("Error encountered...")).isEmpty());
}

TEST_F(FetchIntegrationTest, NewItemsOnTheServerReachTheNextCheck) {
  h->enableOnly({3});
  ASSERT_TRUE(h->runRound());
  server.addItems(3, 2);
  ASSERT_TRUE(h->runRound());
  ASSERT_EQ(h->parser.parses.size(), 2);
  EXPECT_EQ(CountItems(h->parser.parses[1].content), 12);
  const QStringList titles = treeTitles(3);
  ASSERT_EQ(titles.size(), 12);
  EXPECT_EQ(titles.at(0), DecodeEntities(demo::ItemTitle(3, 12)));
  EXPECT_EQ(titles.at(1), DecodeEntities(demo::ItemTitle(3, 11)));
  EXPECT_EQ(titles.at(2), DecodeEntities(demo::ItemTitle(3, 10)));
  EXPECT_EQ(storedItems(3), 12);

  // Nothing new: the next check changes nothing.
  const qsizetype alertCount = h->window.alerts.size();
  ASSERT_TRUE(h->runRound());
  EXPECT_EQ(h->window.alerts.size(), alertCount);
  EXPECT_EQ(treeTitles(3), titles);
}

TEST_F(FetchIntegrationTest, AFailingSiteCountsAlertsAndIsResetByASuccess) {
  h->enableOnly({4, 17});
  server.setBehaviour(file(4), Behaviour::Fail(500));
  for (int round = 1; round <= 10; ++round) ASSERT_TRUE(h->runRound()) << round;
  EXPECT_EQ(h->storedErrorCount(4), 10);
  EXPECT_EQ(h->storedErrorCount(17), 0);
  const QStringList failures = alerts(QStringLiteral("Error encountered..."));
  ASSERT_EQ(failures.size(), 2);
  EXPECT_EQ(failures[0],
            QStringLiteral("Max Console\r\nhas failed to download\r\n5 times in succession.\r\nPlease check the feed!"));
  EXPECT_TRUE(failures[1].contains(QStringLiteral("10 times")));
  EXPECT_TRUE(h->activity().contains(QStringLiteral("Max Console download error: Unknown: HTTP 500 Internal Server "
                                                    "Error from ") +
                                     server.urlOf(file(4))));
  EXPECT_EQ(parsesOf(17), 10);  // the other site went on as usual

  server.clearBehaviour(file(4));
  ASSERT_TRUE(h->runRound());
  EXPECT_EQ(h->storedErrorCount(4), 0);
  EXPECT_EQ(h->core->sites[4].ErrorCount, 0);
  EXPECT_EQ(parsesOf(4), 1);
  EXPECT_EQ(treeTitles(4).size(), 10);
}

TEST_F(FetchIntegrationTest, StalledAndTricklingSitesTimeOutAndTheRoundStillFinishes) {
  server.setBehaviour(file(3), Behaviour::Stall());
  server.setBehaviour(file(9), Behaviour::Trickle(30));
  ASSERT_TRUE(h->runRound(40000));
  EXPECT_EQ(h->parser.parses.size(), 15);
  EXPECT_EQ(treeTitles(3).size(), 0);
  EXPECT_EQ(treeTitles(4).size(), 10);
  EXPECT_EQ(h->storedErrorCount(3), 1);
  EXPECT_EQ(h->storedErrorCount(9), 1);
  const QStringList log = h->activity();
  EXPECT_FALSE(log.filter(QStringLiteral("Xbox-Scene download error: Unknown: No data for 1 s")).isEmpty());
  EXPECT_FALSE(log.filter(QStringLiteral("AllXboxSkins - Media-X-Menu download error: Unknown: The transfer from"))
                   .isEmpty());
  EXPECT_EQ(server.requestCount(QStringLiteral("version.txt")), 1);
}

TEST_F(FetchIntegrationTest, RedirectsAndEmptyBodiesEndAsTheirOwnErrors) {
  h->enableOnly({6, 10});
  server.setBehaviour(file(6), Behaviour::Redirect());
  server.setBehaviour(file(10), Behaviour::Empty());
  ASSERT_TRUE(h->runRound());
  EXPECT_TRUE(h->activity().contains(QStringLiteral("Gueux.be download error: Redirected: Redirected to ") +
                                     server.urlOf(QStringLiteral("moved/gueux.xml"))));
  EXPECT_EQ(h->storedErrorCount(6), 0);
  EXPECT_TRUE(h->activity().contains(
      QStringLiteral("AllXboxSkins - Avalaunch download error: Zero Bytes Returned: Zero bytes retrieved")));
  EXPECT_EQ(h->storedErrorCount(10), 1);
  EXPECT_EQ(server.requestCount(QStringLiteral("moved/gueux.xml")), 0);
}

TEST_F(FetchIntegrationTest, ANewerVersionIsAnnouncedOnceADay) {
  h->enableOnly({1});
  server.setVersion(QStringLiteral("1.00.0312"));
  ASSERT_TRUE(h->runRound());
  ASSERT_TRUE(h->runRound());
  EXPECT_EQ(server.requestCount(QStringLiteral("version.txt")), 1);
  EXPECT_EQ(alerts(QStringLiteral("Update available...")),
            QStringList{QStringLiteral("Tidewire v1.0 build 312\r\n is available for download")});
  EXPECT_TRUE(h->activity().contains(
      QStringLiteral("Your version: v1.0 build 0311    Available version: v1.0 build 0312")));
  EXPECT_FALSE(QFile::exists(h->core->programFolder.AppFolder() + QStringLiteral("/version.txt")));

  h->clock.set(h->clock.now().addDays(1));
  ASSERT_TRUE(h->runRound());
  EXPECT_EQ(server.requestCount(QStringLiteral("version.txt")), 2);
  EXPECT_EQ(alerts(QStringLiteral("Update available...")).size(), 2);
}

TEST_F(FetchIntegrationTest, TheSameVersionIsFetchedAgainAfterEveryCheck) {
  h->enableOnly({});
  ASSERT_TRUE(h->runRound());
  ASSERT_TRUE(h->runRound());
  EXPECT_EQ(server.requestCount(QStringLiteral("version.txt")), 2);
  EXPECT_TRUE(h->window.alerts.isEmpty());
}

TEST(FeedDownloadsWiring, TheCheckTimerRunsTheFetchCycleAgainstTheServer) {
  DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  test::TempHome home;
  test::FakeClock clock;
  test::FakeWindow window;
  AppCore core(home.paths(), clock, FeedEndpoints(server.baseUrl()));
  Startup startup(core, window, window, window);
  FeedDownloads downloads(core, nullptr, ShortLimits());
  downloads.connectWindow(&window, &window, &window, &window, nullptr);
  startup.setFeedChecker(&downloads.fetch);
  startup.Run();
  int drained = 0;
  QObject::connect(&downloads.fetch, &FetchCycle::queueDrained, [&] { ++drained; });

  core.settings.setNumber(setting::CheckIntervalMinutes, 1);
  core.checkTimer.StartCheckTimer();
  core.checkTimer.UPDATE_Timer();  // the tick that runs the countdown out
  ASSERT_TRUE(QTest::qWaitFor([&] { return drained == 1 && !downloads.dlSys.DownloadActive(); }, 30000));
  EXPECT_EQ(server.requests().size(), 18);
  EXPECT_GT(core.activity.lines().size(), 17);
  EXPECT_FALSE(downloads.dlCache.DownloadActive());
}

}  // namespace
}  // namespace tw
