#include "hooks/MTimer.h"

#include "hooks/CTimer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>

#include <algorithm>
#include <array>

namespace tw {
namespace {

[[noreturn]] void Raise(std::uint32_t number, const char* description) {
  ControlError::Raise(number, "WindowProc", description);
}

struct Slot {
  QPointer<CTimer> timer;
  int id = 0;
};

// Receives every tick and hands it to the object in the tick's slot.
class TimerHost : public QObject {
 public:
  TimerHost() {
    if (QCoreApplication* app = QCoreApplication::instance(); app && thread() != app->thread()) {
      moveToThread(app->thread());
    }
  }
  std::array<Slot, MTimer::kSlots> slots;

 protected:
  void timerEvent(QTimerEvent* event) override {
    for (const Slot& slot : slots) {
      if (slot.id == event->timerId() && slot.timer) {
        Q_EMIT slot.timer->ThatTime();
        return;
      }
    }
  }
};

TimerHost& Host() {
  static TimerHost* host = new TimerHost;  // lives as long as the program
  return *host;
}

}  // namespace

int MTimer::Add(CTimer* timer, int milliseconds) {
  TimerHost& host = Host();
  // The slot first: a timer that found no slot would tick for nobody.
  auto free = std::find_if(host.slots.begin(), host.slots.end(), [](const Slot& s) { return s.id == 0; });
  if (free == host.slots.end()) Raise(CTimer::kTooManyTimers, "No more than 10 timers allowed per class");
  const int id = host.startTimer(milliseconds);
  if (id == 0) Raise(CTimer::kCantCreateTimer, "Can't create system timer");
  free->timer = timer;
  free->id = id;
  return id;
}

void MTimer::Remove(int timerId) {
  if (timerId == 0) return;
  TimerHost& host = Host();
  for (Slot& slot : host.slots) {
    if (slot.id != timerId) continue;
    host.killTimer(timerId);
    slot = Slot{};
    return;
  }
}

std::size_t MTimer::SlotsInUse() {
  const auto& slots = Host().slots;
  return static_cast<std::size_t>(std::count_if(slots.begin(), slots.end(), [](const Slot& s) { return s.id != 0; }));
}

}  // namespace tw
