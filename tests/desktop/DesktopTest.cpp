// The real program on a virtual X desktop of 800 x 600 with openbox (and
// trayer where the tray matters), driven with xdotool as a user would: where
// the window appears across restarts, what coming back from the tray keeps,
// dragging the splitter.
#include "DesktopSession.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <ostream>

namespace tw {

void PrintTo(const QRect& r, std::ostream* os) { *os << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height(); }

namespace {

using test::ProgramRun;
using test::VirtualDesktop;
using test::WaitFor;
using test::XWindow;

const QRect kScreen(0, 0, 800, 600);
// The place a user left the window at: 700 x 500 at (50, 40), in the twips
// the store keeps at 96 dpi.
const QRect kRemembered(50, 40, 700, 500);
constexpr int kTwips = 15;

void Remember(ProgramRun& run, const QRect& place) {
  run.store("frmMainLeft", place.x() * kTwips);
  run.store("frmMainTop", place.y() * kTwips);
  run.store("frmMainWidth", place.width() * kTwips);
  run.store("frmMainHeight", place.height() * kTwips);
}

QRect StoredPlace(ProgramRun& run) {
  return {run.stored("frmMainLeft") / kTwips, run.stored("frmMainTop") / kTwips, run.stored("frmMainWidth") / kTwips,
          run.stored("frmMainHeight") / kTwips};
}

#define ASSERT_DESKTOP(desktop) ASSERT_TRUE((desktop).problem().isEmpty()) << (desktop).problem().toStdString()

// Chosen in the options, the light page view shows the pages of a program
// that never loads the web engine.
TEST(Desktop, WithTheLightPageViewTheWebEngineIsNeverLoaded) {
  VirtualDesktop desktop;
  ASSERT_DESKTOP(desktop);
  ProgramRun run;
  run.store("Light Page View", 1);
  QFile report(QDir(run.homeFolder()).filePath(QStringLiteral("state.txt")));
  run.setEnvironment(QStringLiteral("TIDEWIRE_STATE_REPORT"), report.fileName());
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  const auto read = [](QFile& file) {
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    return text;
  };
  EXPECT_TRUE(WaitFor([&] { return read(report).contains("page: built-in"); }, 20000)) << read(report).toStdString();
  QFile maps(QStringLiteral("/proc/%1/maps").arg(run.pid()));
  const QByteArray mapped = read(maps);
  EXPECT_TRUE(mapped.contains("libQt6Widgets"));
  EXPECT_FALSE(mapped.contains("libQt6WebEngine")) << "the web engine is loaded";
  EXPECT_FALSE(mapped.contains("tidewire-engine-view"));
  ASSERT_TRUE(run.stop());
}

TEST(Desktop, AutoMinimiseStartsMinimisedAndComesBackWhereItWas) {
  VirtualDesktop desktop;
  ASSERT_DESKTOP(desktop);
  ProgramRun run;
  Remember(run, kRemembered);
  run.store("Auto Minimise", 1);
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  EXPECT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).iconic; }, 10000)) << "not minimised";

  // Brought back as a taskbar would (the window manager animates it there).
  test::ActivateWindow(run.window());
  ASSERT_TRUE(WaitFor([&] { return !test::InspectWindow(run.window()).iconic; }, 10000));
  EXPECT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).client == kRemembered; }, 5000));
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(StoredPlace(run), kRemembered);

  // Ending while still minimised keeps the place too.
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  ASSERT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).iconic; }, 10000));
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(StoredPlace(run), kRemembered);
  EXPECT_EQ(run.stored("frmMainWindowState"), 1);
}

TEST(Desktop, RestartedMaximisedItGoesBackToItsPlace) {
  VirtualDesktop desktop;
  ASSERT_DESKTOP(desktop);
  ProgramRun run;
  Remember(run, kRemembered);
  run.store("frmMainWindowState", 2);
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  ASSERT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).maximised; }, 10000));

  // A double click on the title bar un-maximises.
  test::Click(QPoint(400, 8), 2);
  ASSERT_TRUE(WaitFor([&] { return !test::InspectWindow(run.window()).maximised; }, 10000));
  EXPECT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).client == kRemembered; }, 5000))
      << test::InspectWindow(run.window()).client.x() << ',' << test::InspectWindow(run.window()).client.y();
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(StoredPlace(run), kRemembered);
  EXPECT_EQ(run.stored("frmMainWindowState"), 0);
}

