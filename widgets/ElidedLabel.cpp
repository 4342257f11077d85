#include "widgets/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

namespace tw {

QString PlainToolTip(const QString& text) {
  return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), mode_(mode) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
}

QString ElidedLabel::shownText() const {
  return fontMetrics().elidedText(text(), mode_, contentsRect().width());
}

QSize ElidedLabel::minimumSizeHint() const {
  // As high as the text, as narrow as "…".
  const QSize full = QLabel::minimumSizeHint();
  const QMargins m = contentsMargins();
  return {fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) + m.left() + m.right(), full.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                        isEnabled(), shownText(), foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
  // The whole text, only when part of it is hidden.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    if (isElided()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), PlainToolTip(text()), this);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QLabel::event(event);
}

}  // namespace tw
