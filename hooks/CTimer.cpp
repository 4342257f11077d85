#include "hooks/CTimer.h"

#include "hooks/MTimer.h"

namespace tw {

CTimer::CTimer(QObject* parent) : QObject(parent) {}

CTimer::~CTimer() { stop(); }

void CTimer::setInterval(int milliseconds) {
  if (milliseconds <= 0) {
    stop();
    return;
  }
  if (milliseconds == interval_) return;
  stop();
  timerId_ = MTimer::Add(this, milliseconds);
  interval_ = milliseconds;
}

void CTimer::PulseTimer() { Q_EMIT ThatTime(); }

void CTimer::stop() {
  MTimer::Remove(timerId_);
  timerId_ = 0;
  interval_ = 0;
}

}  // namespace tw
