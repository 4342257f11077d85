#include "mainwindow/AlertPlacement.h"

#include <algorithm>

namespace tw::AlertPlacement {

int SlotsThatFit(int availableHeight, int alertHeight) {
  if (alertHeight <= 0) return 1;
  return std::max(1, (availableHeight - kMarginPx) / alertHeight);
}

int StackPosition(int slot, int fit) {
  if (slot < 1) return 1;
  fit = std::max(1, fit);
  return (slot - 1) % fit + 1;
}

QRect FinalGeometry(const QRect& available, const QSize& alertSize, int slot) {
  const int fit = SlotsThatFit(available.height(), alertSize.height());
  const int position = StackPosition(slot, fit);
  const int right = available.x() + available.width() - kMarginPx;
  const int bottom = available.y() + available.height() - kMarginPx - (position - 1) * alertSize.height();
  const int left = std::max(available.x(), right - alertSize.width());
  const int top = std::max(available.y(), bottom - alertSize.height());
  return QRect(left, top, alertSize.width(), alertSize.height());
}

QRect SlideGeometry(const QRect& finalGeometry, int height) {
  height = std::clamp(height, 0, finalGeometry.height());
  const int bottom = finalGeometry.y() + finalGeometry.height();
  return QRect(finalGeometry.x(), bottom - height, finalGeometry.width(), height);
}

}  // namespace tw::AlertPlacement
