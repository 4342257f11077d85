#pragma once

#include <QRect>
#include <QSize>

namespace tw {

// Where alerts stand: stacked upward from the bottom-right corner of the
// screen's available area (above the taskbar or panel), one alert height
// apart, in pixels.
namespace AlertPlacement {

// Gap to the available area's right and bottom edges.
inline constexpr int kMarginPx = 7;

// How many alerts fit one above the other (FIT). Never below 1: on a screen
// too small for one alert, every alert stands at the bottom.
int SlotsThatFit(int availableHeight, int alertHeight);
// Place in the stack (1 = bottom) of a slot; past FIT the stack starts again
// at the bottom. Slot 0 (none) stands at the bottom.
int StackPosition(int slot, int fit);
// The alert's fully slid-in rectangle. Kept inside the available area where
// it is too small, so the title strip and its close button stay reachable.
QRect FinalGeometry(const QRect& available, const QSize& alertSize, int slot);
// The rectangle while sliding: same bottom edge, only `height` tall.
QRect SlideGeometry(const QRect& finalGeometry, int height);

}  // namespace AlertPlacement
}  // namespace tw