TEST(Desktop, FromTheTrayTheWindowKeepsItsPlaceAndItsSplitter) {
  VirtualDesktop desktop(/*notificationArea=*/true);
  ASSERT_DESKTOP(desktop);
  ProgramRun run;
  Remember(run, kRemembered);
  run.store("Auto Minimise", 1);
  run.store("Close To Tray", 1);
  run.store("Splitter Position", 4500);

  // Ended while still in the tray.
  ASSERT_TRUE(run.start(/*inTray=*/true)) << run.output().toStdString();
  EXPECT_TRUE(test::FindMainWindow().isEmpty()) << "only the tray icon shows";
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.stored("Splitter Position"), 4500);
  EXPECT_EQ(StoredPlace(run), kRemembered);

  // Double-clicked back from the tray.
  ASSERT_TRUE(run.start(/*inTray=*/true)) << run.output().toStdString();
  const XWindow icon = test::InspectWindow(test::FindTrayIcon());
  test::Click(icon.client.center(), 2);
  ASSERT_TRUE(run.findWindow(20000)) << "the double click brought nothing back";
  EXPECT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).client == kRemembered; }, 5000));
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.stored("Splitter Position"), 4500);
  EXPECT_EQ(StoredPlace(run), kRemembered);
}

TEST(Desktop, AWindowLargerThanTheScreenFitsFrameAndAll) {
  VirtualDesktop desktop;
  ASSERT_DESKTOP(desktop);
  ProgramRun run;
  // 1040 x 720 remembered, no place.
  run.store("frmMainWidth", 1040 * kTwips);
  run.store("frmMainHeight", 720 * kTwips);
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  // Title bar, menu and all on the screen, never below the minimum size.
  EXPECT_TRUE(WaitFor([&] { return kScreen.contains(test::InspectWindow(run.window()).frameRect()); }, 10000));
  const XWindow placed = test::InspectWindow(run.window());
  EXPECT_GE(placed.client.width(), 640);
  EXPECT_GE(placed.client.height(), 480);
  EXPECT_GT(placed.frame.top(), 0) << "framed by the window manager";
  ASSERT_TRUE(run.stop());
  const QRect stored = StoredPlace(run);
  EXPECT_TRUE(kScreen.contains(stored.marginsAdded(placed.frame))) << stored.x() << ',' << stored.y();

  // The next start comes back to it exactly.
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  EXPECT_TRUE(WaitFor([&] { return test::InspectWindow(run.window()).client == placed.client; }, 5000));
  ASSERT_TRUE(run.stop());
}

// Where the dragged bar's grey runs top to bottom in the picture: the first
// column of each bar.
QList<int> BarsIn(const QImage& image, const QColor& grey) {
  QList<int> bars;
  bool inBar = false;
  for (int x = 0; x < image.width(); ++x) {
    int hits = 0;
    for (int y = 0; y < image.height(); ++y) hits += image.pixelColor(x, y) == grey;
    const bool bar = hits * 10 >= image.height() * 9;
    if (bar && !inBar) bars << x;
    inBar = bar;
  }
  return bars;
}

bool IsOneColour(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != image.pixel(0, 0)) return false;
    }
  }
  return true;
}

TEST(Desktop, DraggingTheSplitterShowsOneBarOverTheWebPanel) {
  VirtualDesktop desktop;
  ASSERT_DESKTOP(desktop);
  ProgramRun run;
  Remember(run, kRemembered);
  run.store("Splitter Position", 200 * kTwips);
  ASSERT_TRUE(run.start()) << run.output().toStdString();
  test::ActivateWindow(run.window());
  const QRect client = test::InspectWindow(run.window()).client;
  // The web panel right of the bar's first place, away from its edges.
  const QRect panel(client.x() + 220, client.y() + 80, client.width() - 240, client.height() - 180);
  const auto shot = [&] {
    return QGuiApplication::primaryScreen()->grabWindow(0, panel.x(), panel.y(), panel.width(), panel.height()).toImage();
  };
  // The About page is on the panel before the bar goes over it.
  EXPECT_TRUE(WaitFor([&] { return !IsOneColour(shot()); }, 20000));

  const int y = client.y() + client.height() / 2;
  const int to = client.x() + 452;
  test::Drag(QPoint(client.x() + 202, y), QPoint(to, y), 10);
  const QColor grey(128, 128, 128);  // the bar while it is dragged
  const auto barsShown = [&] { return BarsIn(shot(), grey); };
  QList<int> bars;
  WaitFor([&] { return (bars = barsShown()).size() == 1; }, 5000);
  test::RunTool(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
  ASSERT_EQ(bars.size(), 1) << "bars over the web panel: " << bars.size();
  EXPECT_NEAR(panel.x() + bars.first(), to - 2, 6) << "the one bar is under the pointer";
  // Let go: the panes follow and the bar takes its resting colour.
  EXPECT_TRUE(WaitFor([&] { return barsShown().isEmpty(); }, 5000));
  ASSERT_TRUE(run.stop());
  EXPECT_NEAR(run.stored("Splitter Position"), 450 * kTwips, 10 * kTwips);
}

}  // namespace
}  // namespace tw
