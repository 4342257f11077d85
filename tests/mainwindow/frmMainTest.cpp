// The assembled main window, offscreen: its strips, menus, tree clicks,
// going to the tray and coming back, placement across a restart, and an
// exit that waits for a store another program holds.
#include "core/Registry.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/Program.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TitleStripPanel.h"
#include "mainwindow/TrayBackend.h"
#include "mainwindow/TrayIcon.h"
#include "support/LockingProcess.h"
#include "support/TempHome.h"
#include "widgets/ActivityListView.h"
#include "widgets/ElidedLabel.h"
#include "widgets/SiteTreeView.h"
#include "widgets/Split.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
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
  // Stored items of a site, as an earlier check left them: unread.
  void presetItems(const QString& regName, const QStringList& titles) {
    Registry registry(home.paths().machineStore, home.paths().userStore, {});
    const QString site = kRoot + u'\\' + regName;
    registry.CreateRegKey(Hive::LocalMachine, site);
    registry.SetRegValue(Hive::LocalMachine, site, QStringLiteral("TotalItems"), titles.size(), RegType::Dword);
    for (int i = 0; i < titles.size(); ++i) {
      const QString item = site + u'\\' + QString::number(i + 1);
      registry.CreateRegKey(Hive::LocalMachine, item);
      registry.SetRegValue(Hive::LocalMachine, item, QStringLiteral("Title"), titles[i], RegType::String);
      registry.SetRegValue(Hive::LocalMachine, item, QStringLiteral("Link"),
                           QStringLiteral("https://news.example/%1").arg(i + 1), RegType::String);
      registry.SetRegValue(Hive::LocalMachine, item, QStringLiteral("Tag"), QStringLiteral("<UNREAD>"), RegType::String);
    }
  }
  void key(QWidget* to, QEvent::Type type, int k, bool repeat) {
    QKeyEvent e(type, k, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(to, &e);
  }
  // Items of the tree whose tag says read.
  int readItems() {
    int read = 0;
    const SiteTree& tree = program->core().tv;
    for (const QString& site : tree.rootKeys()) {
      for (const QString& item : tree.childKeys(site)) read += tree.find(item)->tag.contains(QStringLiteral("<READ>"));
    }
    return read;
  }
  int expandedSites() {
    int open = 0;
    for (const QString& site : program->core().tv.rootKeys()) open += program->core().tv.find(site)->expanded;
    return open;
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

TEST_F(frmMainTest, ExitWaitsForTheChangesAStoreHeldElsewhereCannotTakeYet) {
  preset(QStringLiteral("Sort Sites"), 0);
  test::LockingProcess locker(home.paths().machineStore, "writes");
  ASSERT_TRUE(locker.isLocked());
  start();
  bool ended = false;
  QObject::connect(&window(), &frmMain::unloaded, [&ended] { ended = true; });
  window().exitProgram();
  ASSERT_NE(program->exitWait().box(), nullptr);
  // Not quitting after all leaves the program running; the next exit asks again.
  program->exitWait().box()->escapeButton()->click();
  EXPECT_FALSE(program->exitWait().isWaiting());
  window().exitProgram();
  QMessageBox* box = program->exitWait().box();
  ASSERT_NE(box, nullptr);
  const qsizetype waiting = program->core().registry.UnsavedChanges();
  EXPECT_GT(waiting, 0);
  EXPECT_TRUE(box->text().contains(QStringLiteral("%1 change(s) are waiting").arg(waiting))) << box->text().toStdString();
  EXPECT_TRUE(box->text().contains(home.paths().machineStore)) << box->text().toStdString();
  EXPECT_FALSE(ended);

  locker.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 5000));
  EXPECT_FALSE(QFile::exists(home.paths().machineStore + QStringLiteral(".pending")));
  Registry registry(home.paths().machineStore, home.paths().userStore, {});
  EXPECT_FALSE(registry.QueryRegValue(Hive::LocalMachine, kRoot, QStringLiteral("frmMainWidth")).isEmpty());
}

TEST_F(frmMainTest, HoldingDownInTheTreeOpensOnlyTheNodeItStopsOn) {
  presetItems(QStringLiteral("Tidewire"), {"One", "Two", "Three", "Four"});
  presetItems(QStringLiteral("Xbins"), {"Five", "Six", "Seven"});
  start();
  SiteTreeView& tv = window().tv();
  tv.setFocus();
  // Down held for a dozen repeats, as X delivers them: a release and a press
  // each time, most releases not marked as repeats.
  key(&tv, QEvent::KeyPress, Qt::Key_Down, false);
  for (int i = 0; i < 12; ++i) {
    key(&tv, QEvent::KeyRelease, Qt::Key_Down, i % 3 == 0);
    key(&tv, QEvent::KeyPress, Qt::Key_Down, i % 3 == 0);
  }
  EXPECT_EQ(expandedSites(), 0) << "nothing opens while the key is held";
  key(&tv, QEvent::KeyRelease, Qt::Key_Down, false);

  // Let go: the site it stopped on opens, once, and nothing it passed is read.
  const QString last = program->core().tv.selectedKey();
  EXPECT_EQ(last, program->core().tv.rootKeys().value(13));
  EXPECT_TRUE(QTest::qWaitFor([&] { return expandedSites() == 1; }, 3000));
  EXPECT_TRUE(program->core().tv.find(last)->expanded);
  QTest::qWait(500);
  EXPECT_EQ(readItems(), 0);
  EXPECT_EQ(window().titleStrip().lblTitle()->text(), program->core().sites[14].Title);
}

