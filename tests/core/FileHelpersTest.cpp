#include "core/DebugLog.h"
#include "core/FileHelpers.h"
#include "support/FullFileSystem.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tw {
namespace {

QByteArray Contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FileHelpers, WriteTextFileReplacesWithSingleByteTextAndCrLf) {
  test::TempHome home;
  const QString path = home.path(QStringLiteral("main.htm"));
  ASSERT_TRUE(WriteTextFile(path, QStringLiteral("first version, much longer than the next")));
  ASSERT_TRUE(WriteTextFile(path, QStringLiteral("caf\u00e9 \u20ac \u4e2d")));
  EXPECT_EQ(Contents(path), QByteArray("caf\xe9 \x80 ?\r\n"));
  EXPECT_FALSE(WriteTextFile(home.path(QStringLiteral("no/such/folder/x.htm")), QStringLiteral("x")));
  EXPECT_TRUE(FileExists(path));
  DeleteFileIfPresent(path);
  EXPECT_FALSE(FileExists(path));
  DeleteFileIfPresent(path);  // absent: nothing happens
  EXPECT_FALSE(FileExists(home.path(QString())));
}

TEST(FileHelpers, EnsureFolderMakesOneLevel) {
  test::TempHome home;
  EnsureFolder(home.path(QStringLiteral("Logs/")));
  EXPECT_TRUE(QFileInfo(home.path(QStringLiteral("Logs"))).isDir());
  EnsureFolder(home.path(QStringLiteral("a/b/c")));
  EXPECT_FALSE(QFileInfo(home.path(QStringLiteral("a"))).exists());
}

TEST(FileHelpers, SaveResourceFileWritesTheBytesUnchanged) {
  test::TempHome home;
  const QString path = home.path(QStringLiteral("logo.jpg"));
  QFile original(QStringLiteral(":/TESTTYPE/SAMPLE"));
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QByteArray bytes = original.readAll();

  EXPECT_EQ(SaveResourceFile(path, QStringLiteral("SAMPLE"), QStringLiteral("TESTTYPE"), false),
            ResourceFileResult::Written);
  EXPECT_EQ(Contents(path), bytes);
  EXPECT_EQ(SaveResourceFile(path, QStringLiteral("SAMPLE"), QStringLiteral("TESTTYPE"), false),
            ResourceFileResult::FileExists);
  ASSERT_TRUE(WriteTextFile(path, QString(500, u'z')));
  EXPECT_EQ(SaveResourceFile(path, QStringLiteral("SAMPLE"), QStringLiteral("TESTTYPE"), true),
            ResourceFileResult::Written);
  EXPECT_EQ(Contents(path), bytes);
  // No such picture: no file.
  EXPECT_EQ(SaveResourceFile(path, QStringLiteral("NONE"), QStringLiteral("TESTTYPE"), true),
            ResourceFileResult::NoSuchResource);
  EXPECT_FALSE(QFile::exists(path));
}

// Saves that cannot land in full: the previous file stays as it was and the
// save says so.
void ExpectSavesFailWhole(const QString& page, std::initializer_list<qsizetype> sizes) {
  const QByteArray pageBefore = Contents(page);
  for (const qsizetype size : sizes) {
    QString error;
    EXPECT_FALSE(SaveFileWhole(page, QByteArray(size, 'n'), &error)) << size;
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(SaveTransientFile(page, QByteArray(size, 't'), &error)) << size;
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteTextFile(page, QString(size, u'n'))) << size;
    EXPECT_EQ(Contents(page), pageBefore) << size;
  }
  // Nothing of the failed saves is left beside the page.
  EXPECT_TRUE(QDir(QFileInfo(page).path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden).isEmpty());
}

// Where no file system can be mounted, DownloadControlTest covers the same
// saves under a file size limit.
TEST(FileHelpers, SavesOnAFullFileSystemFailAndKeepThePreviousFiles) {
  test::FullFileSystem disk;
  if (!disk.isMounted()) GTEST_SKIP() << qPrintable(disk.reason());
  const QString page = disk.path(QStringLiteral("main.htm"));
  const QString picture = disk.path(QStringLiteral("logo.jpg"));
  ASSERT_TRUE(WriteTextFile(page, QStringLiteral("the page shown before")));
  ASSERT_TRUE(WriteTextFile(picture, QStringLiteral("the picture before")));
  disk.fill();
  ExpectSavesFailWhole(page, {2057, 10000});
  EXPECT_EQ(SaveResourceFile(picture, QStringLiteral("SAMPLE"), QStringLiteral("TESTTYPE"), true),
            ResourceFileResult::WriteFailed);
  EXPECT_EQ(Contents(picture), QByteArray("the picture before\r\n"));
  disk.fill(4096);  // one page left: the start of a save fits, the rest does not
  ExpectSavesFailWhole(page, {10000, 100000});
}

TEST(DebugLog, WritesOnlyWhenEnabled) {
  test::TempHome home;
  test::FakeClock clock;
  clock.set(QDateTime(QDate(2004, 3, 11), QTime(9, 5, 7)));
  const DebugLog off(home.paths().programFolder, QStringLiteral("Tidewire"), clock, false);
  EXPECT_TRUE(off.WriteDebugLog(QStringLiteral("x"), QStringLiteral("Xbins")));
  EXPECT_FALSE(QDir(home.paths().programFolder + QStringLiteral("/Logs")).exists());

  const DebugLog on(home.paths().programFolder, QStringLiteral("Tidewire"), clock, true);
  EXPECT_TRUE(on.WriteDebugLog(QStringLiteral("Begin download: Xbins"), QStringLiteral("Xbins")));
  EXPECT_TRUE(on.WriteDebugLog(QString(), QStringLiteral("Xbins")));
  EXPECT_TRUE(on.WriteDebugLog(QStringLiteral("no name")));
  EXPECT_EQ(Contents(on.logFilePath(QStringLiteral("Xbins"))),
            QByteArray("03/11/04 - 09:05:07 - Begin download: Xbins\r\n\r\n"));
  EXPECT_EQ(Contents(on.logFilePath(QString())), QByteArray("03/11/04 - 09:05:07 - no name\r\n"));
  // A feed name with a slash is no file name: the line is lost, not the program.
  EXPECT_FALSE(on.WriteDebugLog(QStringLiteral("x"), QStringLiteral("AllXboxSkins - XLink/Bo-XLink")));
}

TEST(FileHelpers, LoginNameIsKnown) { EXPECT_FALSE(GetLoginName().isEmpty()); }

}  // namespace
}  // namespace tw
