#include "core/ActivityLog.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ActivityLog, WritesDatedLinesWithTheirLevel) {
  test::FakeClock clock;
  clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
  ActivityLog log(clock);
  QSignalSpy added(&log, &ActivityLog::lineAdded);
  log.LogActivity(QStringLiteral("Downloading Xbins"), LogLevel::Info, true);
  log.LogActivity(QStringLiteral("odd level"), 0, false);
  log.LogActivity(QStringLiteral("odd level"), 7, false);
  log.LogActivity(QStringLiteral("failed"), 3, false);
  ASSERT_EQ(log.lines().size(), 4);
  EXPECT_EQ(added.count(), 4);
  EXPECT_EQ(log.lines()[0].text, QStringLiteral("Mon Dec 07 - 14.05.09 - Downloading Xbins"));
  EXPECT_EQ(log.lines()[1].level, LogLevel::Info);
  EXPECT_EQ(log.lines()[2].level, LogLevel::Info);
  EXPECT_EQ(log.lines()[3].level, LogLevel::Error);
  EXPECT_EQ(LogLevelImageKey(log.lines()[3].level), QStringLiteral("error"));
}

TEST(ActivityLog, MirrorsToTheStatusBarOnlyWhileTheListIsHidden) {
  test::FakeClock clock;
  test::FakeWindow window;
  ActivityLog log(clock);
  log.setStatusPanels(&window);
  log.setListVisibility(&window);

  log.LogActivity(QStringLiteral("not mirrored"), LogLevel::Warning, false);
  EXPECT_FALSE(window.panelTexts.contains(QStringLiteral("dl")));

  log.LogActivity(QStringLiteral("Xbins complete (1.5 kb)"), LogLevel::Warning, true);
  EXPECT_EQ(window.panelTexts.value(QStringLiteral("dl")), QStringLiteral("Xbins complete (1.5 kb)"));
  EXPECT_EQ(window.panelImages.value(QStringLiteral("dl")), QStringLiteral("warning"));

  window.activityListShown = true;
  log.LogActivity(QStringLiteral("shown in the list"), LogLevel::Error, true);
  EXPECT_EQ(window.panelTexts.value(QStringLiteral("dl")), QStringLiteral("Xbins complete (1.5 kb)"));
}

}  // namespace
}  // namespace tw
