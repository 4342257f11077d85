#include "mainwindow/TitleStripPanel.h"

#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include <algorithm>

namespace tw {
namespace {

constexpr int kEmptyHeightPx = 48;
constexpr int kGapPx = 10;

QColor ColourOf(Rgb c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

void SetTextColour(QLabel* label, Rgb colour) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, ColourOf(colour));
  label->setPalette(p);
}

void Show(QLabel* label, const TitleLabel& text) {
  label->setText(text.text);
  SetTextColour(label, text.colour);
  label->setVisible(text.visible);
  label->adjustSize();
}

}  // namespace

TitleStripPanel::TitleStripPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picTitle"));
  setAutoFillBackground(true);
  setFixedHeight(kEmptyHeightPx);
  picTitleLogo_ = new QLabel(this);
  picTitleLogo_->setObjectName(QStringLiteral("picTitleLogo"));
  lblTitle_ = new QLabel(QStringLiteral("Title"), this);
  lblTitle_->setObjectName(QStringLiteral("lblTitle"));
  lblLinkTitle_ = new QLabel(QStringLiteral("Link: "), this);
  lblLinkTitle_->setObjectName(QStringLiteral("lblLinkTitle"));
  lblLink_ = new QLabel(QStringLiteral("Link text"), this);
  lblLink_->setObjectName(QStringLiteral("lblLink"));
  lblLink_->setCursor(Qt::PointingHandCursor);
  // Feed texts are shown as they are, never as markup.
  for (QLabel* label : {lblTitle_, lblLinkTitle_, lblLink_}) label->setTextFormat(Qt::PlainText);
  QFont bold = lblTitle_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  lblTitle_->setFont(bold);

  setMouseTracking(true);
  for (QWidget* w : std::initializer_list<QWidget*>{picTitleLogo_, lblTitle_, lblLinkTitle_, lblLink_}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
  installEventFilter(this);
}

void TitleStripPanel::setBuiltInPageShown(bool shown) {
  builtInPageShown_ = shown;
  place();
}

void TitleStripPanel::setTitleStrip(const TitleStripContent& content) {
  QPalette p = palette();
  p.setColor(QPalette::Window, ColourOf(content.back));
  setPalette(p);
  // The logo file goes away once the page has loaded: read it now.
  const QPixmap logo = content.logoFile.isEmpty() ? QPixmap() : QPixmap(content.logoFile);
  picTitleLogo_->setPixmap(logo);
  picTitleLogo_->setProperty("tag", content.logoTag);
  picTitleLogo_->adjustSize();
  Show(lblTitle_, content.title);
  Show(lblLinkTitle_, content.linkTitle);
  Show(lblLink_, content.link);
  linkTag_ = content.linkTag;
  linkColour_ = content.linkColour;
  linkHoverColour_ = content.linkHoverColour;
  colourLink(linkColour_);

  const int height = logo.isNull() ? kEmptyHeightPx : logo.height();
  if (height != this->height()) {
    setFixedHeight(height);
    Q_EMIT heightChanged();
  }
  place();
}

void TitleStripPanel::place() {
  const QSize logo = picTitleLogo_->pixmap().isNull() ? QSize(0, 0) : picTitleLogo_->pixmap().size();
  if (builtInPageShown_) {
    picTitleLogo_->setGeometry((width() - logo.width()) / 2, (height() - logo.height()) / 2, logo.width(),
                               logo.height());
    return;
  }
  picTitleLogo_->setGeometry(0, 0, logo.width(), logo.height());
  const int left = logo.width() + kGapPx;
  const int titleHeight = lblTitle_->isVisible() ? lblTitle_->sizeHint().height() : 0;
  const int linkHeight = std::max(lblLinkTitle_->sizeHint().height(), lblLink_->sizeHint().height());
  const int top = std::max(0, (height() - titleHeight - linkHeight) / 2);
  lblTitle_->setGeometry(left, top, std::max(0, width() - left), titleHeight);
  const int linkTitleWidth = lblLinkTitle_->isVisible() ? lblLinkTitle_->sizeHint().width() : 0;
  lblLinkTitle_->setGeometry(left, top + titleHeight, linkTitleWidth, linkHeight);
  lblLink_->setGeometry(left + linkTitleWidth, top + titleHeight,
                        std::min(lblLink_->sizeHint().width(), std::max(0, width() - left - linkTitleWidth)),
                        linkHeight);
}

void TitleStripPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  place();
}

void TitleStripPanel::colourLink(Rgb colour) { SetTextColour(lblLink_, colour); }

bool TitleStripPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
      colourLink(watched == lblLink_ ? linkHoverColour_ : linkColour_);
      break;
    case QEvent::Leave:
      if (watched == lblLink_) colourLink(linkColour_);
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      if (watched == lblLink_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        lastMouseButton_ = mouse->button() == Qt::RightButton ? 2 : mouse->button() == Qt::LeftButton ? 1 : 4;
        if (event->type() == QEvent::MouseButtonRelease && lblLink_->rect().contains(mouse->position().toPoint()) &&
            !lblLink_->text().isEmpty()) {
          const QString address = lblLink_->text();
          Q_EMIT linkClicked(address, lastMouseButton_ == 1 ? linkTag_ : address);
        }
        return true;
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tw
