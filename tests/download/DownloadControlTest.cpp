#include "ControlEventLog.h"
#include "ScriptedReader.h"
#include "download/InternalErrorNotice.h"
#include "download/bkDLControl.h"
#include "support/FullFileSystem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::ControlEventLog;
using test::ScriptedReader;
using Step = ScriptedReader::Step;

const QString kUrl = QStringLiteral("http://127.0.0.1/rss/feed.xml");

class RecordingNotice : public InternalErrorNotice {
 public:
  void ShowInternalError(const QString& title, const QString& text) override { shown << title + u'|' + text; }
  QStringList shown;
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class DownloadControlTest : public ::testing::Test {
 protected:
  DownloadControlTest() : reader(new ScriptedReader), dl(reader, &notice), log(dl) {}

  // Sets address and folder and starts without waiting.
  bool start(const QString& url = kUrl) {
    dl.setFileURL(url);
    dl.setSaveFilePath(dir.path());
    return dl.BeginDownload();
  }
  QString saved(const QString& name = QStringLiteral("feed.xml")) const { return dir.filePath(name); }

  QTemporaryDir dir;
  RecordingNotice notice;
  ScriptedReader* reader;
  bkDLControl dl;
  ControlEventLog log;
};

// --- file name -------------------------------------------------------------

TEST(SaveFileName, FolderWithOrWithoutTrailingSeparatorGivesOneSeparator) {
  EXPECT_EQ(BuildSaveFileName(QStringLiteral("/tmp/a"), QStringLiteral("http://x/rss/feed.xml")),
            QStringLiteral("/tmp/a/feed.xml"));
  EXPECT_EQ(BuildSaveFileName(QStringLiteral("/tmp/a/"), QStringLiteral("http://x/rss/feed.xml")),
            QStringLiteral("/tmp/a/feed.xml"));
}

TEST(SaveFileName, NameIsTheTextAfterTheLastSlashOrBackslash) {
  EXPECT_EQ(BuildSaveFileName(QStringLiteral("/d"), QStringLiteral("feed.xml")), QStringLiteral("/d/feed.xml"));
  EXPECT_EQ(BuildSaveFileName(QStringLiteral("/d"), QStringLiteral("http://x/a\\b.xml")), QStringLiteral("/d/b.xml"));
  EXPECT_EQ(BuildSaveFileName(QStringLiteral("/d"), QStringLiteral("http://x/news.php?id=3")),
            QStringLiteral("/d/news.php?id=3"));
  EXPECT_EQ(BuildSaveFileName(QStringLiteral("/d"), QStringLiteral("http://x/rss/")), QStringLiteral("/d/"));
}

TEST(SaveFileName, EmptyFolderOrAddressGivesNoName) {
  EXPECT_TRUE(BuildSaveFileName({}, QStringLiteral("http://x/a.xml")).isEmpty());
  EXPECT_TRUE(BuildSaveFileName(QStringLiteral("/d"), {}).isEmpty());
}

TEST_F(DownloadControlTest, SettingAddressThenFolderBuildsTheNameOnlyWhenBothAreThere) {
  dl.setFileURL(kUrl);
  EXPECT_TRUE(dl.SaveFileName().isEmpty());
  dl.setSaveFilePath(dir.path());
  EXPECT_EQ(dl.SaveFileName(), saved());
}

// --- properties ------------------------------------------------------------

TEST_F(DownloadControlTest, StartsWithTheDocumentedDefaults) {
  EXPECT_EQ(dl.BackColor(), 0x8000000Fu);
  EXPECT_EQ(dl.ForeColor(), 0x80000012u);
  EXPECT_TRUE(dl.Enabled());
  EXPECT_EQ(dl.BorderStyle(), 1);
  EXPECT_TRUE(dl.FailOnRedirect());
  EXPECT_FALSE(dl.RenameOnRedirect());  // stored true, but FailOnRedirect wins
  EXPECT_TRUE(dl.ShowProgress());
  EXPECT_FALSE(dl.DownloadActive());
  EXPECT_EQ(dl.BytesRead(), 0);
  EXPECT_EQ(dl.FileSize(), 0);
  EXPECT_TRUE(dl.WriteProperties().isEmpty());
}

TEST_F(DownloadControlTest, RenameOnRedirectReadsTrueOnlyWithoutFailOnRedirect) {
  dl.setRenameOnRedirect(true);
  EXPECT_FALSE(dl.RenameOnRedirect());
  dl.setFailOnRedirect(false);
  EXPECT_TRUE(dl.RenameOnRedirect());
  dl.setRenameOnRedirect(false);
  EXPECT_FALSE(dl.RenameOnRedirect());
  // What is stored is what was written, not what reads back.
  dl.setFailOnRedirect(true);
  dl.setRenameOnRedirect(true);
  EXPECT_FALSE(dl.WriteProperties().contains(QStringLiteral("RenameOnRedirect")));
}

TEST_F(DownloadControlTest, PersistsOnlyWhatDiffersAndRestoresWithoutRebuildingTheName) {
  QSignalSpy changed(&dl, &bkDLControl::PropertyChanged);
  dl.setForeColor(0x0000FF);
  dl.setFailOnRedirect(false);
  dl.setFileURL(kUrl);
  ASSERT_EQ(changed.size(), 3);
  EXPECT_EQ(changed.at(1).at(0).toString(), QStringLiteral("FailOnRedirect"));

  const QVariantMap bag = dl.WriteProperties();
  EXPECT_EQ(bag.size(), 3);
  EXPECT_EQ(bag.value(QStringLiteral("ForeColor")).toUInt(), 0x0000FFu);
  EXPECT_EQ(bag.value(QStringLiteral("FileURL")).toString(), kUrl);

  ScriptedReader* other = new ScriptedReader;
  bkDLControl restored(other);
  restored.ReadProperties(QVariantMap{{QStringLiteral("FileURL"), kUrl},
                                      {QStringLiteral("SaveFilePath"), dir.path()},
                                      {QStringLiteral("FailOnRedirect"), false}});
  EXPECT_EQ(restored.FileURL(), kUrl);
  EXPECT_FALSE(restored.FailOnRedirect());
  EXPECT_TRUE(restored.RenameOnRedirect());
  EXPECT_EQ(restored.ForeColor(), kSystemButtonText);
  EXPECT_TRUE(restored.SaveFileName().isEmpty());
}

// --- success ---------------------------------------------------------------

TEST_F(DownloadControlTest, SuccessRaisesTheStagesInTransferOrderAndWritesTheFile) {
  const QByteArray body(100, 'r');
  ASSERT_TRUE(start());
  EXPECT_TRUE(dl.DownloadActive());
  reader->deliver(ScriptedReader::Success(body));

  EXPECT_EQ(log.events, (QStringList{QStringLiteral("DLConnected 127.0.0.1"),
                                     QStringLiteral("DLMIMEType application/rss+xml"),
                                     QStringLiteral("DLFileSize 100"), QStringLiteral("DLBeginDownload"),
                                     QStringLiteral("DLProgress 0.5 50 100"), QStringLiteral("DLProgress 1 100 100"),
                                     QStringLiteral("DLProgress 1 100 100"), QStringLiteral("DLComplete 100")}));
  EXPECT_EQ(ReadAll(saved()), body);
  EXPECT_FALSE(dl.DownloadActive());
  EXPECT_EQ(dl.Percent(), 0.0f);
  EXPECT_EQ(dl.BytesRead(), 100);
  EXPECT_EQ(dl.FileSize(), 100);
  EXPECT_EQ(dl.ConnectionAddress(), QStringLiteral("127.0.0.1"));
  EXPECT_EQ(dl.MIMEType(), QStringLiteral("application/rss+xml"));
  EXPECT_EQ(reader->startedUrls, QStringList{kUrl});
}

TEST_F(DownloadControlTest, ContentTypeAndCacheFileComeWhereverTheReaderReportsThem) {
  ASSERT_TRUE(start());
  reader->deliver({ScriptedReader::Status(bindstatus::Connecting, QStringLiteral("host")),
                   ScriptedReader::Status(bindstatus::BeginDownloadData, {}, 4, 8),
                   ScriptedReader::Status(bindstatus::CacheFileNameAvailable, QStringLiteral("/cache/f")),
                   ScriptedReader::Status(bindstatus::DownloadingData, {}, 4, 8),
                   ScriptedReader::Status(bindstatus::MimeTypeAvailable, QStringLiteral("text/xml")),
                   ScriptedReader::Status(1, QStringLiteral("finding resource")),
                   ScriptedReader::Status(bindstatus::EndDownloadData, {}, 8, 8),
                   ScriptedReader::Completion(QByteArrayLiteral("12345678"))});
  EXPECT_EQ(log.names(), (QStringList{QStringLiteral("DLConnected"), QStringLiteral("DLFileSize"),
                                      QStringLiteral("DLBeginDownload"), QStringLiteral("DLCacheFile"),
                                      QStringLiteral("DLProgress"), QStringLiteral("DLMIMEType"),
                                      QStringLiteral("DLProgress"), QStringLiteral("DLComplete")}));
  EXPECT_EQ(dl.CacheFile(), QStringLiteral("/cache/f"));
}

TEST_F(DownloadControlTest, WithoutAnnouncedSizeThePercentStaysZeroWhileBytesGrow) {
  ASSERT_TRUE(start());
  reader->deliver({ScriptedReader::Status(bindstatus::BeginDownloadData, {}, 10, 0),
                   ScriptedReader::Status(bindstatus::DownloadingData, {}, 10, 0)});
  EXPECT_EQ(dl.Percent(), 0.0f);
  EXPECT_EQ(dl.BytesRead(), 10);
  reader->deliver(ScriptedReader::Status(bindstatus::DownloadingData, {}, 30, -1));
  EXPECT_EQ(dl.Percent(), 0.0f);
  EXPECT_EQ(dl.BytesRead(), 30);
  EXPECT_EQ(log.events.last(), QStringLiteral("DLProgress 0 30 -1"));
}

TEST_F(DownloadControlTest, IsStillActiveInsideTheCompleteHandlerSoItCannotRestartItself) {
  bool restarted = true;
  log.onEvent = [&](const QString& e) {
    if (e.startsWith(QLatin1String("DLComplete"))) restarted = dl.BeginDownload();
  };
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Success("abc"));
  EXPECT_TRUE(log.activeDuring(QStringLiteral("DLComplete")));
  EXPECT_FALSE(restarted);
  EXPECT_EQ(reader->startedUrls.size(), 1);
  for (const QString& name : {QStringLiteral("DLConnected"), QStringLiteral("DLMIMEType"),
                              QStringLiteral("DLFileSize"), QStringLiteral("DLBeginDownload"),
                              QStringLiteral("DLProgress")}) {
    EXPECT_TRUE(log.activeDuring(name)) << qPrintable(name);
  }
}

