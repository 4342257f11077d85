#include "options/OptImages.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace tw::optimages {
namespace {

// The side of the pictures at scale 1.
constexpr int kSide = 16;

// Draws a check box or option button indicator with the application's style.
class IndicatorEngine : public QIconEngine {
 public:
  IndicatorEngine(QStyle::PrimitiveElement element, QStyle::State state, bool flat)
      : element_(element), state_(state), flat_(flat) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    const QStyle* style = QApplication::style();
    const bool radio = element_ == QStyle::PE_IndicatorRadioButton;
    const int w = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth);
    const int h = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight);
    QStyleOptionButton option;
    option.palette = QApplication::palette();
    const QColor base = option.palette.color(QPalette::Base);
    const QColor text = option.palette.color(QPalette::Text);
    if (base.lightness() < text.lightness()) {
      // A dark theme: a box drawn for a window's face would vanish against
      // the tree's base, so its edge is drawn from the text colour.
      const QColor edge = QColor::fromRgbF(base.redF() * 0.55f + text.redF() * 0.45f, base.greenF() * 0.55f + text.greenF() * 0.45f,
                                           base.blueF() * 0.55f + text.blueF() * 0.45f);
      option.palette.setColor(QPalette::Window, edge.lighter(140));
    }
    option.state = state_;
    if (mode != QIcon::Disabled) option.state |= QStyle::State_Enabled;
    if (flat_) {
      // A box filled plainly with the base colour: the pressed look, with
      // the pressed shade made the same as the base.
      option.state |= QStyle::State_Sunken;
      option.palette.setColor(QPalette::WindowText, option.palette.color(QPalette::Base));
    }
    // Laid out on the 16-pixel grid of the picture, scaled to the rectangle
    // asked for: whole pixels at scale 1, vector sharp at any other.
    const int side = std::min(rect.width(), rect.height());
    painter->save();
    painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    painter->scale(side / double(kSide), side / double(kSide));
    option.rect = QRect((kSide - std::min(w, kSide)) / 2, (kSide - std::min(h, kSide)) / 2, std::min(w, kSide),
                        std::min(h, kSide));
    style->drawPrimitive(element_, &option, painter, nullptr);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap pixmap(size * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(kSide, kSide)}; }
  QIconEngine* clone() const override { return new IndicatorEngine(element_, state_, flat_); }
  QString key() const override { return QStringLiteral("tidewire-option-indicator"); }

 private:
  QStyle::PrimitiveElement element_;
  QStyle::State state_;
  bool flat_;
};

QIcon Indicator(QStyle::PrimitiveElement element, QStyle::State state, bool flat) {
  return QIcon(new IndicatorEngine(element, state, flat));
}

}  // namespace

QString Suffix(int iconSet) {
  switch (iconSet) {
    case 0: return QStringLiteral("3D");
    case 1: return QStringLiteral("95");
    default: return {};
  }
}

QString WithoutSuffix(const QString& imageKey) {
  if (imageKey.endsWith(QLatin1String("3D")) || imageKey.endsWith(QLatin1String("95"))) return imageKey.chopped(2);
  return imageKey;
}

QList<QPair<QString, QIcon>> BuiltInPictures() {
  const QStyle* style = QApplication::style();
  QList<QPair<QString, QIcon>> pictures{
      {QString::fromLatin1(kFolderClosed), style->standardIcon(QStyle::SP_DirClosedIcon)},
      {QString::fromLatin1(kFolderOpen), style->standardIcon(QStyle::SP_DirOpenIcon)},
  };
  for (int set = 0; set <= 1; ++set) {
    const bool flat = set == 1;
    const QString suffix = Suffix(set);
    pictures.append({QLatin1String(kOptionYes) + suffix, Indicator(QStyle::PE_IndicatorRadioButton, QStyle::State_On, flat)});
    pictures.append({QLatin1String(kOptionNo) + suffix, Indicator(QStyle::PE_IndicatorRadioButton, QStyle::State_Off, flat)});
    pictures.append({QLatin1String(kCheckYes) + suffix, Indicator(QStyle::PE_IndicatorCheckBox, QStyle::State_On, flat)});
    pictures.append({QLatin1String(kCheckNo) + suffix, Indicator(QStyle::PE_IndicatorCheckBox, QStyle::State_Off, flat)});
    pictures.append({QLatin1String(kCheckPart) + suffix, Indicator(QStyle::PE_IndicatorCheckBox, QStyle::State_NoChange, flat)});
  }
  return pictures;
}

}  // namespace tw::optimages
