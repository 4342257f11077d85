#include "mainwindow/TitleStripPanel.h"

#include "widgets/ElidedLabel.h"

#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include <algorithm>

namespace tw {
namespace {

constexpr int kEmptyHeightPx = 48;
constexpr int kGapPx = 10;
// Between the link's caption and the address, and after the address.
constexpr int kCaptionGapPx = 6;
constexpr int kRightMarginPx = 6;

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
}

}  // namespace

TitleStripPanel::TitleStripPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("picTitle"));
  setAutoFillBackground(true);
  setFixedHeight(kEmptyHeightPx);
  picTitleLogo_ = new QLabel(this);
  picTitleLogo_->setObjectName(QStringLiteral("picTitleLogo"));
  // Feed texts are shown as they are, never as markup; what does not fit is
  // shortened, the address in its middle so both its ends stay readable.
  lblTitle_ = new ElidedLabel(Qt::ElideRight, this);
  lblTitle_->setText(QStringLiteral("Title"));
  lblTitle_->setObjectName(QStringLiteral("lblTitle"));
  lblLinkTitle_ = new ElidedLabel(Qt::ElideRight, this);
  lblLinkTitle_->setText(QStringLiteral("Link: "));
  lblLinkTitle_->setObjectName(QStringLiteral("lblLinkTitle"));
  lblLink_ = new ElidedLabel(Qt::ElideMiddle, this);
  lblLink_->setText(QStringLiteral("Link text"));
  lblLink_->setObjectName(QStringLiteral("lblLink"));
  lblLink_->setCursor(Qt::PointingHandCursor);
  // Reached with Tab and opened with Enter, as a left click opens it; a click
  // leaves the focus where it was.
  lblLink_->setFocusPolicy(Qt::TabFocus);
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
  const int room = std::max(0, width() - left - kRightMarginPx);
  // Shown or not yet, what is not hidden takes its room.
  const int titleHeight = lblTitle_->isHidden() ? 0 : lblTitle_->sizeHint().height();
  const int linkHeight = std::max(lblLinkTitle_->sizeHint().height(), lblLink_->sizeHint().height());
  const int top = std::max(0, (height() - titleHeight - linkHeight) / 2);
  lblTitle_->setGeometry(left, top, room, titleHeight);

  // Caption and address side by side with a gap. When both do not fit, the
  // address keeps at least half the room and the caption gives way first.
  int captionWidth = lblLinkTitle_->isHidden() ? 0 : lblLinkTitle_->sizeHint().width();
  int linkWidth = lblLink_->isHidden() ? 0 : lblLink_->sizeHint().width();
  const int gap = captionWidth > 0 && linkWidth > 0 ? kCaptionGapPx : 0;
  if (captionWidth + gap + linkWidth > room) {
    captionWidth = std::clamp(room - gap - std::min(linkWidth, room / 2), 0, captionWidth);
    linkWidth = std::max(0, room - gap - captionWidth);
  }
  const int linkTop = top + titleHeight;
  lblLinkTitle_->setGeometry(left, linkTop, captionWidth, linkHeight);
  lblLink_->setGeometry(left + captionWidth + gap, linkTop, linkWidth, linkHeight);
}

void TitleStripPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  place();
}

void TitleStripPanel::colourLink(Rgb colour) { SetTextColour(lblLink_, colour); }

bool TitleStripPanel::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
      colourLink(watched == lblLink_ && event->type() == QEvent::Enter ? linkHoverColour_ : linkColour_);
      break;
    case QEvent::MouseMove: {
      // A move the link does not take goes on to the strip: judge by where
      // the pointer is, not by who is told.
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = lblLink_->mapFromGlobal(mouse->globalPosition().toPoint());
      colourLink(lblLink_->isVisible() && lblLink_->rect().contains(at) ? linkHoverColour_ : linkColour_);
      break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      // Where the keyboard is: underlined while it is on the link.
      if (watched == lblLink_) {
        QFont font = lblLink_->font();
        font.setUnderline(event->type() == QEvent::FocusIn);
        lblLink_->setFont(font);
      }
      break;
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (watched == lblLink_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (!key->isAutoRepeat() && !lblLink_->text().isEmpty()) {
          lastMouseButton_ = 1;
          Q_EMIT linkClicked(lblLink_->text(), linkTag_);
        }
        return true;
      }
      break;
    }
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