TEST_F(frmMainTest, EscOnTheTreeMenuThenItsReleaseOpensNothing) {
  start();
  SiteTreeView& tv = window().tv();
  tv.setFocus();
  QTreeWidgetItem* xbins = tv.itemForKey(program->core().sites[2].Key);
  const QPoint at = tv.visualItemRect(xbins).center();
  QTest::mousePress(tv.viewport(), Qt::RightButton, {}, at);
  QTest::mouseRelease(tv.viewport(), Qt::RightButton, {}, at);
  QMenu* menu = window().mnuPopup();
  ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));

  // Esc closes the menu; its release comes to the tree, which has the focus again.
  QTest::keyPress(menu, Qt::Key_Escape);
  ASSERT_FALSE(menu->isVisible());
  key(&tv, QEvent::KeyRelease, Qt::Key_Escape, false);
  QTest::qWait(400);
  EXPECT_EQ(expandedSites(), 0);
  EXPECT_TRUE(window().BuiltInPageShown()) << "the About page is still shown";
}

TEST_F(frmMainTest, CaptionsAreNeverShortenedTheTreeScrollsInstead) {
  start();
  window().resize(700, 500);
  SiteTreeView& tv = window().tv();
  // The skin sites' captions are wider than the pane.
  EXPECT_TRUE(QTest::qWaitFor([&] { return tv.horizontalScrollBar()->maximum() > 0; }, 2000));
  // Every caption is whole in its row, with its counts.
  for (int i = 0; i < tv.topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = tv.topLevelItem(i);
    QFont font = item->font(0);
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(item->text(0)), tv.visualItemRect(item).width())
        << item->text(0).toStdString();
  }
}

TEST_F(frmMainTest, TheTreeShowsFeedTextsDecodedWhileItsNodesKeepThemAsTheyCame) {
  const QString stored = QStringLiteral("<![CDATA[Full Spectrum Warrior&#8217;s <b>review</b>]]>");
  presetItems(QStringLiteral("Xbins"), {stored});
  start();
  const QString key = program->core().sites[2].Key + QStringLiteral("1");
  QTreeWidgetItem* item = window().tv().itemForKey(key);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(0), QStringLiteral("Full Spectrum Warrior\u2019s <b>review</b>"));
  EXPECT_EQ(program->core().tv.find(key)->text, stored);
}

TEST_F(frmMainTest, ALongMessageLeavesEveryStatusPanelInSight) {
  start();
  window().resize(640, 480);
  program->core().activity.LogActivity(
      QStringLiteral("Could not save the news items of AllXboxSkins - Xbox Media Center; its previous list is kept."),
      LogLevel::Error, true);
  StatusBarPanels& bar = window().statusPanels();
  ASSERT_FALSE(bar.panelText(QStringLiteral("dl")).isEmpty()) << "mirrored while the activity list is hidden";
  QApplication::processEvents();
  for (const char* key : {"user", "msg", "dl", "ver"}) {
    const QWidget* panel = bar.findChild<QWidget*>(QStringLiteral("panel_") + QLatin1String(key));
    ASSERT_NE(panel, nullptr) << key;
    EXPECT_TRUE(panel->isVisible()) << key;
    const QRect inWindow(panel->mapTo(&window(), QPoint(0, 0)), panel->size());
    EXPECT_TRUE(window().rect().contains(inWindow))
        << key << " at " << inWindow.x() << '+' << inWindow.width() << " in " << window().width();
  }
  EXPECT_EQ(bar.panelText(QStringLiteral("ver")), QStringLiteral("v1.0 build 0311"));
}

TEST_F(frmMainTest, ALinkNoDesktopProgramTakesIsReportedWithItsAddress) {
  // A desktop without a web browser: nothing to hand the address to.
  QTemporaryDir emptyPath;
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", emptyPath.path().toLocal8Bit());
  const QByteArray browser = qgetenv("BROWSER");
  qunsetenv("BROWSER");
  start();
  TitleStripPanel& strip = window().titleStrip();
  TitleStripContent content;
  content.link.text = QStringLiteral("https://www.xbox-scene.info/news/4411");
  strip.setTitleStrip(content);
  const QPoint at = strip.lblLink()->rect().center();
  QTest::mousePress(strip.lblLink(), Qt::RightButton, {}, at);
  QTest::mouseRelease(strip.lblLink(), Qt::RightButton, {}, at);
  qputenv("PATH", path);
  if (!browser.isEmpty()) qputenv("BROWSER", browser);

  const ActivityLine& line = program->core().activity.lines().last();
  EXPECT_TRUE(line.text.contains(QStringLiteral("Could not open https://www.xbox-scene.info/news/4411")))
      << line.text.toStdString();
  EXPECT_EQ(line.level, LogLevel::Error);
}

}  // namespace
}  // namespace tw
