#include "mainwindow/AlertSlots.h"

namespace tw {

int AlertSlots::Take() {
  for (int i = 1; i <= kSlotCount; ++i) {
    if (flags_[i] == 0) {
      flags_[i] = 1;
      return i;
    }
  }
  return 0;
}

void AlertSlots::Release(int slot) {
  if (slot >= 1 && slot <= kSlotCount && flags_[slot] == 1) flags_[slot] = 0;
}

bool AlertSlots::isTaken(int slot) const { return slot >= 1 && slot <= kSlotCount && flags_[slot] == 1; }

int AlertSlots::takenCount() const {
  int n = 0;
  for (int i = 1; i <= kSlotCount; ++i) n += flags_[i] == 1 ? 1 : 0;
  return n;
}

}  // namespace tw
