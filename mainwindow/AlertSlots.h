#pragma once

#include <QtGlobal>

#include <array>

namespace tw {

// AlertSlots: which stacking places are taken by open alerts. Slot 0 is
// never handed out; 1 is the bottom of the stack.
class AlertSlots {
 public:
  static constexpr int kSlotCount = 100;

  // Takes the first free slot from 1 up; 0 when all are taken.
  int Take();
  // Frees a taken slot; anything else is ignored.
  void Release(int slot);
  bool isTaken(int slot) const;
  int takenCount() const;
  bool isFull() const { return takenCount() == kSlotCount; }

 private:
  std::array<qint16, kSlotCount + 1> flags_{};
};

}  // namespace tw
