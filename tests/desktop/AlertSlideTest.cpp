// Alerts on a real X server: what the screen shows while an alert slides is
// the same whether its window is cut to the part in view (X11) or resized to
// it (Wayland, and every alert before): the background above, the alert's
// own bottom rows below, standing on its place's bottom edge; and it ends in
// its place, stacked above the one before. While it slides in, a cut window
// hears no exposes (the slide puts up the rows itself), and a part that
// another window uncovered meanwhile is whole again once the slide ends.
#include "core/AppIdentity.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/frmAlert.h"

#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace tw {
namespace {

constexpr int kStepMs = 150;  // slow enough to look at every step
constexpr int kStepPx = 12;

QImage Grab(const QRect& r) {
  return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(
      QImage::Format_RGB32);
}

QImage Rows(const QImage& image, int top, int count) { return image.copy(0, top, image.width(), count); }

// Counts the expose events a window gets.
class ExposeCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Expose) ++count;
    return false;
  }
};

struct Slide {
  QImage background;               // the alert's place before it came
  QImage shown;                    // the alert fully in view
  QImage painted;                  // the alert as it paints itself
  bool quiet = false;              // a step was taken without exposes
  int exposes = 0;                 // exposes the window got while sliding in
  std::map<int, QImage> steps;     // the place while so many rows were in view
  QRect final;
  QRect second;                    // where an alert raised next stands
};

// cover: a window stands over the alert's place for a few steps mid-slide
// (the steps are not looked at then).
Slide Record(bool resizeWindow, bool cover = false) {
  AppIdentity identity;
  identity.ProgTitle = QStringLiteral("Tidewire");
  AlertManager manager(identity, nullptr);
  manager.setSlide({kStepMs, kStepPx, resizeWindow});
  Slide slide;
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  slide.background = Grab(area);

  manager.ShowAlert(QStringLiteral("Xbox-Scene\r\nhas 3 new items."), QString(), 0, true);
  QPointer<frmAlert> alert = manager.openAlerts().last();
  ExposeCounter exposes;
  alert->windowHandle()->installEventFilter(&exposes);
  slide.final = alert->finalGeometry();
  QWidget over(nullptr, Qt::ToolTip | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint);
  over.setGeometry(slide.final);
  over.setStyleSheet(QStringLiteral("background: #ff00ff"));
  int coveredSteps = 0;
  slide.background = Rows(slide.background.copy(slide.final.translated(-area.topLeft())), 0, slide.final.height());
  // Each step, once the server has drawn it (well before the next one).
  const auto look = [&] {
    const int height = alert->shownHeight();
    QTest::qWait(kStepMs / 3);
    if (alert && alert->shownHeight() == height) slide.steps[height] = Grab(slide.final);
  };
  int seen = -1;
  for (int waited = 0; alert && alert->phase() == frmAlert::Phase::SlidingIn && waited < 10000; waited += 5) {
    if (alert->shownHeight() != seen) {
      seen = alert->shownHeight();
      slide.quiet = slide.quiet || alert->slidesWithoutExposes();
      if (cover && alert->slidesWithoutExposes() && coveredSteps < 3) {
        if (coveredSteps++ == 0) over.show();
        if (coveredSteps == 3) over.hide();
      } else {
        look();
      }
    }
    QTest::qWait(5);
  }
  slide.exposes = exposes.count;
  QTest::qWait(kStepMs / 3);
  slide.shown = Grab(slide.final);
  if (alert) slide.painted = alert->grab().toImage().convertToFormat(QImage::Format_RGB32);
  manager.ShowAlert(QStringLiteral("next"), QString(), 0, false);
  slide.second = manager.openAlerts().last()->finalGeometry();
  QTest::qWait(3 * kStepMs);
  manager.Clear_Popups();
  QTest::qWait(kStepMs);
  return slide;
}

TEST(AlertSlide, CutOrResizedTheScreenShowsTheSameAtEveryStep) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  for (const bool resize : {false, true}) {
    SCOPED_TRACE(resize ? "resized" : "cut");
    const Slide slide = Record(resize);
    const int full = slide.final.height();
    EXPECT_EQ(slide.final.height(), frmAlert::kTitleHeight + frmAlert::kBodyHeight);
    EXPECT_EQ(slide.second, slide.final.translated(0, -full)) << "the next alert stands right above";
    EXPECT_NE(slide.shown, slide.background) << "the alert showed";
    EXPECT_EQ(slide.shown, slide.painted) << "the place shows the alert whole";
    if (!resize) {
      EXPECT_TRUE(slide.quiet);
      EXPECT_LE(slide.exposes, 2) << "exposes at the start only, not one a step";
    }
    EXPECT_GE(slide.steps.size(), 5u) << "steps seen";
    for (const auto& [height, image] : slide.steps) {
      SCOPED_TRACE(height);
      EXPECT_EQ(Rows(image, 0, full - height), Rows(slide.background, 0, full - height));
      EXPECT_EQ(Rows(image, full - height, height), Rows(slide.shown, full - height, height));
    }
  }
}

TEST(AlertSlide, APartUncoveredWhileSlidingInIsWholeOnceIn) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  const Slide slide = Record(false, true);
  EXPECT_TRUE(slide.quiet);
  EXPECT_EQ(slide.shown, slide.painted);
}

}  // namespace
}  // namespace tw