TEST_F(DownloadControlTest, ABodyShorterThanTheExistingFileLeavesExactlyTheBody) {
  ASSERT_TRUE(WriteAll(saved(), QByteArray(5000, 'o')));
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Success("short"));
  EXPECT_EQ(ReadAll(saved()), QByteArrayLiteral("short"));
}

TEST_F(DownloadControlTest, RepaintsOnEveryReport) {
  QSignalSpy repaints(&dl, &bkDLControl::repaintRequested);
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Status(bindstatus::Connecting, QStringLiteral("h")));
  reader->deliver(ScriptedReader::Status(7, QStringLiteral("ignored")));
  reader->deliver(ScriptedReader::Status(bindstatus::DownloadingData, {}, 1, 4));
  EXPECT_EQ(repaints.size(), 3);
  EXPECT_FLOAT_EQ(dl.Percent(), 0.25f);
}

// --- redirects -------------------------------------------------------------

TEST_F(DownloadControlTest, ARedirectUnderFailOnRedirectCancelsAndEndsWithError2) {
  ASSERT_TRUE(start());
  reader->deliver({ScriptedReader::Status(bindstatus::Connecting, QStringLiteral("h")),
                   ScriptedReader::Status(bindstatus::Redirecting, QStringLiteral("http://other/moved.xml"))});
  EXPECT_EQ(log.events, (QStringList{QStringLiteral("DLConnected h"),
                                     QStringLiteral("DLError 2 Redirected to http://other/moved.xml"),
                                     QStringLiteral("DLComplete 0")}));
  EXPECT_EQ(reader->cancels, 1);
  EXPECT_FALSE(log.activeDuring(QStringLiteral("DLError")));
  EXPECT_FALSE(log.activeDuring(QStringLiteral("DLComplete")));
  EXPECT_EQ(dl.RedirectFile(), QStringLiteral("http://other/moved.xml"));
  EXPECT_FALSE(QFile::exists(saved()));
}

