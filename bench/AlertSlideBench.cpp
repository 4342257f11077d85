// One popup alert's whole life on a real X display: shown, slid in, slid out
// and closed, as a check raises one per site with news. Measured as the
// process's CPU time per alert, the slide's own timing (wall time) aside.
// Arg 0: the window resized at every step (as on Wayland, and as alerts
// everywhere used to slide); arg 1: the window cut to what has risen.
// Run under xvfb-run with QT_QPA_PLATFORM=xcb; offscreen says nothing of
// what the X server is asked to do.
#include "mainwindow/AlertSlots.h"
#include "mainwindow/SlideTicker.h"
#include "mainwindow/frmAlert.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

void BM_AlertSlidesInAndOut(benchmark::State& state) {
  tw::AlertSlots slots;
  tw::AlertSlide slide;
  slide.resizeWindow = state.range(0) == 0;
  const auto area = [] { return QGuiApplication::primaryScreen()->availableGeometry(); };
  for (auto _ : state) {
    QPointer<tw::frmAlert> alert = new tw::frmAlert(slots, area, slide);
    alert->Display(QStringLiteral("Xbox-Scene\r\nhas 12 new items."), QStringLiteral("Tidewire v1.00 build 0311"), 1,
                   true);
    // Closed alerts delete themselves.
    QEventLoop wait;
    QObject::connect(alert, &QObject::destroyed, &wait, &QEventLoop::quit);
    QTimer::singleShot(5000, &wait, &QEventLoop::quit);
    wait.exec();
    if (alert) {
      state.SkipWithError("the alert did not close");
      delete alert.data();
    }
    // The X server's answers to the last steps.
    QApplication::processEvents();
  }
}
BENCHMARK(BM_AlertSlidesInAndOut)
    ->ArgName("mask")
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// A check with news on every site raises its alerts within moments of each
// other: seventeen slide in and out together, stacked and wrapped, on the
// one clock the program's alerts share.
void BM_SeventeenAlertsTogether(benchmark::State& state) {
  tw::AlertSlots slots;
  tw::AlertSlide slide;
  slide.resizeWindow = false;
  tw::SlideTicker ticker(slide.intervalMs);
  const auto area = [] { return QGuiApplication::primaryScreen()->availableGeometry(); };
  constexpr int kAlerts = 17;
  for (auto _ : state) {
    QEventLoop wait;
    int open = kAlerts;
    for (int i = 0; i < kAlerts; ++i) {
      auto* alert = new tw::frmAlert(slots, area, slide, &ticker);
      QObject::connect(alert, &QObject::destroyed, &wait, [&] {
        if (--open == 0) wait.quit();
      });
      alert->Display(QStringLiteral("Xbox-Scene\r\nhas 12 new items."), QStringLiteral("Tidewire v1.00 build 0311"),
                     1, true);
    }
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    wait.exec();
    if (open != 0) state.SkipWithError("the alerts did not close");
    QApplication::processEvents();
  }
}
BENCHMARK(BM_SeventeenAlertsTogether)
    ->MeasureProcessCPUTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
