// Alerts on a real X server: what the screen shows while an alert slides is
// the same whether its window is cut to the part in view (X11) or resized to
// it (Wayland, and every alert before): the background above, the alert's
// own bottom rows below, standing on its place's bottom edge; and it ends in
// its place, stacked above the one before.
#include "core/AppIdentity.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/frmAlert.h"

#include <QGuiApplication>
#include <QImage>
#include <QPointer>
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

struct Slide {
  QImage background;               // the alert's place before it came
  QImage shown;                    // the alert fully in view
  std::map<int, QImage> steps;     // the place while so many rows were in view
  QRect final;
  QRect second;                    // where an alert raised next stands
};

Slide Record(bool resizeWindow) {
  AppIdentity identity;
  identity.ProgTitle = QStringLiteral("Tidewire");
  AlertManager manager(identity, nullptr);
  manager.setSlide({kStepMs, kStepPx, resizeWindow});
  Slide slide;
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  slide.background = Grab(area);

  manager.ShowAlert(QStringLiteral("Xbox-Scene\r\nhas 3 new items."), QString(), 0, true);
  QPointer<frmAlert> alert = manager.openAlerts().last();
  slide.final = alert->finalGeometry();
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
      look();
    }
    QTest::qWait(5);
  }
  QTest::qWait(kStepMs / 3);
  slide.shown = Grab(slide.final);
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
    EXPECT_GE(slide.steps.size(), 5u) << "steps seen";
    for (const auto& [height, image] : slide.steps) {
      SCOPED_TRACE(height);
      EXPECT_EQ(Rows(image, 0, full - height), Rows(slide.background, 0, full - height));
      EXPECT_EQ(Rows(image, full - height, height), Rows(slide.shown, full - height, height));
    }
  }
}

}  // namespace
}  // namespace tw
