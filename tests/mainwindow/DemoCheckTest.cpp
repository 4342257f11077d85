// The whole program against the demo server: a check fills the tree, a click
// on an item shows its page in the panel, marks it read and leaves no page
// file behind.
#include "DemoProgram.h"
#include "core/StatusTags.h"
#include "mainwindow/TitleStripPanel.h"
#include "widgets/ElidedLabel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(DemoCheck, ACheckFillsTheTreeAndAClickShowsAnItem) {
  test::TempHome home;
  test::FakeClock clock;
  demo::DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  const std::unique_ptr<Program> owned = test::DemoProgram(home, clock, server);
  Program& program = *owned;
  program.Start();

  QSignalSpy drained(&program.downloads().fetch, &FetchCycle::queueDrained);
  program.updateNewsLists();
  ASSERT_TRUE(drained.wait(120000));

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

}  // namespace
}  // namespace tw
