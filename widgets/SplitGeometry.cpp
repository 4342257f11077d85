#include "widgets/SplitGeometry.h"

namespace tw {

void SplitGeometry::setOrientation(SplitOrientation orientation) {
  orientation_ = orientation;
  SetUpBar();
}

bool SplitGeometry::setBarWidth(int width) {
  if (width < kMinimumBarWidth) width = kMinimumBarWidth;
  if (along() / 2.0 < width) return false;
  barWidth_ = width;
  return true;
}

void SplitGeometry::restoreBarWidth(int width) { barWidth_ = width < kMinimumBarWidth ? kMinimumBarWidth : width; }

void SplitGeometry::SetUpBar() { barPosition_ = along() / 2; }

SplitLayout SplitGeometry::Layout() {
  SplitLayout out;
  const int needed = 2 * minimumPaneWidth_ + barWidth_;
  if (isVertical()) {
    if (control_.width() < needed) control_.setWidth(needed);
  } else if (control_.height() < needed) {
    control_.setHeight(needed);
  }

  const int length = along();
  if (barPosition_ < minimumPaneWidth_) {
    barPosition_ = minimumPaneWidth_;
    out.barPulledBack = true;
  }
  // The far pane keeps its minimum too, in both orientations.
  if (barPosition_ + barWidth_ + minimumPaneWidth_ > length) {
    barPosition_ = length - barWidth_ - minimumPaneWidth_;
    out.barPulledBack = true;
  }

  const int w = control_.width();
  const int h = control_.height();
  const int p = barPosition_;
  const int b = barWidth_;
  if (isVertical()) {
    out.bar = QRect(p, 0, b, h);
    out.leftPane = QRect(0, 0, p, h);
    out.rightPane = QRect(p + b, 0, w - p - b, h);
  } else {
    out.bar = QRect(0, p, w, b);
    out.leftPane = QRect(0, 0, w, p);
    out.rightPane = QRect(0, p + b, w, h - p - b);
  }
  out.control = control_;
  splitterLeftTop_ = barPosition_;
  return out;
}

void SplitGeometry::BeginDrag(int grabX, int grabY) {
  dragging_ = true;
  grabX_ = grabX;
  grabY_ = grabY;
}

bool SplitGeometry::DragTo(int pointerX, int pointerY) {
  if (!dragging_) return false;
  if (isVertical()) {
    const int left = barPosition_ - grabX_ + pointerX;
    if (left > minimumPaneWidth_ && left < control_.width() - minimumPaneWidth_ && left != barPosition_) {
      barPosition_ = left;
      return true;
    }
    return false;
  }
  const int top = barPosition_ - grabY_ + pointerY;
  if (top == barPosition_) return false;
  barPosition_ = top;
  return true;
}

}  // namespace tw
