#include "widgets/TextContrast.h"

#include <algorithm>
#include <cmath>

namespace tw {
namespace {

double Linear(double channel) {
  return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableTextOn(const QColor& background, const QColor& themeText) {
  if (ContrastRatio(themeText, background) >= kReadableContrast) return themeText;
  const QColor black(Qt::black);
  const QColor white(Qt::white);
  return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

}  // namespace tw
