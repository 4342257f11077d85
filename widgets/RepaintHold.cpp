#include "widgets/RepaintHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

namespace tw {
namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
      return true;
    default:
      return false;
  }
}

}  // namespace

RepaintHold::RepaintHold(QWidget* window, int capMs, QObject* parent) : QObject(parent), window_(window) {
  cap_.setSingleShot(true);
  cap_.setInterval(capMs);
  connect(&cap_, &QTimer::timeout, this, &RepaintHold::release);
  if (window_) window_->installEventFilter(this);
}

RepaintHold::~RepaintHold() { release(); }

void RepaintHold::hold() {
  cap_.start();
  if (held_) return;
  held_ = true;
  // Input goes to the widget under the pointer or with the focus, not to the
  // window itself: only the application sees it all. Watched only while held.
  qApp->installEventFilter(this);
}

void RepaintHold::release() {
  cap_.stop();
  if (!held_) return;
  held_ = false;
  qApp->removeEventFilter(this);
  // Qt does not ask again while its request is outstanding: ask for it.
  if (std::exchange(keptBack_, false) && window_) {
    QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  }
}

bool RepaintHold::eventFilter(QObject* watched, QEvent* event) {
  if (!held_) return false;
  if (watched == window_ && event->type() == QEvent::UpdateRequest) {
    keptBack_ = true;
    return true;
  }
  if (IsUserInput(event->type()) && watched->isWidgetType() && window_ &&
      static_cast<QWidget*>(watched)->window() == window_) {
    release();
  }
  return false;
}

}  // namespace tw
