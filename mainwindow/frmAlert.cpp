#include "mainwindow/frmAlert.h"

#include "mainwindow/AlertArt.h"
#include "mainwindow/AlertPlacement.h"
#include "mainwindow/AlertSlots.h"
#include "mainwindow/SlideTicker.h"
#include "widgets/AccessibleRole.h"

#include <QBackingStore>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QAccessibleActionInterface>
#include <QtMath>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tw {
namespace {

constexpr int kTitleLeftPx = 22;
constexpr int kMessagePaddingPx = 8;

// The strips' and close buttons' pictures, shared by the alerts open at a
// time and let go with the last of them: between checks the program holds
// none.
int gAlertsAlive = 0;
QStringList gPictureKeys;

QPixmap KeptPicture(const QString& key, const std::function<QPixmap()>& paint) {
  QPixmap picture;
  if (QPixmapCache::find(key, &picture)) return picture;
  picture = paint();
  if (QPixmapCache::insert(key, picture) && !gPictureKeys.contains(key)) gPictureKeys << key;
  return picture;
}

// A strip that paints itself with one of the alert's pictures.
class AlertStrip : public QWidget {
 public:
  enum class Kind { Title, Body };
  AlertStrip(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    // It paints every pixel: nothing need be filled underneath first.
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, picture());
  }

 private:
  // Every alert wears the same strips: each is painted once, into a picture
  // that the alerts open with it copy (filling the gradients costs more than
  // a copy).
  QPixmap picture() const {
    const qreal dpr = devicePixelRatioF();
    const QIcon icon = kind_ == Kind::Title ? window()->windowIcon() : QIcon();
    const QString key = QStringLiteral("tw-alert-strip-%1-%2x%3-%4-%5")
                            .arg(static_cast<int>(kind_))
                            .arg(width())
                            .arg(height())
                            .arg(dpr)
                            .arg(icon.cacheKey());
    return KeptPicture(key, [&] {
      QPixmap picture(QSize(qCeil(width() * dpr), qCeil(height() * dpr)));
      picture.setDevicePixelRatio(dpr);
      {
        QPainter p(&picture);
        if (kind_ == Kind::Title) {
          AlertArt::PaintTitleStrip(p, rect(), icon);
        } else {
          AlertArt::PaintBody(p, rect());
        }
      }
      return picture;
    });
  }

  Kind kind_;
};

QFont AlertFont(int pointSize, bool bold) {
  QFont f(QStringLiteral("Arial"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(pointSize);
  f.setBold(bold);
  return f;
}

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
}

bool IsInside(QWidget* w, QEvent* e) {
  return w->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint());
}

#if QT_CONFIG(xcb)
xcb_connection_t* X11Connection() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}
#endif

}  // namespace

QColor frmAlert::NormalColour() { return QColor(57, 77, 132); }
QColor frmAlert::HoverColour() { return QColor(57, 77, 255); }

