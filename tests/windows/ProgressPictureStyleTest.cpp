#include "widgets/ProgressPictureStyle.h"

#include <QImage>
#include <QPainter>
#include <QProgressBar>
#include <QStyleFactory>
#include <QStyleOption>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace tw {
namespace {

// Fusion, counting the bars it is asked to draw.
class CountingStyle : public QProxyStyle {
 public:
  CountingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_ProgressBar) ++bars;
    QProxyStyle::drawControl(element, option, painter, widget);
  }
  mutable int bars = 0;
};

// A bar on an opaque strip, as in the main window.
QImage Paint(QProgressBar& bar, QStyle* style, int maximum, int value) {
  bar.setStyle(style);
  bar.setRange(0, maximum);
  bar.setValue(value);
  QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(212, 208, 200));
  QPainter p(&image);
  bar.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

int LargestChannelDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return largest;
}

TEST(ProgressPictureStyle, RemembersEachLookAndShowsItAsTheStyleDrawsIt) {
  auto* counting = new CountingStyle;
  QObject owner;
  auto* pictures = new ProgressPictureStyle(&owner, counting);
  std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
  QProgressBar bar;
  bar.setTextVisible(false);
  bar.resize(600, 8);

  // Empty, part way and full, each as the style paints it straight.
  for (const auto& [maximum, value] : {std::pair{1, 0}, std::pair{900, 317}, std::pair{1234, 1234}}) {
    const QImage expected = Paint(bar, plain.get(), maximum, value);
    const QImage shown = Paint(bar, pictures, maximum, value);
    EXPECT_LE(LargestChannelDifference(expected, shown), 2) << value << " of " << maximum;
  }
  EXPECT_EQ(counting->bars, 3);

  // The next download's full and empty bar are the ones already drawn.
  Paint(bar, pictures, 5678, 5678);
  Paint(bar, pictures, 5678, 0);
  Paint(bar, pictures, 42, 21);
  EXPECT_EQ(counting->bars, 4) << "half way is a new look";
  Paint(bar, pictures, 77, 77);
  EXPECT_EQ(counting->bars, 4) << "full is still remembered";

  // A new size, a disabled bar and a busy one are drawn anew; a busy bar
  // every time, as it moves.
  bar.resize(400, 8);
  Paint(bar, pictures, 10, 10);
  EXPECT_EQ(counting->bars, 5);
  bar.setEnabled(false);
  Paint(bar, pictures, 10, 10);
  EXPECT_EQ(counting->bars, 6);
  bar.setEnabled(true);
  Paint(bar, pictures, 0, 0);
  Paint(bar, pictures, 0, 0);
  EXPECT_EQ(counting->bars, 8);
  // Out of its busy state it goes through the style once, which stops the
  // motion it started, and then comes from the pictures again.
  Paint(bar, pictures, 10, 10);
  Paint(bar, pictures, 10, 10);
  EXPECT_EQ(counting->bars, 9);

  // Only a few looks are kept.
  for (int i = 1; i <= ProgressPictureStyle::kRemembered + 1; ++i) Paint(bar, pictures, 100, i);
  const int before = counting->bars;
  Paint(bar, pictures, 100, 1);
  EXPECT_EQ(counting->bars, before + 1) << "the oldest look was let go";
}

}  // namespace
}  // namespace tw
