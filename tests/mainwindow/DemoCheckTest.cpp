// The whole program against the demo server: a check fills the tree, a click
// on an item shows its page in the panel, marks it read and leaves no page
// file behind.
#include "DemoProgram.h"
#include "core/SettingDefs.h"
#include "core/StatusTags.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/AlertPlacement.h"
#include "mainwindow/TitleStripPanel.h"
#include "widgets/ElidedLabel.h"
#include "widgets/ImageList.h"
#include "widgets/SiteTreeView.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace tw {
namespace {

// The program on a home of its own, fetching from the demo server.
class DemoCheck : public ::testing::Test {
 protected:
  DemoCheck() {
    EXPECT_TRUE(server.listen());
    program_ = test::DemoProgram(home, clock, server);
    program_->Start();
  }
  // One check of every site, to its end.
  void check() {
    QSignalSpy drained(&program_->downloads().fetch, &FetchCycle::queueDrained);
    program_->updateNewsLists();
    ASSERT_TRUE(drained.wait(120000));
    QApplication::processEvents();
  }

  test::TempHome home;
  test::FakeClock clock;
  demo::DemoFeedServer server;
  std::unique_ptr<Program> program_;
};

TEST_F(DemoCheck, ACheckFillsTheTreeAndAClickShowsAnItem) {
  Program& program = *program_;
  check();

  AppCore& core = program.core();
  for (int site = 1; site <= core.sites.LastIndex(); ++site) {
    EXPECT_GT(core.tv.childCount(core.sites[site].Key), 0) << core.sites[site].Title.toStdString();
  }
  EXPECT_TRUE(program.window().windowTitle().startsWith(QStringLiteral("Tidewire (Updated: ")));

  // A left click on Xbins' first item.
  const QString item = core.tv.childKeys(core.sites[2].Key).first();
  ASSERT_TRUE(core.tv.find(item)->tag.contains(TagUnread));
  QSignalSpy loaded(&program.web(), &WebView::loadFinished);
  test::LeftClick(program, item);
  ASSERT_TRUE(loaded.wait(60000));
  QApplication::processEvents();

  EXPECT_TRUE(core.tv.find(item)->tag.contains(TagRead));
  EXPECT_EQ(program.window().titleStrip().lblTitle()->text(), core.tv.find(item)->text);
  const QStringList leftOver = QDir(core.programFolder.AppFolder())
                                   .entryList({QStringLiteral("*.htm"), QStringLiteral("*.jpg"), QStringLiteral("*.gif")},
                                              QDir::Files);
  EXPECT_TRUE(leftOver.isEmpty()) << leftOver.join(u' ').toStdString();
  EXPECT_EQ(core.tv.find(core.sites[2].Key)->text.left(7), QStringLiteral("Xbins ("));

  // Marking it unread again from the tree menu.
  program.setReadStatus(false);
  EXPECT_TRUE(core.tv.find(item)->tag.contains(TagUnread));
  program.window().exitProgram();
}

// Everything a tree view shows, row by row, in the order shown.
QStringList Shows(const QTreeWidget& view) {
  QStringList rows;
  std::function<void(const QTreeWidgetItem*, int)> add = [&](const QTreeWidgetItem* item, int depth) {
    rows << QStringLiteral("%1%2 | %3 | %4 | %5 | %6%7")
                .arg(QString(depth * 2, u' '), item->text(0), item->data(0, Qt::UserRole + 1).toString(),
                     item->font(0).bold() ? QStringLiteral("bold") : QStringLiteral("plain"),
                     item->background(0).color().name(), item->isExpanded() ? QStringLiteral("open") : QString(),
                     item == view.currentItem() ? QStringLiteral(" current") : QString());
    for (int i = 0; i < item->childCount(); ++i) add(item->child(i), depth + 1);
  };
  for (int i = 0; i < view.topLevelItemCount(); ++i) add(view.topLevelItem(i), 0);
  return rows;
}

// A check changes the tree view a site at a time, yet leaves it showing what
// a view built afresh from the tree shows; every news alert reaches its own
// place in the stack.
TEST_F(DemoCheck, AfterEachCheckTheTreeShowsWhatAFreshViewShowsAndAlertsStandInTheirPlaces) {
  Program& program = *program_;
  AppCore& core = program.core();
  core.settings.setFlag(setting::ColouredTitles, true);
  SiteTreeView& tv = program.window().tv();
  const ImageList images;

  check();
  SiteTreeView fresh(core.tv, images);
  EXPECT_EQ(Shows(tv), Shows(fresh));
  EXPECT_EQ(Shows(tv).filter(QStringLiteral("#dcffdc")).size(), core.sites.LastIndex()) << "every site has news";

  const QList<frmAlert*> alerts = program.window().alerts().openAlerts();
  ASSERT_EQ(alerts.size(), core.sites.LastIndex());
  ASSERT_TRUE(QTest::qWaitFor([&] {
    for (const frmAlert* a : alerts) {
      if (a->phase() != frmAlert::Phase::Shown) return false;
    }
    return true;
  }, 10000));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  for (int i = 0; i < alerts.size(); ++i) {
    EXPECT_EQ(alerts[i]->slot(), i + 1);
    EXPECT_EQ(alerts[i]->geometry(), AlertPlacement::FinalGeometry(area, alerts[i]->size(), i + 1));
    EXPECT_TRUE(alerts[i]->cut().isEmpty()) << "all of it in view";
  }
  program.window().Clear_Popups();

  // News for two sites, one of them open with an item selected (the item
  // goes with the rebuild), and new items opening their site.
  core.settings.setFlag(setting::AutoExpandNew, true);
  const QString xbins = core.sites[2].Key;
  core.tv.setExpanded(xbins, true);
  core.tv.select(core.tv.childKeys(xbins).at(1));
  server.addItems(2, 1);
  server.addItems(5, 2);
  QSignalSpy inserted(tv.model(), &QAbstractItemModel::rowsInserted);
  check();
  // Items still new keep every site rebuilding, each in place: only the two
  // sites that grew get rows, their new ones in one insertion each.
  QList<int> insertedRows;
  for (const QList<QVariant>& args : inserted) insertedRows << args.at(2).toInt() - args.at(1).toInt() + 1;
  std::sort(insertedRows.begin(), insertedRows.end());
  EXPECT_EQ(insertedRows, (QList<int>{1, 2}));
  SiteTreeView again(core.tv, images);
  EXPECT_EQ(Shows(tv), Shows(again));
  EXPECT_TRUE(core.tv.find(core.sites[5].Key)->expanded);
  EXPECT_EQ(program.window().alerts().openAlerts().size(), 2);
  program.window().exitProgram();
}

}  // namespace
}  // namespace tw