frmAlert::frmAlert(AlertSlots& slots, std::function<QRect()> available, AlertSlide slide, SlideTicker* ticker)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      slots_(slots),
      available_(std::move(available)),
      slide_(slide),
      ownTicker_(ticker ? nullptr : std::make_unique<SlideTicker>(slide.intervalMs)),
      ticker_(ticker ? ticker : ownTicker_.get()) {
  // Whichever clock it steps on sends the tick's requests at once.
  ticker_->setAfterSteps(&frmAlert::SendToDisplay);
  ++gAlertsAlive;
  setObjectName(QStringLiteral("frmAlert"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  // The program lives on in the tray: the last alert closing must not end it.
  setAttribute(Qt::WA_QuitOnClose, false);
  // A notification: no taskbar entry, kept above normal windows.
  setAttribute(Qt::WA_X11NetWmWindowTypeNotification);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);

  content_ = new QWidget(this);
  content_->setObjectName(QStringLiteral("content"));
  content_->setAttribute(Qt::WA_OpaquePaintEvent);  // the strips cover it
  content_->setGeometry(0, 0, kWidth, kTitleHeight + kBodyHeight);
  picTitle_ = new AlertStrip(AlertStrip::Kind::Title, content_);
  picTitle_->setObjectName(QStringLiteral("picTitle"));
  lblTitle_ = new QLabel(QStringLiteral("Alert Message"), picTitle_);
  lblTitle_->setObjectName(QStringLiteral("lblTitle"));
  lblTitle_->setFont(AlertFont(8, true));
  const qreal dpr = devicePixelRatioF();
  imgClose3_ =
      KeptPicture(QStringLiteral("tw-alert-close-%1").arg(dpr), [dpr] { return AlertArt::CloseNormalPicture(dpr); });
  imgClose2_ = KeptPicture(QStringLiteral("tw-alert-close-hover-%1").arg(dpr),
                           [dpr] { return AlertArt::CloseHoverPicture(dpr); });
  imgClose_ = new QLabel(picTitle_);
  imgClose_->setObjectName(QStringLiteral("imgClose"));
  imgClose_->setPixmap(imgClose3_);
  imgClose_->setFixedSize(AlertArt::kCloseSize, AlertArt::kCloseSize);
  imgClose_->setCursor(Qt::PointingHandCursor);
  imgClose_->setToolTip(QStringLiteral("Close"));
  // A screen reader hears the alert as a notification when it appears, and
  // can close it by the close picture or on the alert itself, as a click does.
  imgClose_->setAccessibleName(QStringLiteral("Close"));
  SetAccessibleRole(*imgClose_, QAccessible::Button, {QAccessibleActionInterface::pressAction(), [this] { Unload(); }});
  SetAccessibleRole(*this, QAccessible::Notification, {QStringLiteral("Close"), [this] { Unload(); }});

  picBody_ = new AlertStrip(AlertStrip::Kind::Body, content_);
  picBody_->setObjectName(QStringLiteral("picBody"));
  lblAlert_ = new QLabel(QStringLiteral("Alert Message"), picBody_);
  lblAlert_->setObjectName(QStringLiteral("lblAlert"));
  lblAlert_->setFont(AlertFont(9, false));
  lblAlert_->setAlignment(Qt::AlignCenter);
  lblAlert_->setWordWrap(true);
  lblAlert_->setTextFormat(Qt::PlainText);
  lblAlert_->setContentsMargins(kMessagePaddingPx, 0, kMessagePaddingPx, 0);
  lblAlert_->setCursor(Qt::PointingHandCursor);
  lblTitle_->setTextFormat(Qt::PlainText);

  for (QWidget* w : {static_cast<QWidget*>(picTitle_), static_cast<QWidget*>(lblTitle_),
                     static_cast<QWidget*>(imgClose_), static_cast<QWidget*>(picBody_),
                     static_cast<QWidget*>(lblAlert_)}) {
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
  installEventFilter(this);

  tmrAlert_.setSingleShot(true);
  connect(&tmrAlert_, &QTimer::timeout, this, &frmAlert::tmrAlert_Timer);
}

frmAlert::~frmAlert() {
  stopSlide();
  releaseSlot();
  if (--gAlertsAlive == 0) {
    for (const QString& key : std::as_const(gPictureKeys)) QPixmapCache::remove(key);
    gPictureKeys.clear();
  }
}

void frmAlert::Display(const QString& message, const QString& title, int durationMs, bool restore) {
  lblTitle_->setProperty("fullText", title);
  lblTitle_->setText(title);
  SetTextColour(lblTitle_, NormalColour());
  lblAlert_->setText(message);
  SetTextColour(lblAlert_, NormalColour());
  setAccessibleName(title);
  setAccessibleDescription(message);
  restoreOnClick_ = restore;
  tmrAlert_.setInterval(std::max(0, durationMs));

  slot_ = slots_.Take();
  setProperty("tag", QString::number(slot_));

  const QSize full(kWidth, kTitleHeight + kBodyHeight);
  final_ = AlertPlacement::FinalGeometry(available_(), full, slot_);
  setGeometry(slide_.resizeWindow ? AlertPlacement::SlideGeometry(final_, kSlideStartPx) : final_);
  layoutControls();
  showHeight(kSlideStartPx);

  phase_ = Phase::SlidingIn;
  show();
  startSlide();
}

void frmAlert::layoutControls() {
  picTitle_->setGeometry(0, 0, kWidth, kTitleHeight);
  picBody_->setGeometry(0, kTitleHeight, kWidth, kBodyHeight);

  const int closeTop = kTitleHeight / 2 - AlertArt::kCloseSize / 2;
  imgClose_->move(kWidth - (closeTop + AlertArt::kCloseSize), closeTop);

  const int titleRoom = imgClose_->x() - kTitleLeftPx - 4;
  const QString fullTitle = lblTitle_->property("fullText").toString();
  lblTitle_->setText(lblTitle_->fontMetrics().elidedText(fullTitle, Qt::ElideRight, titleRoom));
  lblTitle_->adjustSize();
  lblTitle_->move(kTitleLeftPx, kTitleHeight / 2 - lblTitle_->height() / 2);

  const int h = std::min(kBodyHeight - 4, lblAlert_->heightForWidth(kWidth));
  lblAlert_->setGeometry(0, std::max(2, kBodyHeight / 2 - 3 - h / 2), kWidth, h);
}

// While sliding, the alert shows the bottom `height` rows of itself: its
// content stands at its final place and the part in view grows upward from
// the bottom edge.
void frmAlert::showHeight(int height) {
  const int full = final_.height();
  const int before = shownHeight_;
  shownHeight_ = height;
  if (slide_.resizeWindow) {
    setGeometry(AlertPlacement::SlideGeometry(final_, height));
    content_->move(0, height - full);
  } else {
    // The cut is the X server's alone (the window's shape), not the widget's
    // mask, which would also stop painting at it: so the whole alert is
    // painted once, and the rows a step brings into view are copied from the
    // window's buffer, with no painting.
    if (!windowHandle()) create();
    windowHandle()->setMask(height >= full ? QRegion() : QRegion(0, full - height, kWidth, height));
    if (quietSlide_ && height > before && backingStore()) {
      backingStore()->flush(QRegion(0, full - height, kWidth, height - before), windowHandle());
    }
    sendUnlessInTick();
  }
}

// Each step of a slide in brings rows into view, and the server would send
// an expose for them: a wake-up of Qt's event reader and of this thread, and
// a copy, per step and alert. Once the window has had its first expose (Qt
// then counts it as shown and has painted it whole), the slide puts the new
// rows up itself and the window hears no exposes until the slide ends.
void frmAlert::beginQuietSlide() {
#if QT_CONFIG(xcb)
  if (quietSlide_ || quietRefused_ || slide_.resizeWindow || !windowHandle() || !windowHandle()->isExposed() ||
      !backingStore()) {
    return;
  }
  xcb_connection_t* connection = X11Connection();
  if (!connection) return;
  // Asked once: the mask is Qt's to choose, and is given back as it was.
  quietRefused_ = true;
  const auto window = static_cast<xcb_window_t>(winId());
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
  if (!attributes) return;
  eventMask_ = attributes->your_event_mask;
  std::free(attributes);
  if (!(eventMask_ & XCB_EVENT_MASK_EXPOSURE)) return;
  quietRefused_ = false;
  const quint32 quiet = eventMask_ & ~quint32(XCB_EVENT_MASK_EXPOSURE);
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &quiet);
  quietSlide_ = true;
#endif
}

// The window hears its exposes again. repaintAll: the whole window is put up
// again from its buffer, for any part another window uncovered meanwhile.
void frmAlert::endQuietSlide(bool repaintAll) {
  if (!quietSlide_) return;
  quietSlide_ = false;
#if QT_CONFIG(xcb)
  xcb_connection_t* connection = X11Connection();
  if (!connection || !windowHandle()) return;
  xcb_change_window_attributes(connection, static_cast<xcb_window_t>(winId()), XCB_CW_EVENT_MASK, &eventMask_);
  if (repaintAll && backingStore()) backingStore()->flush(QRegion(rect()), windowHandle());
  sendUnlessInTick();
#endif
}

// Qt leaves a change of shape in the display connection's buffer until
// something else goes out: sent at once, this step shows now, not the next.
void frmAlert::SendToDisplay() {
#if QT_CONFIG(xcb)
  if (xcb_connection_t* connection = X11Connection()) xcb_flush(connection);
#endif
}

// Alerts stepping on a shared tick send their requests together, after the
// tick's last step: one write to the display, not one an alert.
void frmAlert::sendUnlessInTick() {
  if (!ticker_ || !ticker_->inTick()) SendToDisplay();
}

int frmAlert::PicturesKept() { return static_cast<int>(gPictureKeys.size()); }

QRegion frmAlert::cut() const { return windowHandle() ? windowHandle()->mask() : QRegion(); }

void frmAlert::startSlide() {
  slideFrom_ = shownHeight_;
  slideClock_.start();
  if (ticker_) ticker_->start(this, [this] { slideStep(); });
}

void frmAlert::stopSlide() {
  if (ticker_) ticker_->stop(this);
}

// The height follows the time since the slide began, so a late tick catches
// up instead of slowing the slide, and a tick that would move nothing
// touches nothing.
void frmAlert::slideStep() {
  const qint64 travelled = slideClock_.elapsed() * slide_.stepPx / std::max(1, slide_.intervalMs);
  const int full = final_.height();
  int height = shownHeight_;
  if (phase_ == Phase::SlidingIn) {
    if (shownHeight_ >= full) {
      stopSlide();
      endQuietSlide(true);
      phase_ = Phase::Shown;
      // A zero duration keeps the alert until it is closed.
      if (tmrAlert_.interval() > 0) tmrAlert_.start();
      return;
    }
    height = static_cast<int>(std::min<qint64>(full, slideFrom_ + travelled));
    beginQuietSlide();
  } else if (phase_ == Phase::SlidingOut) {
    if (shownHeight_ < kSlideEndPx) {
      stopSlide();
      Unload();
      return;
    }
    height = static_cast<int>(std::max<qint64>(kSlideStartPx, slideFrom_ - travelled));
  } else {
    stopSlide();
    return;
  }
  if (height != shownHeight_) showHeight(height);
}

void frmAlert::tmrAlert_Timer() {
  if (phase_ != Phase::Shown) return;
  phase_ = Phase::SlidingOut;
  startSlide();
}

void frmAlert::releaseSlot() {
  slots_.Release(slot_);
  slot_ = 0;
}

void frmAlert::Unload() {
  tmrAlert_.stop();
  stopSlide();
  endQuietSlide(false);
  releaseSlot();
  if (phase_ == Phase::Closed) return;
  phase_ = Phase::Closed;
  close();
}

void frmAlert::closeEvent(QCloseEvent* event) {
  tmrAlert_.stop();
  stopSlide();
  endQuietSlide(false);
  releaseSlot();
  phase_ = Phase::Closed;
  QWidget::closeEvent(event);
}

bool frmAlert::isMessageHighlighted() const { return lblAlert_->font().underline(); }

void frmAlert::Highlight_Alert() {
  if (isMessageHighlighted()) {
    QFont f = lblAlert_->font();
    f.setUnderline(false);
    lblAlert_->setFont(f);
    SetTextColour(lblAlert_, NormalColour());
  }
  if (closeHovered_) {
    closeHovered_ = false;
    imgClose_->setPixmap(imgClose3_);
  }
}

void frmAlert::hoverMessage() {
  if (!isMessageHighlighted()) {
    QFont f = lblAlert_->font();
    f.setUnderline(true);
    lblAlert_->setFont(f);
    SetTextColour(lblAlert_, HoverColour());
  }
  if (closeHovered_) {
    closeHovered_ = false;
    imgClose_->setPixmap(imgClose3_);
  }
}

void frmAlert::hoverClose() {
  if (closeHovered_) return;
  closeHovered_ = true;
  imgClose_->setPixmap(imgClose2_);
}

void frmAlert::leaveEvent(QEvent* event) {
  Highlight_Alert();
  QWidget::leaveEvent(event);
}

bool frmAlert::eventFilter(QObject* watched, QEvent* event) {
  if (phase_ == Phase::Closed) return QWidget::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseMove) {
    if (watched == lblAlert_) {
      hoverMessage();
    } else if (watched == imgClose_) {
      hoverClose();
    } else {
      Highlight_Alert();
    }
    // Handled here: passed on, the move would reach the parent strip and
    // take the hover look straight off again.
    return true;
  }
  if (type == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == imgClose_ && IsInside(imgClose_, event)) {
      Unload();
      return true;
    }
    if (watched == lblAlert_ && IsInside(lblAlert_, event)) {
      if (restoreOnClick_) {
        Q_EMIT restoreRequested();
      } else {
        Unload();
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tw
