#include "widgets/ProgressPictureStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOptionProgressBar>

#include <algorithm>
#include <numeric>

namespace tw {

ProgressPictureStyle::ProgressPictureStyle(QObject* parent, QStyle* base)
    : QProxyStyle(base ? base : QStyleFactory::create(QApplication::style()->name())) {
  setParent(parent);
}

void ProgressPictureStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                       const QWidget* widget) const {
  const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
  if (element != CE_ProgressBar || !bar || bar->textVisible || !painter || !painter->device() ||
      painter->transform().type() > QTransform::TxTranslate || option->rect.isEmpty()) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  const QObject* owner = option->styleObject;
  const auto wasBusy = std::find(busy_.begin(), busy_.end(), owner);
  if (bar->minimum == bar->maximum || wasBusy != busy_.end()) {
    if (bar->minimum == bar->maximum) {
      if (wasBusy == busy_.end() && owner) busy_.push_back(owner);
    } else {
      busy_.erase(wasBusy);
    }
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }

  const qint64 whole = std::max<qint64>(1, qint64(bar->maximum) - bar->minimum);
  const qint64 done = std::clamp<qint64>(qint64(bar->progress) - bar->minimum, 0, whole);
  const qint64 divisor = std::max<qint64>(1, std::gcd(done, whole));
  const qreal ratio = painter->device()->devicePixelRatio();
  const Look look{option->rect.size(), ratio,           option->palette.cacheKey(), option->state,
                  option->direction,   done / divisor, whole / divisor,            bar->invertedAppearance,
                  bar->bottomToTop};
  auto found = std::find_if(pictures_.begin(), pictures_.end(), [&](const Picture& p) { return p.look == look; });
  if (found == pictures_.end()) {
    Picture picture{look, QPixmap(look.size * ratio)};
    picture.pixmap.setDevicePixelRatio(ratio);
    picture.pixmap.fill(Qt::transparent);
    QStyleOptionProgressBar atOrigin(*bar);
    atOrigin.rect = QRect(QPoint(0, 0), look.size);
    {
      QPainter p(&picture.pixmap);
      QProxyStyle::drawControl(element, &atOrigin, &p, widget);
    }
    if (pictures_.size() >= kRemembered) pictures_.pop_back();
    pictures_.insert(pictures_.begin(), std::move(picture));
  } else if (found != pictures_.begin()) {
    std::rotate(pictures_.begin(), found, found + 1);
  }
  painter->drawPixmap(option->rect.topLeft(), pictures_.front().pixmap);
}

}  // namespace tw
