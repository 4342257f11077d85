#include "FetchHarness.h"
#include "ScriptedReader.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::FetchHarness;
using test::ScriptedReader;

const QString kBase = QStringLiteral("http://feeds.test/rss");

class FetchCycleTest : public ::testing::Test {
 protected:
  FetchCycleTest()
      : feeds(new ScriptedReader), system(new ScriptedReader), h(FeedEndpoints(kBase), feeds, system) {
    feeds->setScript(ScriptedReader::Success(QByteArrayLiteral("<rss><item>x</item></rss>")));
    system->setScript(ScriptedReader::Success(QByteArrayLiteral("1.00.0311,same")));
    h.start();
  }
  QString url(int site) const { return h.core->sites[site].FeedUrl; }
  const SiteRecord& site(int i) const { return h.core->sites[i]; }
  int alerts() const { return static_cast<int>(h.window.alerts.size()); }
  // Makes the site's downloads fail with this code.
  void failWith(int site, int code) {
    switch (code) {
      case 2:
        feeds->setScriptFor(url(site), {ScriptedReader::Status(bindstatus::Redirecting, QStringLiteral("http://x/y"))});
        break;
      case 3:
        feeds->setScriptFor(url(site), {ScriptedReader::Completion(QByteArray())});
        break;
      case 4:
        // A folder where the file should go.
        ASSERT_TRUE(QDir().mkpath(h.core->programFolder.AppFolder() + u'/' + url(site).section(u'/', -1)));
        break;
      default:
        feeds->setScriptFor(url(site), {ScriptedReader::Failure(QStringLiteral("Connection refused"))});
        break;
    }
  }

  ScriptedReader* feeds;
  ScriptedReader* system;
  FetchHarness h;
};

TEST(CaptionTime, IsTwelveHourWithLowerCaseMarker) {
  EXPECT_EQ(CaptionTime(QTime(21, 5)), QStringLiteral("9:05 pm"));
  EXPECT_EQ(CaptionTime(QTime(9, 5)), QStringLiteral("9:05 am"));
  EXPECT_EQ(CaptionTime(QTime(0, 0)), QStringLiteral("12:00 am"));
  EXPECT_EQ(CaptionTime(QTime(12, 30)), QStringLiteral("12:30 pm"));
  EXPECT_EQ(CaptionTime(QTime(23, 59)), QStringLiteral("11:59 pm"));
}

TEST(FailureAlert, IsDueAtEveryFifthUpToAHundredThenAlways) {
  QList<int> due;
  for (int n = 0; n <= 104; ++n) {
    if (FailureAlertDue(n)) due << n;
  }
  EXPECT_EQ(due, (QList<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100, 101,
                             102, 103, 104}));
  EXPECT_FALSE(FailureAlertDue(-5));
}

TEST(DownloadErrors, KindTextsAndWhichOnesCount) {
  EXPECT_EQ(DownloadErrorKind(1), QStringLiteral("Download Unavailable"));
  EXPECT_EQ(DownloadErrorKind(2), QStringLiteral("Redirected"));
  EXPECT_EQ(DownloadErrorKind(3), QStringLiteral("Zero Bytes Returned"));
  EXPECT_EQ(DownloadErrorKind(4), QStringLiteral("File Save Error"));
  EXPECT_EQ(DownloadErrorKind(99), QStringLiteral("Unknown"));
  EXPECT_TRUE(CountsAsSiteFailure(1));
  EXPECT_FALSE(CountsAsSiteFailure(2));
  EXPECT_TRUE(CountsAsSiteFailure(3));
  EXPECT_FALSE(CountsAsSiteFailure(4));
  EXPECT_TRUE(CountsAsSiteFailure(99));
}

