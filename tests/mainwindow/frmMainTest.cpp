// The assembled main window, offscreen: its strips, menus, tree clicks,
// going to the tray and coming back, and placement across a restart.
#include "core/Registry.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/Program.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TrayBackend.h"
#include "mainwindow/TrayIcon.h"
#include "support/TempHome.h"
#include "widgets/ActivityListView.h"
#include "widgets/SiteTreeView.h"
#include "widgets/Split.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

const QString kRoot = QStringLiteral("Software\\Tidewire");

class NullTrayBackend : public TrayBackend {
 public:
  void add(const QIcon&, const QString&) override { ++adds; }
  void setIcon(const QIcon&) override {}
  void setTip(const QString&) override {}
  void remove() override { ++removes; }
  int adds = 0;
  int removes = 0;
};

QStringList Captions(const QMenu* menu) {
  QStringList out;
  for (const QAction* a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return out;
}

class frmMainTest : public ::testing::Test {
 protected:
  void preset(const QString& name, int value) {
    Registry registry(home.paths().machineStore, home.paths().userStore, {});
    registry.CreateRegKey(Hive::LocalMachine, kRoot);
    registry.SetRegValue(Hive::LocalMachine, kRoot, name, value, RegType::Dword);
  }
  void start(bool trayAvailable = true) {
    program = std::make_unique<Program>(home.paths(), clock);
    auto backend = std::make_unique<NullTrayBackend>();
    trayBackend = backend.get();
    program->window().tray().setBackend(std::move(backend));
    program->window().tray().setAvailabilitySource([trayAvailable] { return trayAvailable; });
    program->Start();
    QApplication::processEvents();
  }
  frmMain& window() { return program->window(); }

  test::TempHome home;
  test::FakeClock clock;
  std::unique_ptr<Program> program;
  NullTrayBackend* trayBackend = nullptr;
};

TEST_F(frmMainTest, MenusCarryTheirCaptionsInOrder) {
  start();
  const QMenu* main = window().menuBar()->findChild<QMenu*>(QStringLiteral("mnuMenu"));
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->title(), QStringLiteral("&Menu"));
  EXPECT_EQ(Captions(main), (QStringList{"&Settings", "-", "Update News Lists", "-", "&Help", "-", "&Donations",
                                         "&About", "-", "&Exit"}));
  EXPECT_EQ(Captions(window().mnuPopup()),
            (QStringList{"Settings", "-", "Mark as Read", "Mark as Unread", "-", "Update News Lists", "-", "Help", "-",
                         "Donations", "About", "-", "Exit"}));
  EXPECT_EQ(Captions(window().tray().mnuTrayPopup()),
            (QStringList{"Open Tidewire", "-", "Update News Lists", "-", "Settings", "-", "Exit"}));
  // The tree and tray menus are not on the menu bar.
  EXPECT_EQ(window().menuBar()->actions().size(), 1);
}

TEST_F(frmMainTest, TheStripsStackAboveTheStatusBarAndGiveTheirSpaceBack) {
  preset(QStringLiteral("Show Activity Log"), 1);
  preset(QStringLiteral("Show Download Progress"), 1);
  start();
  window().resize(900, 700);
  QApplication::processEvents();
  ActivityListView& log = window().lvLog();
  const QWidget* strip = window().pBarDL()->parentWidget();
  ASSERT_TRUE(log.isVisible());
  ASSERT_TRUE(strip->isVisible());
  const QWidget* client = window().centralWidget();
  EXPECT_EQ(log.geometry().bottom(), client->height() - 1);
  EXPECT_EQ(strip->geometry().bottom(), log.geometry().top() - 1);
  EXPECT_EQ(window().splMain().geometry().height(), strip->geometry().top());
  EXPECT_EQ(window().splMain().width(), client->width());

  log.hide();
  window().RESIZE_Form();
  EXPECT_EQ(strip->geometry().bottom(), client->height() - 1);
  EXPECT_EQ(window().splMain().geometry().height(), strip->geometry().top());

  const_cast<QWidget*>(strip)->hide();
  window().RESIZE_Form();
  EXPECT_EQ(window().splMain().geometry().height(), client->height());
}

