#include "core/ActivityLog.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"
#include "widgets/ActivityListView.h"
#include "widgets/ImageList.h"

#include <QIcon>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace tw {
namespace {

QString RowText(const ActivityListView& view, int row) { return view.model()->index(row, 0).data().toString(); }

class ActivityListViewTest : public ::testing::Test {
 protected:
  ActivityListViewTest() : log(clock) { log.setStatusPanels(&panels); }
  test::FakeClock clock;
  test::FakeWindow panels;
  ActivityLog log;
  ImageList images;
};

TEST_F(ActivityListViewTest, ShowsEarlierLinesThenFollowsTheLog) {
  log.LogActivity(QStringLiteral("Starting Tidewire v1.0 build 0311"), 1, false);
  ActivityListView view(log, images);
  log.LogActivity(QStringLiteral("Feed could not be read"), 3, false);
  ASSERT_EQ(view.model()->rowCount(), 2);
  EXPECT_EQ(RowText(view, 0), QStringLiteral("Thu Mar 11 - 14.05.09 - Starting Tidewire v1.0 build 0311"));
  EXPECT_TRUE(RowText(view, 1).endsWith(QStringLiteral("Feed could not be read")));
  EXPECT_FALSE(view.model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_EQ(view.model()->index(1, 0).data(Qt::AccessibleDescriptionRole), QStringLiteral("Error"));
  EXPECT_EQ(view.objectName(), QStringLiteral("lvLog"));
}

// Past its cap the list keeps the newest lines, in the log, in the view that
// follows it and in a view made afterwards.
TEST_F(ActivityListViewTest, StaysOnTheNewestLineAndKeepsTheNewest5000) {
  ActivityListView view(log, images);
  view.resize(400, 120);
  view.show();
  const struct {
    int logged;
    QString first;
  } steps[] = {{200, QStringLiteral("line 0")},
               {5000, QStringLiteral("line 0")},
               {5001, QStringLiteral("line 1")},
               {5300, QStringLiteral("line 300")}};
  int logged = 0;
  for (const auto& step : steps) {
    for (; logged < step.logged; ++logged) log.LogActivity(QStringLiteral("line %1").arg(logged), 1, false);
    QTest::qWait(10);
    const int kept = std::min(step.logged, 5000);
    ASSERT_EQ(log.lines().size(), kept) << step.logged;
    EXPECT_TRUE(log.lines().first().text.endsWith(step.first)) << step.logged;
    ASSERT_EQ(view.model()->rowCount(), kept) << step.logged;
    EXPECT_TRUE(RowText(view, 0).endsWith(step.first)) << step.logged;
    EXPECT_TRUE(RowText(view, kept - 1).endsWith(QStringLiteral("line %1").arg(logged - 1)));
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum()) << step.logged;
  }
  const ActivityListView later(log, images);
  ASSERT_EQ(later.model()->rowCount(), 5000);
  EXPECT_TRUE(RowText(later, 0).endsWith(QStringLiteral("line 300")));
}

TEST_F(ActivityListViewTest, TheColumnIsAsWideAsTheLongestLine) {
  ActivityListView view(log, images);
  view.resize(200, 120);
  view.show();
  const QString longLine(300, u'w');
  log.LogActivity(longLine, 2, false);
  log.LogActivity(QStringLiteral("short"), 1, false);
  EXPECT_GE(view.columnWidth(0), view.fontMetrics().horizontalAdvance(longLine));
}

TEST_F(ActivityListViewTest, AHiddenListSendsMirroredLinesToTheStatusBar) {
  QWidget window;
  auto* view = new ActivityListView(log, images, &window);
  window.show();
  EXPECT_TRUE(view->isActivityListShown());
  log.LogActivity(QStringLiteral("into the list"), 1, true);
  EXPECT_EQ(panels.panelText(QStringLiteral("dl")), QString());

  window.hide();  // in the tray: the list is still "shown"
  EXPECT_TRUE(view->isActivityListShown());

  view->hide();
  EXPECT_FALSE(view->isActivityListShown());
  log.LogActivity(QStringLiteral("to the status bar"), 2, true);
  EXPECT_EQ(panels.panelText(QStringLiteral("dl")), QStringLiteral("to the status bar"));
  EXPECT_EQ(panels.panelImages.value(QStringLiteral("dl")), QStringLiteral("warning"));
}

TEST_F(ActivityListViewTest, TheLogForgetsAViewThatIsGone) {
  { ActivityListView view(log, images); }
  log.LogActivity(QStringLiteral("after the view"), 1, true);
  EXPECT_EQ(panels.panelText(QStringLiteral("dl")), QStringLiteral("after the view"));
}

}  // namespace
}  // namespace tw