TEST_F(DownloadControlTest, AFollowedRedirectSavesUnderTheTargetsName) {
  dl.setFailOnRedirect(false);
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Status(bindstatus::Redirecting, QStringLiteral("http://other/rss/moved.xml")));
  reader->deliver(ScriptedReader::Success("moved body"));
  EXPECT_EQ(log.names().first(), QStringLiteral("DLRedirect"));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 10"));
  EXPECT_EQ(log.saveFileNameInside.last(), saved(QStringLiteral("moved.xml")));
  EXPECT_EQ(ReadAll(saved(QStringLiteral("moved.xml"))), QByteArrayLiteral("moved body"));
  EXPECT_FALSE(QFile::exists(saved()));
}

TEST_F(DownloadControlTest, AFollowedRedirectKeepsTheNameWhenRenamingIsOff) {
  dl.setFailOnRedirect(false);
  dl.setRenameOnRedirect(false);
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Status(bindstatus::Redirecting, QStringLiteral("http://other/moved.xml")));
  reader->deliver(ScriptedReader::Success("body"));
  EXPECT_EQ(ReadAll(saved()), QByteArrayLiteral("body"));
}

// --- errors ----------------------------------------------------------------

TEST_F(DownloadControlTest, ARefusedStartRaisesError1ThenShowsTheNoticeWithoutBlocking) {
  reader->refuseNextStart(301, QStringLiteral("Only http and https addresses can be downloaded"));
  EXPECT_FALSE(start());
  EXPECT_EQ(log.events, (QStringList{QStringLiteral("DLError 1 Only http and https addresses can be downloaded"),
                                     QStringLiteral("DLComplete 0")}));
  EXPECT_EQ(notice.shown, QStringList{QStringLiteral("bkDLControl Internal Error: 301|Error: 301\nOnly http and "
                                                     "https addresses can be downloaded")});
  EXPECT_FALSE(dl.DownloadActive());
}

