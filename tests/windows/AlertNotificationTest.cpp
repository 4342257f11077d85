// Alerts where the program cannot place windows: they go to the desktop's
// notification service, and come back as windows when no service answers.
#include "FakeAlertHost.h"
#include "core/ActivityLog.h"
#include "core/AppIdentity.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/DBusNotifications.h"
#include "mainwindow/frmAlert.h"
#include "support/TempHome.h"
#include "widgets/WindowPlatform.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace tw {
namespace {

using FakeHost = test::FakeAlertHost;

// The desktop's service as the test plays it: it answers when told to.
class FakeNotifications : public NotificationTransport {
 public:
  void Notify(const DesktopNotification& notification, Sent sent) override {
    shown << notification;
    pending << std::move(sent);
  }
  void Close(quint32 id) override { closedIds << id; }
  // Answers every notification still waiting: with the next ids, or with 0
  // as when no service is there.
  void answer(bool serviceUp) {
    for (const Sent& sent : std::exchange(pending, {})) sent(serviceUp ? ++lastId : 0);
  }

  QList<DesktopNotification> shown;
  QList<Sent> pending;
  QList<quint32> closedIds;
  quint32 lastId = 0;
};

const QString kVersionTitle = QStringLiteral("Tidewire v1.0 build 0311");
const QString kNoService = QStringLiteral(
    "The desktop's notification service did not answer: alerts are shown in windows of their own");

class AlertNotificationTest : public ::testing::Test {
 protected:
  AlertNotificationTest() : log(clock), manager(identity, &host) {
    identity.ProgTitle = QStringLiteral("Tidewire");
    identity.VersionText = QStringLiteral("v1.0 build 0311");
    manager.setScreenArea([] { return QRect(0, 0, 1280, 984); });
    manager.setSlide({1, 500});
    manager.setActivityLog(&log);
    auto fake = std::make_unique<FakeNotifications>();
    desktop = fake.get();
    manager.setNotifications(std::move(fake));
  }
  ~AlertNotificationTest() override { qunsetenv("XDG_ACTIVATION_TOKEN"); }

  int linesSaying(const QString& text) const {
    int n = 0;
    for (const ActivityLine& line : log.lines()) n += line.text.endsWith(text) ? 1 : 0;
    return n;
  }

