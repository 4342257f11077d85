#include "FetchHarness.h"
#include "ScriptedReader.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::FetchHarness;
using test::ScriptedReader;

TEST(VersionField, ReadsThreeDottedNumbers) {
  const FileVersion v = ParseVersionField(QStringLiteral("1.00.0312"));
  EXPECT_EQ(v.major, 1);
  EXPECT_EQ(v.minor, 0);
  EXPECT_EQ(v.revision, 312);
}

TEST(VersionField, APartWithoutItsDotReadsZero) {
  const FileVersion one = ParseVersionField(QStringLiteral("7"));
  EXPECT_EQ(one.major, 0);
  EXPECT_EQ(one.minor, 0);
  EXPECT_EQ(one.revision, 7);
  const FileVersion two = ParseVersionField(QStringLiteral("2.5"));
  EXPECT_EQ(two.major, 2);
  EXPECT_EQ(two.minor, 0);
  EXPECT_EQ(two.revision, 5);
  const FileVersion junk = ParseVersionField(QStringLiteral("<html>404</html>"));
  EXPECT_EQ(junk.major + junk.minor + junk.revision, 0);
  const FileVersion huge = ParseVersionField(QStringLiteral("99999999999.1.1"));
  EXPECT_EQ(huge.major, std::numeric_limits<int>::max());
}

TEST(VersionField, NewerMeansLaterInMajorThenMinorThenRevision) {
  const FileVersion running{1, 0, 311};
  EXPECT_TRUE(IsNewerVersion({1, 0, 312}, running));
  EXPECT_TRUE(IsNewerVersion({1, 1, 0}, running));
  EXPECT_TRUE(IsNewerVersion({2, 0, 0}, running));
  EXPECT_FALSE(IsNewerVersion({1, 0, 311}, running));
  EXPECT_FALSE(IsNewerVersion({0, 9, 999}, running));
  // An older release with a larger build number is not an update.
  EXPECT_FALSE(IsNewerVersion({1, 1, 200}, {1, 2, 100}));
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  UpdateCheckTest()
      : feeds(new ScriptedReader), system(new ScriptedReader),
        h(FeedEndpoints(QStringLiteral("http://feeds.test/rss")), feeds, system) {
    h.start();
    h.enableOnly({});
  }
  QString versionFile(const QByteArray& content) {
    const QString path = h.core->programFolder.AppFolder() + QStringLiteral("/version.txt");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }
  void serve(const QByteArray& content) { system->setScript(ScriptedReader::Success(content)); }
  QStringList alerts() const { return h.alertTitles(); }

  ScriptedReader* feeds;
  ScriptedReader* system;
  FetchHarness h;
};

TEST_F(UpdateCheckTest, ANewerBuildIsLoggedPaddedAndAnnouncedPlain) {
  const QString path = versionFile("1.00.0312,Tidewire build 312\r\nsecond line\r\n");
  h.update->CompareVersionFile(path);
  EXPECT_EQ(h.activity().last(), QStringLiteral("Your version: v1.0 build 0311    Available version: v1.0 build 0312"));
  ASSERT_EQ(h.window.alerts.size(), 1);
  EXPECT_EQ(h.window.alerts[0].message, QStringLiteral("Tidewire v1.0 build 312\r\n is available for download"));
  EXPECT_EQ(h.window.alerts[0].title, QStringLiteral("Update available..."));
  EXPECT_EQ(h.window.alerts[0].seconds, 0);
  EXPECT_FALSE(h.window.alerts[0].restore);
  EXPECT_TRUE(h.update->UpdateAnnouncedToday());
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(UpdateCheckTest, TheSameVersionIsOnlyLogged) {
  h.update->CompareVersionFile(versionFile("1.0.311"));
  EXPECT_EQ(h.activity().last(), QStringLiteral("Your version: v1.0 build 0311    Available version: v1.0 build 0311"));
  EXPECT_TRUE(h.window.alerts.isEmpty());
  EXPECT_FALSE(h.update->UpdateAnnouncedToday());
}

TEST_F(UpdateCheckTest, AMissingOrEmptyFileAnnouncesNothing) {
  h.update->CompareVersionFile(h.core->programFolder.AppFolder() + QStringLiteral("/none.txt"));
  h.update->CompareVersionFile(versionFile(""));
  EXPECT_EQ(h.activity().last(), QStringLiteral("Your version: v1.0 build 0311    Available version: v0.0 build 0000"));
  EXPECT_TRUE(h.window.alerts.isEmpty());
}

TEST_F(UpdateCheckTest, EveryDrainedQueueChecksUntilAnUpdateIsAnnounced) {
  serve("1.00.0311");
  ASSERT_TRUE(h.runRound());
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(system->startedUrls.size(), 2);
  EXPECT_EQ(h.activity().count(QStringLiteral("Checking for update...")), 2);
  EXPECT_EQ(h.update->LastCheckWeekday(), QStringLiteral("Thursday"));
}

TEST_F(UpdateCheckTest, AnAnnouncementHoldsForTheRestOfTheDay) {
  serve("1.00.0312");
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(9, 0)));
  ASSERT_TRUE(h.runRound());
  h.clock.set(QDateTime(QDate(2004, 3, 11), QTime(23, 59)));
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(system->startedUrls.size(), 1);
  EXPECT_EQ(alerts(), QStringList{QStringLiteral("Update available...")});
  EXPECT_EQ(h.activity().count(QStringLiteral("Checking for update...")), 1);

  h.clock.set(QDateTime(QDate(2004, 3, 12), QTime(0, 1)));
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(system->startedUrls.size(), 2);
  EXPECT_EQ(alerts().size(), 2);
  EXPECT_EQ(h.update->LastCheckWeekday(), QStringLiteral("Friday"));
}

TEST_F(UpdateCheckTest, TheSameWeekdayAWeekLaterIsANewDay) {
  serve("2.0.0");
  ASSERT_TRUE(h.runRound());
  h.clock.set(h.clock.now().addDays(7));
  ASSERT_TRUE(h.runRound());
  EXPECT_EQ(system->startedUrls.size(), 2);
  EXPECT_EQ(alerts().size(), 2);
}

TEST_F(UpdateCheckTest, AVersionDownloadStillRunningIsLeftAlone) {
  system->setScript({ScriptedReader::Status(bindstatus::Connecting, QStringLiteral("h"))});
  h.update->StartUpdateCheck();
  ASSERT_TRUE(h.dlSys.DownloadActive());
  const QString name = h.dlSys.SaveFileName();
  h.update->StartUpdateCheck();
  EXPECT_EQ(system->startedUrls.size(), 1);
  EXPECT_EQ(h.dlSys.SaveFileName(), name);
  h.dlSys.CancelDownload();
}

}  // namespace
}  // namespace tw
