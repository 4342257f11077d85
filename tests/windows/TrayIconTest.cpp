#include "core/ActivityLog.h"
#include "mainwindow/TrayBackend.h"
#include "mainwindow/TrayHost.h"
#include "mainwindow/TrayIcon.h"
#include "support/FakeWindow.h"
#include "support/TempHome.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

namespace tw {
namespace {

class FakeBackend : public TrayBackend {
 public:
  explicit FakeBackend(QStringList& calls) : calls_(calls) {}
  void add(const QIcon& icon, const QString& tip) override {
    calls_ << QStringLiteral("add");
    this->icon = icon;
    this->tip = tip;
    shown = true;
  }
  void setIcon(const QIcon& i) override {
    calls_ << QStringLiteral("setIcon");
    icon = i;
  }
  void setTip(const QString& t) override {
    calls_ << QStringLiteral("setTip");
    tip = t;
  }
  void remove() override {
    calls_ << QStringLiteral("remove");
    shown = false;
  }
  QIcon icon;
  QString tip;
  bool shown = false;

 private:
  QStringList& calls_;
};

class FakeTrayHost : public TrayHost {
 public:
  void Clear_Popups() override { calls << QStringLiteral("Clear_Popups"); }
  void setSkipTrayOnMinimise() override { calls << QStringLiteral("setSkipTrayOnMinimise"); }
  QStringList calls;
};

bool IsBlank(const QIcon& icon) {
  const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) != 0) return false;
    }
  }
  return true;
}

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() : log(clock), tray(window, panels, host) {
    window.setWindowTitle(QStringLiteral("Tidewire"));
    window.resize(640, 480);
    window.show();
    panels.setPanelText(QStringLiteral("msg"), QStringLiteral("Checking for new items in 30 minutes"));
    auto fake = std::make_unique<FakeBackend>(backendCalls);
    backend = fake.get();
    tray.setBackend(std::move(fake));
    tray.setAvailabilitySource([this] { return available; });
    tray.setActivityLog(&log);
  }

  test::FakeClock clock;
  ActivityLog log;
  QWidget window;
  test::FakeWindow panels;
  FakeTrayHost host;
  QStringList backendCalls;
  FakeBackend* backend = nullptr;
  bool available = true;
  TrayIcon tray;
};

TEST_F(TrayIconTest, SendToTrayHidesTheWindowAndShowsTheIcon) {
  tray.SendToTray(true);
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(tray.isInTray());
  EXPECT_TRUE(backend->shown);
  EXPECT_FALSE(backend->icon.isNull());
  EXPECT_EQ(tray.TrayTipText(), QStringLiteral("Tidewire\r\nChecking for new items in 30 minutes"));
  EXPECT_EQ(backend->tip, QStringLiteral("Tidewire\nChecking for new items in 30 minutes"));
  EXPECT_EQ(tray.tmrSysTrayCrash().interval(), 1000);
  EXPECT_FALSE(tray.tmrAniIcon().isActive());
}

TEST_F(TrayIconTest, ATipIsShownWholeDecodedAndAsText) {
  tray.SendToTray(false);
  // 66 characters: the countdown used to lose its last letters.
  const QString tip = QStringLiteral("Tidewire (Updated: 12:05 pm)\r\nChecking for new items in 5 minutes");
  tray.ChangeTrayTip(tip);
  EXPECT_EQ(tray.tipField(), tip);
  EXPECT_EQ(backend->tip, QStringLiteral("Tidewire (Updated: 12:05 pm)\nChecking for new items in 5 minutes"));

  // What a tooltip shows: markup when the text looks like it.
  const auto shown = [](const QString& tip) {
    if (!Qt::mightBeRichText(tip)) return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
  };
  tray.ChangeTrayTip(QStringLiteral("Warrior&#8217;s &lt;b&gt;\r\nTidewire"));
  EXPECT_EQ(tray.tipField(), QStringLiteral("Warrior&#8217;s &lt;b&gt;\r\nTidewire"));
  EXPECT_EQ(shown(backend->tip), QStringLiteral("Warrior\u2019s <b>\nTidewire")) << "decoded, and shown as text";
}

TEST_F(TrayIconTest, BlinkingAlternatesTheIconWithNothing) {
  tray.SendToTray(false);
  tray.startBlinking();
  ASSERT_TRUE(tray.tmrAniIcon().isActive());
  EXPECT_EQ(tray.tmrAniIcon().interval(), 600);

  tray.tmrAniIcon_Timer();
  EXPECT_EQ(tray.picTrayIconTag(), QStringLiteral("X"));
  EXPECT_TRUE(IsBlank(backend->icon));
  tray.tmrAniIcon_Timer();
  EXPECT_EQ(tray.picTrayIconTag(), QString());
  EXPECT_FALSE(IsBlank(backend->icon));
  tray.tmrAniIcon_Timer();
  EXPECT_TRUE(IsBlank(backend->icon));

  // The next Enable_TrayIcon ends a blank state left by the blink.
  tray.Enable_TrayIcon();
  EXPECT_FALSE(tray.tmrAniIcon().isActive());
  EXPECT_EQ(tray.picTrayIconTag(), QString());
  EXPECT_FALSE(IsBlank(backend->icon));
}

TEST_F(TrayIconTest, NoBlinkingOutsideTheTray) {
  tray.startBlinking();
  EXPECT_FALSE(tray.tmrAniIcon().isActive());
}