TEST_F(FetchCycleTest, ARoundFetchesEveryEnabledSiteInCatalogueOrderOneAtATime) {
  h.enableOnly({2, 5, 17});
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(feeds->startedUrls, (QStringList{url(2), url(5), url(17)}));
  ASSERT_EQ(h.parser.parses.size(), 3);
  EXPECT_EQ(h.parser.parses[1].site, 5);
  EXPECT_EQ(h.parser.parses[1].file, h.core->programFolder.AppFolder() + QStringLiteral("/mediaxbox.xml"));
  EXPECT_EQ(h.parser.parses[1].content, QByteArrayLiteral("<rss><item>x</item></rss>"));
  const QStringList log = h.activity();
  EXPECT_TRUE(log.contains(QStringLiteral("Downloading Media Xbox")));
  EXPECT_TRUE(log.contains(QStringLiteral("Media Xbox complete (25 b)")));
  EXPECT_LT(log.indexOf(QStringLiteral("Xbins complete (25 b)")), log.indexOf(QStringLiteral("Downloading Media Xbox")));
  EXPECT_EQ(system->startedUrls, QStringList{h.core->identity.VersionFileUrl});
}

TEST_F(FetchCycleTest, TheNextSiteWaitsForTheQueueTimerAfterEachEnd) {
  h.enableOnly({1, 2});
  h.fetch->QueueAllFeeds();
  EXPECT_TRUE(h.DL.DownloadActive());
  EXPECT_EQ(h.fetch->lstDlQueue().size(), 1);
  EXPECT_FALSE(h.fetch->tmrCheckQueue().isActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !h.DL.DownloadActive(); }, 2000));
  EXPECT_TRUE(h.fetch->tmrCheckQueue().isActive());
  EXPECT_EQ(h.fetch->tmrCheckQueue().interval(), 200);
  EXPECT_TRUE(h.fetch->tmrCheckQueue().isSingleShot());
  EXPECT_EQ(feeds->startedUrls.size(), 1);
  ASSERT_TRUE(h.waitForDrained(1));
  EXPECT_EQ(feeds->startedUrls.size(), 2);
}

TEST_F(FetchCycleTest, ACheckSetsTheCaptionTrayTipAndRestartsTheCountdown) {
  h.core->settings.setNumber(setting::CheckIntervalMinutes, 3);
  h.enableOnly({1});
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(21, 5, 40)));
  h.fetch->QueueAllFeeds();
  EXPECT_EQ(h.window.windowCaption, QStringLiteral("Tidewire (Updated: 9:05 pm)"));
  EXPECT_EQ(h.window.panelTexts.value(QStringLiteral("msg")), QStringLiteral("Checking for new items in 3 minutes"));
  EXPECT_EQ(h.window.trayTip,
            QStringLiteral("Tidewire (Updated: 9:05 pm)\r\nChecking for new items in 3 minutes").left(64));
  EXPECT_TRUE(h.core->checkTimer.tmrDownload().isActive());
  EXPECT_EQ(h.core->checkTimer.MinuteCounter(), 1);
  ASSERT_TRUE(h.waitForDrained(1));
}

TEST_F(FetchCycleTest, ACheckDuringARoundOnlyQueuesTheSitesAgain) {
  h.enableOnly({3, 4});
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(8, 0)));
  h.fetch->QueueAllFeeds();
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(8, 1)));
  h.fetch->QueueAllFeeds();
  EXPECT_EQ(h.fetch->lstDlQueue().size(), 3);
  EXPECT_EQ(h.window.windowCaption, QStringLiteral("Tidewire (Updated: 8:00 am)"));
  ASSERT_TRUE(h.waitForDrained(1));
  EXPECT_EQ(feeds->startedUrls, (QStringList{url(3), url(4), url(3), url(4)}));
  EXPECT_EQ(h.drained, 1);
}

TEST_F(FetchCycleTest, WithEverySiteDisabledTheCheckGoesStraightToTheUpdateCheck) {
  h.enableOnly({});
  h.window.panelTexts[QStringLiteral("dl")] = QStringLiteral("old");
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(13, 7)));
  h.fetch->QueueAllFeeds();
  EXPECT_EQ(h.drained, 1);
  EXPECT_TRUE(feeds->startedUrls.isEmpty());
  EXPECT_EQ(system->startedUrls, QStringList{h.core->identity.VersionFileUrl});
  EXPECT_EQ(h.dlSys.Tag(), QStringLiteral("69"));
  EXPECT_EQ(h.window.panelTexts.value(QStringLiteral("dl")), QString());
  EXPECT_EQ(h.window.windowCaption, QStringLiteral("Tidewire (Updated: 1:07 pm)"));
  ASSERT_TRUE(h.waitForDrained(1));
}

