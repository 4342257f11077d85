#pragma once

#include <QRect>
#include <QSize>

namespace tw {

enum class SplitOrientation : int { Vertical = 0, Horizontal = 1 };

// Where one layout put things, in the splitter's own units (twips in the
// program), relative to the splitter's top-left corner.
struct SplitLayout {
  QSize control;     // the splitter's size, widened to fit both minimum panes
  QRect bar;
  QRect leftPane;    // left (vertical bar) or top (horizontal bar)
  QRect rightPane;   // right or bottom
  bool barPulledBack = false;  // a limit moved the bar
};

// The splitter's geometry without any widget: bar thickness and position,
// the smallest pane, and how a drag moves the bar. Whole units throughout.
class SplitGeometry {
 public:
  static constexpr int kMinimumBarWidth = 10;
  static constexpr int kDefaultBarWidth = 75;

  SplitOrientation orientation() const { return orientation_; }
  // Also puts the bar in the middle of the control.
  void setOrientation(SplitOrientation orientation);
  bool isVertical() const { return orientation_ == SplitOrientation::Vertical; }

  int barWidth() const { return barWidth_; }
  // Below the minimum becomes the minimum. Refused (false, nothing changes)
  // when the bar would be thicker than half the control.
  bool setBarWidth(int width);
  // Without the half-control check: for stored properties.
  void restoreBarWidth(int width);

  int minimumPaneWidth() const { return minimumPaneWidth_; }
  void setMinimumPaneWidth(int width) { minimumPaneWidth_ = width < 0 ? 0 : width; }

  // The bar's left (vertical) or top (horizontal), as it stands now.
  int barPosition() const { return barPosition_; }
  void setBarPosition(int position) { barPosition_ = position; }
  // The bar position the last layout settled on.
  int splitterLeftTop() const { return splitterLeftTop_; }

  QSize controlSize() const { return control_; }
  void setControlSize(const QSize& size) { control_ = size; }

  // Centres the bar along the split direction.
  void SetUpBar();

  // Applies the limits and places bar and panes. The bar keeps
  // MinimumPaneWidth from both edges; the control is widened when it cannot
  // hold two minimum panes and the bar.
  SplitLayout Layout();

  // Left button down on the bar: the grab point inside the bar.
  void BeginDrag(int grabX, int grabY);
  bool isDragging() const { return dragging_; }
  // The pointer, relative to the bar, moved. A vertical bar only moves
  // while it stays strictly inside the minimum panes; a horizontal bar
  // follows freely and the next layout puts it back. True when it moved.
  bool DragTo(int pointerX, int pointerY);
  void EndDrag() { dragging_ = false; }

 private:
  int along() const { return isVertical() ? control_.width() : control_.height(); }

  SplitOrientation orientation_ = SplitOrientation::Vertical;
  int barWidth_ = kDefaultBarWidth;
  int minimumPaneWidth_ = 0;
  int barPosition_ = 0;
  int splitterLeftTop_ = 0;
  QSize control_{0, 0};
  bool dragging_ = false;
  int grabX_ = 0;
  int grabY_ = 0;
};

}  // namespace tw
