#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

namespace tw {

// One clock for everything that slides: alerts sliding at the same time step
// on the same tick, so the program wakes once per step for all of them
// instead of once for each. Runs only while something is sliding.
class SlideTicker : public QObject {
 public:
  explicit SlideTicker(int intervalMs, QObject* parent = nullptr);

  // Calls step on every tick from now until stop(who) or who is gone.
  void start(QObject* who, std::function<void()> step);
  void stop(QObject* who);
  void setInterval(int intervalMs) { timer_.setInterval(intervalMs); }
  bool isTicking() const { return timer_.isActive(); }
  // Called once after each tick's steps: what the steps left to do for all
  // of them at once (sending their requests to the display).
  void setAfterSteps(std::function<void()> afterSteps) { afterSteps_ = std::move(afterSteps); }
  // Whether the steps of a tick are being taken now.
  bool inTick() const { return inTick_; }

 private:
  struct Stepper {
    QPointer<QObject> who;
    std::function<void()> step;
  };
  void tick();

  QTimer timer_;
  std::vector<Stepper> steppers_;
  std::function<void()> afterSteps_;
  bool inTick_ = false;
};

}  // namespace tw
