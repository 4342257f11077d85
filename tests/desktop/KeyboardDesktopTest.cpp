// The real program on a virtual X desktop, worked with the keyboard alone
// (xdotool); what it shows is read from its state report.
#include "DesktopSession.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

namespace tw {
namespace {

TEST(Desktop, TheKeyboardAloneWorksTheTreeItsMenuTheLinkAndTheOptions) {
  test::VirtualDesktop desktop;
  ASSERT_TRUE(desktop.problem().isEmpty()) << desktop.problem().toStdString();
  test::ProgramRun run;
  run.storeItems(QStringLiteral("Tidewire"), {"One", "Two", "Three"}, QStringLiteral("http://127.0.0.1:9/"));
  QFile report(QDir(run.homeFolder()).filePath(QStringLiteral("state.txt")));
  run.setEnvironment(QStringLiteral("TIDEWIRE_STATE_REPORT"), report.fileName());
  QString shown;
  // Keys pressed, then texts in the report ("!": not in it), still so once
  // the keys' releases have long settled.
  const auto after = [&](const QStringList& keys, const QStringList& starts) {
    if (!keys.isEmpty()) test::RunTool(QStringLiteral("xdotool"), QStringList{"key", "--clearmodifiers", "--delay", "250"} + keys);
    const auto now = [&] {
      shown = report.open(QIODevice::ReadOnly) ? QString::fromUtf8(report.readAll()) : QString();
      report.close();
      return std::all_of(starts.begin(), starts.end(), [&](const QString& s) {
        return s.startsWith(u'!') ? !shown.contains(s.mid(1)) : shown.contains(s);
      });
    };
    return test::WaitFor(now, 20000) && (QThread::msleep(1000), now());
  };
#define EXPECT_AFTER(...) EXPECT_TRUE(after(__VA_ARGS__)) << shown.toStdString()
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  test::ActivateWindow(run.window());
  EXPECT_AFTER({}, {"selected: Tidewire (0 New, 3 Unread", "!open: "});

  // Right opens the closed site, Left closes the open one; letting go shows
  // the site and leaves it as the key left it. Right never steps into items.
  for (const char* key : {"Right", "Right", "Left", "Left"}) {
    EXPECT_AFTER({key}, {"selected: Tidewire (0 New, 3 Unread", "page: Tidewire", key[0] == 'R' ? "open: " : "!open: "});
  }

  // The tree's menu for the node selected, the link reached with Tab.
  EXPECT_AFTER({"Menu"}, {"menu: Settings, Mark all items in Tidewire as Read"});
  EXPECT_AFTER({"Escape", "Right", "Down", "shift+F10"}, {"selected: One", "menu: Settings, Mark as Read, Mark as Unread"});
  // The engine's view loads the item's address in the panel; the light view
  // hands it to the desktop, which has no browser here. Either way, it is told.
  EXPECT_AFTER({"Escape", "Tab", "Return"},
               {"menu: closed", TIDEWIRE_WEB_ENGINE ? "Could not load http://127.0.0.1:9/1" : "Could not open http://127.0.0.1:9/1"});

  // Enter on the focused "Apply", after "Sort sites (A->Z)".
  EXPECT_AFTER({"alt+m", "s"}, {"options:   Tidewire Options"});
  test::ActivateWindow(test::ShownWindows(QStringLiteral("--name"), QStringLiteral("Tidewire Options")).value(0).id);
  EXPECT_AFTER({"Home", "Down", "Down", "Down", "Down", "Down", "space", "Tab", "Return"}, {"options: closed"});
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.stored("Sort Sites"), 1);
}

}  // namespace
}  // namespace tw
