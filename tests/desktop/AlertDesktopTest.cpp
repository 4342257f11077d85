// Alerts as people meet them on each kind of desktop: the real program
// checking the demo feeds on Wayland (headless weston, with a notification
// service and a notification area of the test's own on a private session
// bus) and on X11 (Xvfb with openbox). Also what the desktop's notification
// service receives from the program's side of D-Bus.
#include "DemoFeedServer.h"
#include "DesktopServices.h"
#include "DesktopSession.h"
#include "WaylandDesktop.h"
#include "core/Catalogue.h"
#include "core/FeedEndpoints.h"
#include "core/SiteTable.h"
#include "mainwindow/DBusNotifications.h"
#include "mainwindow/frmAlert.h"
#include "news/DisplayText.h"

#include <QGuiApplication>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::NotificationService;
using test::ProgramRun;
using test::ReceivedNotification;
using test::WaitFor;

const QString kAppId = QStringLiteral("app.tidewire.Tidewire");
const QString kNewsTitle = QStringLiteral("Tidewire v1.0 build 0311");
// 700 x 500 at (50, 40), in the twips the store keeps at 96 dpi.
constexpr int kLeft = 50 * 15, kTop = 40 * 15, kWidth = 700 * 15, kHeight = 500 * 15;
constexpr int kCheckMs = 120000;

std::string Text(const QString& s) { return s.toStdString(); }

// A program that checks the demo server's feeds at start-up.
void PrepareCheck(ProgramRun& run, const demo::DemoFeedServer& server) {
  run.store("frmMainLeft", kLeft);
  run.store("frmMainTop", kTop);
  run.store("frmMainWidth", kWidth);
  run.store("frmMainHeight", kHeight);
  run.store("Check At Startup", 1);
  run.store("Check Interval Minutes", 60);
  run.setEnvironment(QString::fromLatin1(FeedEndpoints::kBaseVariable), server.baseUrl());
}

// The new-items alert of every site, in the order they are checked.
QStringList NewsAlerts(const demo::DemoFeedServer& server) {
  SiteTable sites;
  BuildCatalogue(sites, QStringLiteral("Tidewire"), FeedEndpoints(server.baseUrl()));
  QStringList texts;
  for (int site = 1; site <= sites.LastIndex(); ++site) {
    const int n = server.itemCount(site);
    if (n == 0) continue;
    texts << DisplayText(sites[site].Title) + QStringLiteral("\nhas %1 new ").arg(n) +
                 (n < 2 ? QStringLiteral("item.") : QStringLiteral("items."));
  }
  return texts;
}

// Waits for count notifications while the program runs.
::testing::AssertionResult AllNotified(const NotificationService& notifications, ProgramRun& run, qsizetype count) {
  if (WaitFor([&] { return notifications.received().size() >= count || !run.isRunning(); }, kCheckMs) &&
      notifications.received().size() >= count) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << notifications.received().size() << " notifications\n" << Text(run.output());
}

#define ASSERT_UP(thing) ASSERT_TRUE((thing).problem().isEmpty()) << Text((thing).problem())

TEST(Desktops, OnWaylandAlertsAreTheDesktopsNotificationsAndAClickBringsTheWindowBack) {
  demo::DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  NotificationService notifications;
  ASSERT_UP(notifications);
  test::TrayWatcher tray;
  ASSERT_UP(tray);
  test::WaylandDesktop desktop;
  ASSERT_UP(desktop);

  ProgramRun run;
  PrepareCheck(run, server);
  // In the tray, so that a click has a window to bring back.
  run.store("Auto Minimise", 1);
  run.store("Close To Tray", 1);
  desktop.admit(run);
  ASSERT_TRUE(run.launch());

  const QStringList expected = NewsAlerts(server);
  ASSERT_TRUE(AllNotified(notifications, run, expected.size()));
  QStringList bodies;
  for (const ReceivedNotification& n : notifications.received()) {
    bodies << n.body;
    EXPECT_EQ(Text(n.summary), Text(kNewsTitle));
    EXPECT_EQ(Text(n.appName), "Tidewire");
    EXPECT_EQ(Text(n.appIcon), "tidewire");
    EXPECT_EQ(n.expireTimeout, 20000);
    EXPECT_EQ(n.actions, (QStringList{QStringLiteral("default"), QStringLiteral("Open Tidewire")}));
    EXPECT_EQ(Text(n.hints.value(QStringLiteral("desktop-entry")).toString()), Text(kAppId));
  }
  EXPECT_EQ(bodies, expected);
  EXPECT_EQ(desktop.windowsShown(kAppId), 0) << "the window stays in the tray";
  EXPECT_EQ(tray.iconsShown(), 1);

  // A click on one: the window comes back (with the desktop's own id), the
  // tray icon goes, and so do the other alerts.
  const quint32 clicked = notifications.received().at(4).id;
  notifications.click(clicked, QStringLiteral("token-from-the-click"));
  EXPECT_TRUE(WaitFor([&] { return desktop.windowsShown(kAppId) == 1; }, 30000)) << "no window came back";
  EXPECT_TRUE(WaitFor([&] { return tray.iconsShown() == 0; }, 10000)) << "the tray icon stayed";
  EXPECT_TRUE(WaitFor([&] {
    for (const ReceivedNotification& n : notifications.received()) {
      if (notifications.isOpen(n.id)) return false;
    }
    return true;
  }, 10000)) << "alerts left open";

  // Wayland reports no position: the one stored for X11 stays as it was,
  // while the size is still saved.
  ASSERT_TRUE(run.stop()) << Text(run.output());
  EXPECT_EQ(run.stored("frmMainLeft"), kLeft);
  EXPECT_EQ(run.stored("frmMainTop"), kTop);
  EXPECT_EQ(run.stored("frmMainWidth"), kWidth);
  EXPECT_EQ(run.stored("frmMainHeight"), kHeight);
  EXPECT_EQ(run.stored("frmMainWindowState"), 0);
}