TEST_F(frmMainTest, StartsWithTheStatusPanelsAndTheTreeOfSites) {
  start();
  StatusBarPanels& panels = window().statusPanels();
  EXPECT_EQ(panels.panelText(QStringLiteral("ver")), QStringLiteral("v1.0 build 0311"));
  EXPECT_EQ(panels.panelText(QStringLiteral("user")), QStringLiteral("Single user settings  "));
  EXPECT_EQ(panels.panelText(QStringLiteral("msg")), QStringLiteral("Automatic news updating disabled"));
  EXPECT_EQ(panels.height(), 20);
  EXPECT_EQ(window().tv().topLevelItemCount(), 17);
  EXPECT_EQ(window().windowTitle(), QStringLiteral("Tidewire"));
  EXPECT_FALSE(window().lvLog().isVisible());
  EXPECT_GE(window().width(), 640);
  EXPECT_GE(window().height(), 480);
}

TEST_F(frmMainTest, ARightClickOnASiteOffersToMarkAllItsItems) {
  start();
  SiteTreeView& tv = window().tv();
  QTreeWidgetItem* xbins = tv.itemForKey(program->core().sites[2].Key);
  ASSERT_NE(xbins, nullptr);
  const QPoint at = tv.visualItemRect(xbins).center();
  QTest::mousePress(tv.viewport(), Qt::RightButton, {}, at);
  QTest::mouseRelease(tv.viewport(), Qt::RightButton, {}, at);
  QMenu* menu = window().mnuPopup();
  const QAction* read = menu->findChild<QAction*>(QStringLiteral("mnuMarkRead"));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->isVisible());
  EXPECT_EQ(read->text(), QStringLiteral("Mark all items in Xbins as Read"));
  menu->hide();

  // On empty space: the menu without the mark entries.
  const QPoint below(10, tv.viewport()->height() - 2);
  QTest::mousePress(tv.viewport(), Qt::RightButton, {}, below);
  QTest::mouseRelease(tv.viewport(), Qt::RightButton, {}, below);
  EXPECT_FALSE(read->isVisible());
  menu->hide();
}

TEST_F(frmMainTest, CloseToTrayKeepsTheProgramRunningAndExitEndsIt) {
  preset(QStringLiteral("Close To Tray"), 1);
  start();
  bool ended = false;
  QObject::connect(&window(), &frmMain::unloaded, [&ended] { ended = true; });
  window().close();
  EXPECT_FALSE(ended);
  EXPECT_TRUE(window().tray().isInTray());
  EXPECT_FALSE(window().isVisible());

  window().GetFromTray();
  EXPECT_TRUE(window().isVisible());
  EXPECT_FALSE(window().tray().isInTray());

  window().exitProgram();
  EXPECT_TRUE(ended);
}

TEST_F(frmMainTest, WithoutANotificationAreaClosingEndsTheProgram) {
  preset(QStringLiteral("Close To Tray"), 1);
  start(/*trayAvailable=*/false);
  bool ended = false;
  QObject::connect(&window(), &frmMain::unloaded, [&ended] { ended = true; });
  window().close();
  EXPECT_TRUE(ended);
}

TEST_F(frmMainTest, ComingBackFromMinimisedClosesThePopups) {
  start();
  window().alerts().ShowAlert(QStringLiteral("Xbins\r\nhas 1 new item."), QString(), 0, true);
  ASSERT_EQ(window().alerts().openAlerts().size(), 1);
  window().setWindowState(Qt::WindowMinimized);
  QApplication::processEvents();
  EXPECT_FALSE(window().tray().isInTray());  // "Close To Tray" is off
  window().setWindowState(Qt::WindowNoState);
  QApplication::processEvents();
  EXPECT_TRUE(window().alerts().openAlerts().isEmpty());
}

TEST_F(frmMainTest, PlacementAndSplitterSurviveARestart) {
  start();
  window().setGeometry(120, 90, 660, 490);
  window().splMain().setSplitterLeftTop(4500);
  QApplication::processEvents();
  const QRect before = window().geometry();
  const int splitter = window().splMain().SplitterLeftTop();
  window().exitProgram();

  start();
  EXPECT_EQ(window().geometry().size(), before.size());
  EXPECT_EQ(window().geometry().topLeft(), before.topLeft());
  EXPECT_EQ(window().splMain().SplitterLeftTop(), splitter);
}

}  // namespace
}  // namespace tw
