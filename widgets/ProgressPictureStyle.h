#pragma once

#include <QProxyStyle>

#include <vector>

namespace tw {

// The application's style for progress bars, each look painted once and then
// shown from a remembered picture. Drawing a bar is costly out of proportion
// to its size (the raster engine hands the bar's many short strokes to its
// thread pool and waits for them), and a download's bar goes back and forth
// between the same few looks (empty, full) for every feed of a check. Looks
// are told apart by everything the style is given to paint them; a busy bar
// (no range: it animates) and one that shows its text are always painted by
// the style itself.
class ProgressPictureStyle : public QProxyStyle {
 public:
  // Over `base` (taken over), or a new instance of the application's current
  // style; owned by `parent`.
  explicit ProgressPictureStyle(QObject* parent, QStyle* base = nullptr);

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;

  // Empty, full and the latest part way (a bar of 1,000 pixels is 32 KiB).
  static constexpr int kRemembered = 3;

 private:
  struct Look {
    QSize size;
    qreal pixelRatio = 1;
    qint64 paletteKey = 0;
    QStyle::State state;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    // How far along, as a fraction in lowest terms: a style draws a bar by
    // the fraction, so the full bar of one download is that of the next.
    qint64 done = 0;
    qint64 whole = 1;
    bool invertedAppearance = false;
    bool bottomToTop = false;
    bool operator==(const Look&) const = default;
  };
  struct Picture {
    Look look;
    QPixmap pixmap;
  };

  // Most recently shown first.
  mutable std::vector<Picture> pictures_;
  // Bars last painted busy: their next paint goes through the style, which
  // stops the animation it started.
  mutable std::vector<const QObject*> busy_;
};

}  // namespace tw
