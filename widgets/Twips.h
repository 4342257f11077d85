#pragma once

class QPaintDevice;

namespace tw {

// The program keeps lengths in twips (1/1440 inch) so stored values keep
// their meaning across screens; widgets convert with the screen's logical DPI.
inline constexpr double kTwipsPerInch = 1440.0;

double TwipsPerPixelX(const QPaintDevice& device);
double TwipsPerPixelY(const QPaintDevice& device);
// Twips for the primary screen, for code that has no widget yet.
double ScreenTwipsPerPixelX();
double ScreenTwipsPerPixelY();

// Whole pixels from twips, rounded to nearest.
int TwipsToPixels(double twips, double twipsPerPixel);

}  // namespace tw