TEST_F(DownloadControlTest, NothingReceivedIsError3AndWritesNothing) {
  ASSERT_TRUE(WriteAll(saved(), "previous"));
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Completion(QByteArray()));
  EXPECT_EQ(log.events, (QStringList{QStringLiteral("DLError 3 Zero bytes retrieved"), QStringLiteral("DLComplete 0")}));
  EXPECT_EQ(ReadAll(saved()), QByteArrayLiteral("previous"));
}

TEST_F(DownloadControlTest, AnUnwritableNameIsError4WithThePathInBrackets) {
  ASSERT_TRUE(start(QStringLiteral("http://x/rss/")));  // no file name: the folder itself
  reader->deliver(ScriptedReader::Success("body"));
  ASSERT_EQ(log.names().mid(log.names().size() - 2), (QStringList{QStringLiteral("DLError"), QStringLiteral("DLComplete")}));
  const QString error = log.events.at(log.events.size() - 2);
  EXPECT_TRUE(error.startsWith(QLatin1String("DLError 4 "))) << qPrintable(error);
  EXPECT_TRUE(error.endsWith(QStringLiteral(" [") + dir.path() + QStringLiteral("/]"))) << qPrintable(error);
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 0"));
}

TEST_F(DownloadControlTest, AMissingFolderIsError4AndLeavesNoFile) {
  dl.setFileURL(kUrl);
  dl.setSaveFilePath(dir.filePath(QStringLiteral("missing")));
  ASSERT_TRUE(dl.BeginDownload());
  reader->deliver(ScriptedReader::Success("body"));
  EXPECT_TRUE(log.events.at(log.events.size() - 2).startsWith(QLatin1String("DLError 4 ")));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/feed.xml"))));
}

// A feed that cannot be saved in full is error 4 and never replaces the
// previous one, which the next parse would otherwise merge cut short.
TEST_F(DownloadControlTest, AFeedOnAFullDiskIsError4AndThePreviousFeedStaysWhole) {
  test::FullFileSystem disk;
  if (!disk.isMounted()) GTEST_SKIP() << qPrintable(disk.reason());
  const QString feed = disk.path(QStringLiteral("feed.xml"));
  ASSERT_TRUE(WriteAll(feed, "<rss>previous</rss>"));
  for (const qint64 leaveFree : {0, 4096}) {
    disk.fill(leaveFree);
    log.events.clear();
    dl.setFileURL(kUrl);
    dl.setSaveFilePath(disk.path(QString()));
    ASSERT_TRUE(dl.BeginDownload());
    reader->deliver(ScriptedReader::Success(QByteArray(10000, 'i')));
    ASSERT_GE(log.events.size(), 2);
    EXPECT_TRUE(log.events.at(log.events.size() - 2).startsWith(QLatin1String("DLError 4 No space left on device")))
        << qPrintable(log.events.join(u'\n'));
    EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 0"));
    EXPECT_EQ(ReadAll(feed), QByteArrayLiteral("<rss>previous</rss>"));
  }
}

