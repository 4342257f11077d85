#pragma once

#include <cstddef>

namespace tw {

class CTimer;

// The table of running timer objects: each running CTimer holds one slot and
// one Qt timer of a shared host object, whose ticks are handed to the slot's
// object. User-interface thread only.
class MTimer {
 public:
  // The limit the error text names ("No more than 10 timers allowed per
  // class"), so the message tells the truth.
  static constexpr std::size_t kSlots = 10;

  // Starts a Qt timer for the object and gives it a slot. Throws
  // ControlError when no slot is free or Qt refuses the timer; nothing is
  // left running then.
  static int Add(CTimer* timer, int milliseconds);
  static void Remove(int timerId);
  static std::size_t SlotsInUse();
};

}  // namespace tw