  test::FakeClock clock;
  ActivityLog log;
  AppIdentity identity;
  FakeHost host;
  AlertManager manager;
  FakeNotifications* desktop = nullptr;
};

TEST_F(AlertNotificationTest, AlertsGoToTheDesktopAndAClickDoesWhatAClickOnTheWindowDoes) {
  manager.ShowAlert(QStringLiteral("Tom &amp; Jerry\r\nhas 3 new items."), kVersionTitle, 20, true);
  manager.ShowAlert(QStringLiteral("Skins\r\nhas 1 new item."), kVersionTitle, 20, true);
  manager.ShowAlert(QStringLiteral("Skins\r\nhas failed to download\r\n5 times in succession.\r\nPlease check the feed!"),
                    QStringLiteral("Error encountered..."), 0, false);
  manager.ShowAlert(QStringLiteral("Tidewire v1.1 build 0400 is available for download"), QString(), 0, false);
  desktop->answer(true);

  EXPECT_TRUE(manager.openAlerts().isEmpty()) << "no windows of its own";
  ASSERT_EQ(desktop->shown.size(), 4);
  const DesktopNotification& news = desktop->shown[0];
  EXPECT_EQ(news.title, kVersionTitle);
  EXPECT_EQ(news.text, QStringLiteral("Tom & Jerry\nhas 3 new items."));
  EXPECT_EQ(news.timeoutMs, 20000);
  EXPECT_EQ(news.actionLabel, QStringLiteral("Open Tidewire"));
  const DesktopNotification& failure = desktop->shown[2];
  EXPECT_EQ(failure.title, QStringLiteral("Error encountered..."));
  EXPECT_EQ(failure.text, QStringLiteral("Skins\nhas failed to download\n5 times in succession.\nPlease check the feed!"));
  EXPECT_EQ(failure.timeoutMs, 0) << "stays until closed";
  EXPECT_EQ(failure.actionLabel, QStringLiteral("Close"));
  EXPECT_EQ(desktop->shown[3].title, kVersionTitle) << "an empty title becomes the program and version";
  EXPECT_EQ(manager.openNotifications(), 4);

  // The desktop lets one go (it expired, or the user dismissed it): only that one.
  Q_EMIT desktop->closed(2);
  EXPECT_EQ(manager.openNotifications(), 3);
  EXPECT_TRUE(desktop->closedIds.isEmpty());
  EXPECT_TRUE(host.calls.isEmpty());

  // A click on the failure alert closes only it; another program's click does nothing.
  Q_EMIT desktop->activated(3, QString());
  Q_EMIT desktop->activated(99, QStringLiteral("not ours"));
  EXPECT_EQ(desktop->closedIds, QList<quint32>{3});
  EXPECT_TRUE(host.calls.isEmpty());
  EXPECT_EQ(manager.openNotifications(), 2);

  // A click on a news alert brings the window back, with the desktop's
  // token, and clears every alert.
  Q_EMIT desktop->activated(1, QStringLiteral("token-1"));
  EXPECT_EQ(host.calls, QStringList{QStringLiteral("GetFromTray")});
  EXPECT_EQ(qgetenv("XDG_ACTIVATION_TOKEN"), QByteArray("token-1"));
  QList<quint32> closed = desktop->closedIds;
  std::sort(closed.begin() + 1, closed.end());
  EXPECT_EQ(closed, (QList<quint32>{3, 1, 4}));
  EXPECT_EQ(manager.openNotifications(), 0);
}

TEST_F(AlertNotificationTest, WithNoServiceAlertsShowAsWindowsAndTheListSaysSoOnce) {
  manager.ShowAlert(QStringLiteral("Site\r\nhas 2 new items."), kVersionTitle, 20, true);
  manager.ShowAlert(QStringLiteral("Other\r\nhas 1 new item."), kVersionTitle, 20, true);
  EXPECT_TRUE(manager.openAlerts().isEmpty()) << "nothing before the desktop answers";
  desktop->answer(false);
  ASSERT_EQ(manager.openAlerts().size(), 2);
  EXPECT_EQ(manager.openAlerts()[0]->lblAlert()->text(), QStringLiteral("Site\r\nhas 2 new items."));
  EXPECT_EQ(manager.openAlerts()[0]->lblTitle()->text(), kVersionTitle);
  EXPECT_EQ(manager.openAlerts()[1]->slot(), 2);
  EXPECT_EQ(linesSaying(kNoService), 1);

  manager.ShowAlert(QStringLiteral("Third"), QString(), 0, false);
  desktop->answer(false);
  EXPECT_EQ(manager.openAlerts().size(), 3);
  EXPECT_EQ(linesSaying(kNoService), 1) << "said once";

  // Each alert asks again: a service that has started takes the next one.
  manager.ShowAlert(QStringLiteral("Fourth"), QString(), 0, false);
  desktop->answer(true);
  EXPECT_EQ(manager.openAlerts().size(), 3);
  EXPECT_EQ(manager.openNotifications(), 1);

  // A click on a window alert clears the notifications too.
  host.visible = true;
  Q_EMIT manager.openAlerts()[0]->restoreRequested();
  EXPECT_EQ(host.calls, QStringList{QStringLiteral("showMainWindowNormal")});
  EXPECT_TRUE(manager.openAlerts().isEmpty());
  EXPECT_EQ(desktop->closedIds, QList<quint32>{1});
}

TEST_F(AlertNotificationTest, AnAlertClearedBeforeTheDesktopAnswersIsNeverLeftShowing) {
  manager.ShowAlert(QStringLiteral("late"), kVersionTitle, 20, true);
  manager.Clear_Popups();
  desktop->answer(true);
  EXPECT_EQ(desktop->closedIds, QList<quint32>{1});
  EXPECT_EQ(manager.openNotifications(), 0);

  manager.ShowAlert(QStringLiteral("late"), kVersionTitle, 20, true);
  manager.Clear_Popups();
  desktop->answer(false);
  EXPECT_TRUE(manager.openAlerts().isEmpty());
}

TEST(AlertTransport, NotificationsOnlyWhereTheProgramCannotPlaceWindows) {
  EXPECT_TRUE(PlatformPlacesWindows(QStringLiteral("xcb")));
  EXPECT_TRUE(PlatformPlacesWindows(QStringLiteral("offscreen")));
  EXPECT_FALSE(PlatformPlacesWindows(QStringLiteral("wayland")));
  EXPECT_FALSE(PlatformPlacesWindows(QStringLiteral("wayland-egl")));
  EXPECT_EQ(NotificationsForPlatform(QStringLiteral("xcb")), nullptr);
  EXPECT_NE(NotificationsForPlatform(QStringLiteral("wayland")), nullptr);
}

}  // namespace
}  // namespace tw