TEST_F(FetchCycleTest, ASuccessResetsTheErrorCountAndHandsTheFileToTheParser) {
  h.enableOnly({6});
  h.setErrorCount(6, 7);
  ASSERT_EQ(site(6).ErrorCount, 7);
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(site(6).ErrorCount, 0);
  EXPECT_EQ(h.storedErrorCount(6), 0);
  EXPECT_EQ(site(6).CacheFile, h.core->programFolder.AppFolder() + QStringLiteral("/gueux.xml"));
  ASSERT_EQ(h.parser.parses.size(), 1);
  EXPECT_EQ(h.parser.parses[0].site, 6);
}

TEST_F(FetchCycleTest, EachErrorCodeIsLoggedAndCountedAsTheTableSays) {
  struct Case {
    int code;
    QString kind;
    qint32 countAfter;
  };
  const QList<Case> cases = {{1, QStringLiteral("Download Unavailable"), 11},
                             {2, QStringLiteral("Redirected"), 10},
                             {3, QStringLiteral("Zero Bytes Returned"), 11},
                             {4, QStringLiteral("File Save Error"), 10},
                             {99, QStringLiteral("Unknown"), 11}};
  h.enableOnly({4});
  for (const Case& c : cases) {
    h.setErrorCount(4, 10);
    feeds->clearScriptFor(url(4));
    if (c.code == 1) {
      feeds->refuseNextStart(301, QStringLiteral("refused"));
    } else {
      failWith(4, c.code);
    }
    ASSERT_TRUE(h.runRound()) << c.code;
    EXPECT_EQ(site(4).ErrorCount, c.countAfter) << c.code;
    EXPECT_EQ(h.storedErrorCount(4), c.countAfter) << c.code;
    const QStringList log = h.activity();
    const QString prefix = QStringLiteral("Max Console download error: ") + c.kind + QStringLiteral(": ");
    EXPECT_NE(std::find_if(log.begin(), log.end(), [&](const QString& l) { return l.startsWith(prefix); }), log.end())
        << c.code;
    EXPECT_TRUE(log.contains(QStringLiteral("Max Console download failed.  (Error count: %1)").arg(c.countAfter)))
        << c.code;
    QDir().rmdir(h.core->programFolder.AppFolder() + QStringLiteral("/maxconsole.xml"));
  }
  EXPECT_TRUE(h.parser.parses.isEmpty());
}

TEST_F(FetchCycleTest, ElevenFailuresInARowAlertAtTheFifthAndTenthOnly) {
  h.enableOnly({5});
  failWith(5, 3);
  for (int round = 1; round <= 11; ++round) ASSERT_TRUE(h.runRound()) << round;
  ASSERT_EQ(alerts(), 2);
  EXPECT_EQ(h.window.alerts[0].message,
            QStringLiteral("Media Xbox\r\nhas failed to download\r\n5 times in succession.\r\nPlease check the feed!"));
  EXPECT_EQ(h.window.alerts[0].title, QStringLiteral("Error encountered..."));
  EXPECT_EQ(h.window.alerts[0].seconds, 0);
  EXPECT_FALSE(h.window.alerts[0].restore);
  EXPECT_TRUE(h.window.alerts[1].message.contains(QStringLiteral("\r\n10 times in succession.")));
  EXPECT_EQ(h.storedErrorCount(5), 11);
}

TEST_F(FetchCycleTest, AboveAHundredEveryFailureAlerts) {
  h.enableOnly({5});
  h.setErrorCount(5, 99);
  failWith(5, 99);
  for (int round = 1; round <= 3; ++round) ASSERT_TRUE(h.runRound());
  ASSERT_EQ(alerts(), 3);
  EXPECT_TRUE(h.window.alerts[2].message.contains(QStringLiteral("102 times")));
}

TEST_F(FetchCycleTest, AnUncountedErrorAtAnAlertCountAlertsAgain) {
  h.enableOnly({5});
  h.setErrorCount(5, 5);
  failWith(5, 2);
  ASSERT_TRUE(h.runRound());
  ASSERT_EQ(alerts(), 1);
  EXPECT_TRUE(h.window.alerts[0].message.contains(QStringLiteral("5 times")));
}