TEST_F(DownloadControlTest, AFeedTheKernelCutsShortIsError4AndThePreviousFeedStaysWhole) {
  ASSERT_TRUE(WriteAll(saved(), "<rss>previous</rss>"));
  ASSERT_TRUE(start());
  {
    const test::FileSizeLimit limit(1000);
    reader->deliver(ScriptedReader::Success(QByteArray(2057, 'i')));
  }
  EXPECT_TRUE(log.events.at(log.events.size() - 2).startsWith(QLatin1String("DLError 4 ")))
      << qPrintable(log.events.join(u'\n'));
  EXPECT_EQ(ReadAll(saved()), QByteArrayLiteral("<rss>previous</rss>"));
}

TEST_F(DownloadControlTest, AFailedTransferIsError99AndKeepsTheDetailsItHad) {
  ASSERT_TRUE(start());
  reader->deliver({ScriptedReader::Status(bindstatus::BeginDownloadData, {}, 10, 40),
                   ScriptedReader::Status(bindstatus::DownloadingData, {}, 10, 40),
                   ScriptedReader::Failure(QStringLiteral("Connection closed"))});
  EXPECT_EQ(log.events.mid(3), (QStringList{QStringLiteral("DLError 99 Connection closed"), QStringLiteral("DLComplete 0")}));
  EXPECT_FALSE(log.activeDuring(QStringLiteral("DLError")));
  EXPECT_EQ(dl.Percent(), 0.0f);
  EXPECT_EQ(dl.BytesRead(), 10);
  EXPECT_EQ(dl.FileSize(), 40);
}

TEST_F(DownloadControlTest, AReadThatHasEndedSaysNothingMore) {
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Failure(QStringLiteral("reset")));
  reader->deliver(ScriptedReader::Completion(QByteArrayLiteral("late")));
  reader->deliver(ScriptedReader::Status(bindstatus::Connecting, QStringLiteral("late")));
  EXPECT_EQ(log.names(), (QStringList{QStringLiteral("DLError"), QStringLiteral("DLComplete")}));
  EXPECT_FALSE(QFile::exists(saved()));
}

TEST_F(DownloadControlTest, TheNextStartClearsTheDetailsOfTheLastOne) {
  ASSERT_TRUE(start());
  reader->deliver({ScriptedReader::Status(bindstatus::Redirecting, QStringLiteral("http://r/x.xml"))});
  ASSERT_FALSE(dl.RedirectFile().isEmpty());
  ASSERT_TRUE(start());
  EXPECT_TRUE(dl.RedirectFile().isEmpty());
  EXPECT_EQ(dl.BytesRead(), 0);
}

// --- starting and cancelling ----------------------------------------------

TEST_F(DownloadControlTest, NoStartWithoutAddressOrFolderOrWhileActive) {
  dl.setSaveFilePath(dir.path());
  EXPECT_FALSE(dl.BeginDownload());
  dl.setSaveFilePath({});
  dl.setFileURL(kUrl);
  EXPECT_FALSE(dl.BeginDownload());
  ASSERT_TRUE(start());
  EXPECT_FALSE(dl.BeginDownload());
  EXPECT_TRUE(log.events.isEmpty());
  EXPECT_EQ(reader->startedUrls.size(), 1);
}

TEST_F(DownloadControlTest, CancelWhenIdleDoesNothing) {
  dl.CancelDownload();
  EXPECT_TRUE(log.events.isEmpty());
  EXPECT_EQ(reader->cancels, 0);
}