TEST(Desktops, OnX11AlertsAreTheProgramsOwnWindows) {
  demo::DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  NotificationService notifications;
  ASSERT_UP(notifications);
  test::VirtualDesktop desktop;
  ASSERT_UP(desktop);

  ProgramRun run;
  PrepareCheck(run, server);
  ASSERT_TRUE(run.start()) << Text(run.output());

  // Every alert window that has been up, sliding or standing: they slide
  // away again after their time.
  const qsizetype expected = NewsAlerts(server).size();
  QSet<QString> alerts;
  const bool allSeen = WaitFor([&] {
    for (const test::ShownWindow& w : test::ShownWindows(QStringLiteral("--classname"), QStringLiteral("^tidewire$"))) {
      if (w.client.width() == frmAlert::kWidth) alerts << w.id;
    }
    return alerts.size() >= expected;
  }, kCheckMs);
  EXPECT_TRUE(allSeen) << alerts.size() << " alert windows\n" << Text(run.output());
  EXPECT_TRUE(notifications.received().isEmpty()) << "the desktop's notifications are for Wayland";
  ASSERT_TRUE(run.stop());
}

// The test's own X tools (xdotool, xwininfo) look at another display while
// this lives.
class ToolsOnDisplay {
 public:
  explicit ToolsOnDisplay(const QString& display) : previous_(qgetenv("DISPLAY")) {
    qputenv("DISPLAY", display.toLocal8Bit());
  }
  ~ToolsOnDisplay() { qputenv("DISPLAY", previous_); }

 private:
  QByteArray previous_;
};

TEST(Desktops, UnderXWaylandTheWindowFirstShowsWhereItWasLeft) {
  test::WaylandDesktop desktop(/*xwayland=*/true);
  ASSERT_UP(desktop);
  const ToolsOnDisplay tools(desktop.xDisplay());
  ProgramRun run;
  run.store("frmMainLeft", 300 * 15);
  run.store("frmMainTop", 200 * 15);
  run.store("frmMainWidth", kWidth);
  run.store("frmMainHeight", kHeight);
  run.setEnvironment(QStringLiteral("DISPLAY"), desktop.xDisplay());
  ASSERT_TRUE(run.launch());

  // weston places an X window where it asks only when it first shows; a
  // later move is not followed. So where it stands tells where it showed.
  const auto mainWindow = [] {
    for (const test::ShownWindow& w : test::ShownWindows(QStringLiteral("--name"), QStringLiteral("^Tidewire"))) {
      if (w.client.width() >= 640) return w.client;
    }
    return QRect();
  };
  ASSERT_TRUE(WaitFor([&] { return !mainWindow().isEmpty(); }, 60000)) << Text(run.output());
  QTest::qWait(1000);
  const QRect shown = mainWindow();
  EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(shown)) << shown.x() << ',' << shown.y();
  EXPECT_EQ(shown.size(), QSize(700, 500));
  // Within weston's own frame of the remembered place.
  EXPECT_NEAR(shown.x(), 300, 40);
  EXPECT_NEAR(shown.y(), 200, 40);
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.stored("frmMainLeft"), 300 * 15) << "no drift across restarts";
  EXPECT_EQ(run.stored("frmMainTop"), 200 * 15);
}

