#include "mainwindow/WebEngineLifetime.h"

#include "core/WindowPorts.h"
#include "web/EnginePageView.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tw {

WebEngineLifetime::WebEngineLifetime(QWidget& window, const TrayControl& tray, EnginePageView& web, QObject* parent)
    : QObject(parent), window_(window), tray_(tray), web_(web) {
  release_.setSingleShot(true);
  release_.setInterval(kReleaseDelayMs);
  connect(&release_, &QTimer::timeout, this, &WebEngineLifetime::releaseEngine);
  firstShow_.setSingleShot(true);
  firstShow_.setInterval(kFirstShowLimitMs);
  connect(&firstShow_, &QTimer::timeout, this, &WebEngineLifetime::createEngine);
  window_.installEventFilter(this);
}

void WebEngineLifetime::started() {
  started_ = true;
  QWindow* handle = window_.windowHandle();
  if (window_.isVisible() && handle && !handle->isExposed()) {
    // Once the window is on screen and has painted itself.
    exposing_ = handle;
    handle->installEventFilter(this);
    firstShow_.start();
    return;
  }
  createEngine();
  if (!window_.isVisible()) release_.start();
}

void WebEngineLifetime::setInUse(bool inUse) {
  if (inUse == inUse_) return;
  inUse_ = inUse;
  if (!inUse_) {
    release_.stop();
    released_ = true;
    if (!web_.hasEngine()) return;
    web_.ReleaseEngine();
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
  } else if (started_ && !exposing_ && !firstShow_.isActive() && window_.isVisible()) {
    createEngine();
  }
}

void WebEngineLifetime::createEngine() {
  firstShow_.stop();
  if (exposing_) exposing_->removeEventFilter(this);
  exposing_.clear();
  if (!inUse_) return;
  released_ = false;
  web_.CreateEngine();
}

void WebEngineLifetime::releaseEngine() {
  if (window_.isVisible() || !tray_.isInTray()) return;
  web_.ReleaseEngine();
  released_ = true;
#if defined(__GLIBC__)
  // What the page, its view and its profile freed is mostly below the top of
  // the heap, where the allocator would keep it.
  malloc_trim(0);
#endif
}

bool WebEngineLifetime::eventFilter(QObject* watched, QEvent* event) {
  if (watched == exposing_ && event->type() == QEvent::Expose && exposing_->isExposed()) {
    // Its paint comes first.
    exposing_->removeEventFilter(this);
    exposing_.clear();
    firstShow_.stop();
    QMetaObject::invokeMethod(this, &WebEngineLifetime::createEngine, Qt::QueuedConnection);
  } else if (watched == &window_ && started_ && !exposing_ && !firstShow_.isActive()) {
    if (event->type() == QEvent::Show) {
      release_.stop();
      if (released_) createEngine();
    } else if (event->type() == QEvent::Hide) {
      release_.start();
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tw
