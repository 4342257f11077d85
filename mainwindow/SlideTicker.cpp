#include "mainwindow/SlideTicker.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace tw {

SlideTicker::SlideTicker(int intervalMs, QObject* parent) : QObject(parent) {
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &SlideTicker::tick);
}

void SlideTicker::start(QObject* who, std::function<void()> step) {
  stop(who);
  steppers_.push_back({who, std::move(step)});
  if (!timer_.isActive()) timer_.start();
}

void SlideTicker::stop(QObject* who) {
  std::erase_if(steppers_, [who](const Stepper& s) { return !s.who || s.who == who; });
  if (steppers_.empty()) timer_.stop();
}

void SlideTicker::tick() {
  // A step may stop itself or another slider, or close a window: walk a copy
  // and skip whoever has left meanwhile.
  const std::vector<Stepper> now = steppers_;
  {
    const QScopedValueRollback<bool> ticking(inTick_, true);
    for (const Stepper& s : now) {
      const bool stillIn = s.who && std::any_of(steppers_.begin(), steppers_.end(),
                                                [&](const Stepper& in) { return in.who == s.who; });
      if (stillIn) s.step();
    }
  }
  if (afterSteps_) afterSteps_();
  std::erase_if(steppers_, [](const Stepper& s) { return !s.who; });
  if (steppers_.empty()) timer_.stop();
}

}  // namespace tw