TEST(Desktops, InAWaylandSessionThroughXWaylandTheWindowStandsWholeAndAlertsAreNotifications) {
  demo::DemoFeedServer server;
  ASSERT_TRUE(server.listen());
  NotificationService notifications;
  ASSERT_UP(notifications);
  test::WaylandDesktop desktop(/*xwayland=*/true);
  ASSERT_UP(desktop);
  const ToolsOnDisplay tools(desktop.xDisplay());
  ProgramRun run;
  PrepareCheck(run, server);
  // Low on the screen: weston frames it below the place it asks for.
  run.store("frmMainTop", 250 * 15);
  desktop.admit(run);
  run.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  run.setEnvironment(QStringLiteral("DISPLAY"), desktop.xDisplay());
  ASSERT_TRUE(run.launch());

  // weston piles tool windows up where it likes: the alerts go to the
  // desktop's notifications instead.
  const QStringList expected = NewsAlerts(server);
  ASSERT_TRUE(AllNotified(notifications, run, expected.size()));
  QStringList bodies;
  for (const ReceivedNotification& n : notifications.received()) bodies << n.body;
  EXPECT_EQ(bodies, expected);

  // The status bar included, the window is on the screen.
  const auto mainWindow = [] {
    for (const test::ShownWindow& w : test::ShownWindows(QStringLiteral("--name"), QStringLiteral("^Tidewire"))) {
      if (w.client.width() >= 640) return w.client;
    }
    return QRect();
  };
  EXPECT_TRUE(WaitFor([&] {
    const QRect shown = mainWindow();
    return !shown.isEmpty() && QRect(0, 0, 1024, 768).contains(shown);
  }, 10000)) << mainWindow().y() << '+' << mainWindow().height();
  ASSERT_TRUE(run.stop()) << Text(run.output());
}

TEST(Desktops, WhatTheNotificationServiceReceives) {
  QGuiApplication::setDesktopFileName(kAppId);
  NotificationService service({QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")});
  ASSERT_UP(service);
  // The program's side on a connection of its own, as another process.
  const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("program"));
  DBusNotifications program(bus);
  QList<QPair<quint32, QString>> activated;
  QList<quint32> closed;
  QObject::connect(&program, &NotificationTransport::activated, [&](quint32 id, const QString& token) {
    activated.append({id, token});
  });
  QObject::connect(&program, &NotificationTransport::closed, [&](quint32 id) { closed << id; });

  quint32 id = 0;
  bool answered = false;
  program.Notify({QStringLiteral("Tidewire v1.0 build 0311"), QStringLiteral("Tom & <Jerry>\nhas 1 new item."), 20000,
                  QStringLiteral("Open Tidewire")},
                 [&](quint32 given) {
                   id = given;
                   answered = true;
                 });
  EXPECT_FALSE(answered) << "answers come later, never from inside Notify";
  ASSERT_TRUE(WaitFor([&] { return answered; }, 15000));
  ASSERT_NE(id, 0u);
  ASSERT_EQ(service.received().size(), 1);
  const ReceivedNotification& n = service.received().first();
  EXPECT_EQ(Text(n.appName), "Tidewire");
  EXPECT_EQ(n.replacesId, 0u);
  EXPECT_EQ(Text(n.appIcon), "tidewire");
  EXPECT_EQ(Text(n.summary), "Tidewire v1.0 build 0311");
  EXPECT_EQ(Text(n.body), "Tom &amp; &lt;Jerry&gt;\nhas 1 new item.") << "escaped for a service that reads markup";
  EXPECT_EQ(n.actions, (QStringList{QStringLiteral("default"), QStringLiteral("Open Tidewire")}));
  EXPECT_EQ(Text(n.hints.value(QStringLiteral("desktop-entry")).toString()), Text(kAppId));
  EXPECT_EQ(n.expireTimeout, 20000);

  // A click: its token, then the default action; then the desktop closes it.
  service.click(id, QStringLiteral("token-1"));
  ASSERT_TRUE(WaitFor([&] { return !activated.isEmpty() && !closed.isEmpty(); }, 10000));
  EXPECT_EQ(activated, (QList<QPair<quint32, QString>>{{id, QStringLiteral("token-1")}}));
  EXPECT_EQ(closed, QList<quint32>{id});

  program.Close(42);
  EXPECT_TRUE(WaitFor([&] { return service.closeRequests() == QList<quint32>{42}; }, 10000));
}

TEST(Desktops, WithoutANotificationServiceNothingIsShown) {
  const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("alone"));
  DBusNotifications program(bus);
  quint32 id = 1;
  bool answered = false;
  program.Notify({QStringLiteral("t"), QStringLiteral("m"), 0, QStringLiteral("Close")}, [&](quint32 given) {
    id = given;
    answered = true;
  });
  ASSERT_TRUE(WaitFor([&] { return answered; }, DBusNotifications::kCallTimeoutMs + 5000));
  EXPECT_EQ(id, 0u);
}

}  // namespace
}  // namespace tw
