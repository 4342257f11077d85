#pragma once

#include <QColor>

namespace tw {

// Contrast as WCAG 2 measures it: relative luminance from 0 (black) to 1
// (white), and the ratio of two colours from 1 (the same) to 21.
double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// The least contrast body text must have with its background (level AA).
inline constexpr double kReadableContrast = 4.5;

// Text for a background of our own choosing: the theme's text colour where it
// reads well enough there, otherwise black or white, whichever contrasts
// more (one of them always reaches 4.5:1). A dark theme's white text on a
// light row then turns black; a light theme keeps its own.
QColor ReadableTextOn(const QColor& background, const QColor& themeText);

}  // namespace tw
