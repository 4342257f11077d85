#include "widgets/DownloadBar.h"

#include "download/bkDLControl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace tw {
namespace {

constexpr quint32 kSystemColourFlag = 0x80000000;

// Mouse buttons and modifier keys in the control's event numbering.
qint16 ButtonBits(Qt::MouseButtons buttons) {
  qint16 bits = 0;
  if (buttons & Qt::LeftButton) bits |= 1;
  if (buttons & Qt::RightButton) bits |= 2;
  if (buttons & Qt::MiddleButton) bits |= 4;
  return bits;
}

qint16 ShiftBits(Qt::KeyboardModifiers modifiers) {
  qint16 bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= 1;
  if (modifiers & Qt::ControlModifier) bits |= 2;
  if (modifiers & Qt::AltModifier) bits |= 4;
  return bits;
}

}  // namespace

QColor ResolveOleColor(quint32 color, const QPalette& palette) {
  if (!(color & kSystemColourFlag)) return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  switch (color & 0xFF) {
    case 5:  // window
      return palette.color(QPalette::Base);
    case 8:  // window text
      return palette.color(QPalette::Text);
    case 13:  // highlight
      return palette.color(QPalette::Highlight);
    case 14:  // highlighted text
      return palette.color(QPalette::HighlightedText);
    case 18:  // button text
      return palette.color(QPalette::ButtonText);
    case 15:  // button face
    default:
      return palette.color(QPalette::Button);
  }
}

DownloadBar::DownloadBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void DownloadBar::setControl(bkDLControl* control) {
  if (control_) control_->disconnect(this);
  control_ = control;
  if (control_) {
    connect(control_, &bkDLControl::repaintRequested, this, [this] { update(); });
    connect(control_, &bkDLControl::PropertyChanged, this, &DownloadBar::followProperties);
    followProperties();
  }
  update();
}

void DownloadBar::followProperties() {
  if (!control_) return;
  setEnabled(control_->Enabled());
  if (!control_->Font().isEmpty()) {
    QFont font;
    if (font.fromString(control_->Font())) setFont(font);
  }
  update();
}

QSize DownloadBar::sizeHint() const { return {100, 12}; }

void DownloadBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect box = rect();
  if (control_ && control_->BorderStyle() == 1) {
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    box = box.adjusted(1, 1, -1, -1);
  }
  const QColor back = ResolveOleColor(control_ ? control_->BackColor() : kSystemButtonFace, palette());
  painter.fillRect(box, back);
  if (!control_ || !control_->ShowProgress() || control_->Percent() <= 0.0f) return;
  const double fraction = std::min(1.0, static_cast<double>(control_->Percent()));
  const int filled = static_cast<int>(box.width() * fraction + 0.5);
  painter.fillRect(QRect(box.left(), box.top(), filled, box.height()),
                   ResolveOleColor(control_->ForeColor(), palette()));
}

void DownloadBar::mousePressEvent(QMouseEvent* event) {
  if (control_) {
    Q_EMIT control_->MouseDown(ButtonBits(event->button()), ShiftBits(event->modifiers()),
                               static_cast<float>(event->position().x()), static_cast<float>(event->position().y()));
  }
}

void DownloadBar::mouseMoveEvent(QMouseEvent* event) {
  if (control_) {
    Q_EMIT control_->MouseMove(ButtonBits(event->buttons()), ShiftBits(event->modifiers()),
                               static_cast<float>(event->position().x()), static_cast<float>(event->position().y()));
  }
}

void DownloadBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!control_) return;
  Q_EMIT control_->MouseUp(ButtonBits(event->button()), ShiftBits(event->modifiers()),
                           static_cast<float>(event->position().x()), static_cast<float>(event->position().y()));
  if (rect().contains(event->position().toPoint())) Q_EMIT control_->Click();
}

void DownloadBar::mouseDoubleClickEvent(QMouseEvent*) {
  if (control_) Q_EMIT control_->DblClick();
}

}  // namespace tw