TEST_F(TrayIconTest, TheIconComesBackWithTheNotificationArea) {
  tray.SendToTray(false);
  backendCalls.clear();
  tray.tmrSysTrayCrash_Timer();
  EXPECT_TRUE(backendCalls.isEmpty()) << "nothing changed, nothing to do";

  available = false;
  tray.tmrSysTrayCrash_Timer();
  EXPECT_TRUE(backendCalls.isEmpty());
  available = true;
  tray.tmrSysTrayCrash_Timer();
  EXPECT_EQ(backendCalls, (QStringList{QStringLiteral("remove"), QStringLiteral("add")}));
  EXPECT_TRUE(backend->shown);
  EXPECT_EQ(backend->tip, QStringLiteral("Tidewire\nChecking for new items in 30 minutes"));
  EXPECT_TRUE(tray.isInTray());
}

TEST_F(TrayIconTest, WithoutANotificationAreaTheWindowIsNeverHidden) {
  available = false;
  EXPECT_FALSE(tray.isTrayAvailable());
  EXPECT_FALSE(tray.isTrayAvailable());
  tray.SendToTray(true);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(tray.isInTray());
  EXPECT_TRUE(backendCalls.isEmpty());
  ASSERT_EQ(log.lines().size(), 1) << "the reason is given once";
  EXPECT_TRUE(log.lines()[0].text.contains(QStringLiteral("No notification area")));
  EXPECT_EQ(log.lines()[0].level, LogLevel::Warning);
}

TEST_F(TrayIconTest, AWindowStrandedByAVanishedTrayComesBack) {
  tray.SendToTray(false);
  available = false;
  for (int i = 1; i < TrayIcon::kTrayGoneTicks; ++i) tray.tmrSysTrayCrash_Timer();
  EXPECT_FALSE(window.isVisible()) << "a taskbar restart takes a moment";
  tray.tmrSysTrayCrash_Timer();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(tray.isInTray());
  ASSERT_EQ(log.lines().size(), 1);
  EXPECT_TRUE(log.lines()[0].text.contains(QStringLiteral("notification area has gone")));
}

TEST_F(TrayIconTest, GetFromTrayShowsTheWindowAndClosesAlerts) {
  tray.SendToTray(false);
  tray.startBlinking();
  tray.GetFromTray();
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(tray.isInTray());
  EXPECT_FALSE(tray.tmrAniIcon().isActive());
  EXPECT_FALSE(backend->shown);
  EXPECT_EQ(host.calls, QStringList{QStringLiteral("Clear_Popups")});
}

TEST_F(TrayIconTest, AMinimisedWindowComesBackNormalWithoutGoingStraightBack) {
  window.showMinimized();
  tray.SendToTray(true);
  tray.GetFromTray();
  EXPECT_EQ(host.calls, (QStringList{QStringLiteral("Clear_Popups"), QStringLiteral("setSkipTrayOnMinimise")}));
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
}

TEST_F(TrayIconTest, ADoubleClickOnTheIconBringsTheWindowBack) {
  tray.SendToTray(false);
  tray.trayActivated(QSystemTrayIcon::Trigger);
  tray.trayActivated(QSystemTrayIcon::Context);
  tray.trayActivated(QSystemTrayIcon::MiddleClick);
  EXPECT_TRUE(tray.isInTray());
  tray.trayActivated(QSystemTrayIcon::DoubleClick);
  EXPECT_FALSE(tray.isInTray());
  EXPECT_TRUE(window.isVisible());
}

TEST_F(TrayIconTest, TheTrayMenuOffersOpenFirst) {
  QStringList entries;
  for (QAction* a : tray.mnuTrayPopup()->actions()) {
    entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
  }
  EXPECT_EQ(entries, (QStringList{QStringLiteral("Open Tidewire"), QStringLiteral("-"),
                                  QStringLiteral("Update News Lists"), QStringLiteral("-"), QStringLiteral("Settings"),
                                  QStringLiteral("-"), QStringLiteral("Exit")}));
  EXPECT_EQ(tray.mnuTrayPopup()->objectName(), QStringLiteral("mnuTrayPopup"));
  tray.setOpenCaption(QStringLiteral("Other"));
  EXPECT_EQ(tray.mnuOpen()->text(), QStringLiteral("Open Other"));
}

TEST_F(TrayIconTest, TheMenuEntriesReachTheMainWindow) {
  QSignalSpy update(&tray, &TrayIcon::updateRequested);
  QSignalSpy settings(&tray, &TrayIcon::settingsRequested);
  QSignalSpy exit(&tray, &TrayIcon::exitRequested);
  const auto actions = tray.mnuTrayPopup()->actions();
  actions[2]->trigger();
  actions[4]->trigger();
  actions[6]->trigger();
  EXPECT_EQ(update.count(), 1);
  EXPECT_EQ(settings.count(), 1);
  EXPECT_EQ(exit.count(), 1);

  tray.SendToTray(false);
  tray.mnuOpen()->trigger();
  EXPECT_FALSE(tray.isInTray());
  EXPECT_TRUE(window.isVisible());
}

TEST_F(TrayIconTest, RemoveTrayIconStopsEverything) {
  tray.SendToTray(false);
  tray.startBlinking();
  tray.RemoveTrayIcon();
  EXPECT_FALSE(backend->shown);
  EXPECT_FALSE(tray.isInTray());
  EXPECT_FALSE(tray.tmrAniIcon().isActive());
}

}  // namespace
}  // namespace tw