TEST_F(DownloadControlTest, CancelWhenActiveRaisesDLCanceledAndNoComplete) {
  ASSERT_TRUE(start());
  reader->deliver(ScriptedReader::Status(bindstatus::DownloadingData, {}, 5, 10));
  dl.CancelDownload();
  reader->deliver(ScriptedReader::Completion(QByteArrayLiteral("late")));
  EXPECT_EQ(log.names(), (QStringList{QStringLiteral("DLProgress"), QStringLiteral("DLCanceled")}));
  EXPECT_FALSE(log.activeDuring(QStringLiteral("DLCanceled")));
  EXPECT_EQ(reader->cancels, 1);
  EXPECT_EQ(dl.Percent(), 0.0f);
  EXPECT_FALSE(QFile::exists(saved()));
}

TEST_F(DownloadControlTest, GoingAwayMidTransferStopsTheReadAndRaisesNothing) {
  auto* other = new ScriptedReader;
  int cancels = 0;
  {
    bkDLControl doomed(other);
    ControlEventLog events(doomed);
    doomed.setFileURL(kUrl);
    doomed.setSaveFilePath(dir.path());
    ASSERT_TRUE(doomed.BeginDownload());
    QObject::connect(&doomed, &QObject::destroyed, [&] { cancels = other->cancels; });
    EXPECT_TRUE(events.events.isEmpty());
  }
  EXPECT_EQ(cancels, 1);
}

TEST_F(DownloadControlTest, WaitFalseReturnsAtOnce) {
  reader->setScript(ScriptedReader::Success("body"));
  dl.setFileURL(kUrl);
  dl.setSaveFilePath(dir.path());
  EXPECT_TRUE(dl.BeginDownload(false));
  EXPECT_TRUE(log.events.isEmpty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dl.DownloadActive(); }, 2000));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 4"));
}

TEST_F(DownloadControlTest, WaitTrueReturnsTrueOnlyAfterTheFileIsWritten) {
  reader->setScript(ScriptedReader::Success("waited"));
  dl.setFileURL(kUrl);
  dl.setSaveFilePath(dir.path());
  EXPECT_TRUE(dl.BeginDownload(true));
  EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 6"));
  EXPECT_FALSE(dl.DownloadActive());
  EXPECT_EQ(ReadAll(saved()), QByteArrayLiteral("waited"));
}

TEST_F(DownloadControlTest, WaitTrueReturnsFalseForEveryError) {
  dl.setFileURL(kUrl);
  dl.setSaveFilePath(dir.path());
  const QVector<QVector<Step>> failures = {
      {ScriptedReader::Failure(QStringLiteral("reset"))},
      {ScriptedReader::Status(bindstatus::Redirecting, QStringLiteral("http://o/x"))},
      {ScriptedReader::Completion(QByteArray())},
  };
  for (const auto& script : failures) {
    reader->setScript(script);
    EXPECT_FALSE(dl.BeginDownload(true));
    EXPECT_EQ(log.events.last(), QStringLiteral("DLComplete 0"));
  }
  reader->refuseNextStart(5, QStringLiteral("refused"));
  EXPECT_FALSE(dl.BeginDownload(true));
  dl.setFileURL(QStringLiteral("http://x/"));
  reader->setScript(ScriptedReader::Success("body"));
  EXPECT_FALSE(dl.BeginDownload(true));  // error 4
}

TEST_F(DownloadControlTest, WaitTrueGivesUpOnAReaderThatNeverEnds) {
  reader->deadline = 50;
  reader->setScript({ScriptedReader::Status(bindstatus::Connecting, QStringLiteral("h"))});
  dl.setFileURL(kUrl);
  dl.setSaveFilePath(dir.path());
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(dl.BeginDownload(true));
  EXPECT_LT(clock.elapsed(), 10000);
  EXPECT_FALSE(dl.DownloadActive());
  EXPECT_TRUE(log.events.at(log.events.size() - 2).startsWith(QLatin1String("DLError 99 "))) << qPrintable(log.events.join(u'|'));
  EXPECT_EQ(reader->cancels, 1);
}

TEST_F(DownloadControlTest, MouseEventsFromTheSurfacePassThroughInOrder) {
  Q_EMIT dl.MouseDown(1, 0, 2.0f, 3.0f);
  Q_EMIT dl.MouseUp(1, 0, 2.0f, 3.0f);
  Q_EMIT dl.Click();
  EXPECT_EQ(log.events, (QStringList{QStringLiteral("MouseDown 1 0 2 3"), QStringLiteral("MouseUp 1 0 2 3"),
                                     QStringLiteral("Click")}));
}

}  // namespace
}  // namespace tw