TEST_F(FetchCycleTest, DisableErrorAlertKeepsCountingWithoutAlerts) {
  h.core->settings.setFlag(setting::DisableErrorAlert, true);
  h.enableOnly({5});
  h.setErrorCount(5, 4);
  failWith(5, 3);
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(h.storedErrorCount(5), 5);
  EXPECT_EQ(alerts(), 0);
}

TEST_F(FetchCycleTest, AFailingSiteDoesNotStopTheRound) {
  h.enableOnly({2, 3, 4});
  failWith(3, 99);
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(feeds->startedUrls, (QStringList{url(2), url(3), url(4)}));
  EXPECT_EQ(h.parser.parses.size(), 2);
  EXPECT_EQ(site(3).ErrorCount, 1);
}

TEST_F(FetchCycleTest, ASiteWithoutAnAddressDoesNotStrandTheQueue) {
  h.enableOnly({2, 3, 4});
  h.core->sites[3].FeedUrl.clear();
  ASSERT_TRUE(h.runRound(5000));
  EXPECT_EQ(feeds->startedUrls, (QStringList{url(2), url(4)}));
}

TEST_F(FetchCycleTest, TheProgressBarFollowsTheFeedDownload) {
  h.enableOnly({1});
  feeds->setScript({ScriptedReader::Status(bindstatus::DownloadingData, {}, 0, 100),
                    ScriptedReader::Status(bindstatus::DownloadingData, {}, 50, 100),
                    ScriptedReader::Status(bindstatus::DownloadingData, {}, 70, 0),
                    ScriptedReader::Completion(QByteArray(70, 'x'))});
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(h.bar.calls, (QStringList{QStringLiteral("max 100"), QStringLiteral("value 1"), QStringLiteral("max 100"),
                                      QStringLiteral("value 50"), QStringLiteral("max 1"), QStringLiteral("value 1"),
                                      QStringLiteral("value 0")}));
  h.bar.calls.clear();
  h.DL.setFileURL(url(1));
  feeds->setScript({});
  ASSERT_TRUE(h.DL.BeginDownload());
  h.DL.CancelDownload();
  EXPECT_EQ(h.bar.calls, QStringList{QStringLiteral("value 0")});
}

TEST_F(FetchCycleTest, ATagThatIsNoSiteIsIgnoredButTheQueueGoesOn) {
  h.DL.setTag(QStringLiteral("99"));
  Q_EMIT h.DL.DLError(3, QStringLiteral("Zero bytes retrieved"));
  Q_EMIT h.DL.DLComplete(0);
  EXPECT_TRUE(h.fetch->tmrCheckQueue().isActive());
  EXPECT_TRUE(h.window.alerts.isEmpty());
  for (const QString& line : h.activity()) EXPECT_FALSE(line.contains(QLatin1String("download"))) << qPrintable(line);
}

TEST_F(FetchCycleTest, TheVersionFileGoesToTheComparisonOnlyUnderItsTag) {
  h.enableOnly({});
  system->setScript(ScriptedReader::Success(QByteArrayLiteral("1.00.0312,newer")));
  ASSERT_TRUE(h.runRound());
  EXPECT_TRUE(h.activity().contains(QStringLiteral("Your version: v1.0 build 0311    Available version: v1.0 build 0312")));
  EXPECT_EQ(h.alertTitles(), QStringList{QStringLiteral("Update available...")});

  const qsizetype lines = h.activity().size();
  h.dlSys.setTag(QStringLiteral("12"));
  ASSERT_TRUE(h.dlSys.BeginDownload());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !h.dlSys.DownloadActive(); }, 2000));
  EXPECT_EQ(h.activity().size(), lines);
  EXPECT_EQ(h.window.alerts.size(), 1);
}

TEST_F(FetchCycleTest, AFailedVersionDownloadShowsNothing) {
  h.enableOnly({});
  system->setScript({ScriptedReader::Failure(QStringLiteral("HTTP 404 Not Found"))});
  ASSERT_TRUE(h.runRound());
  EXPECT_TRUE(h.window.alerts.isEmpty());
  EXPECT_EQ(h.activity().last(), QStringLiteral("Checking for update..."));
}

}  // namespace
}  // namespace tw
