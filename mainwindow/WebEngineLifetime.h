#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;
class QWindow;

namespace tw {

class TrayControl;
class EnginePageView;

// When the web panel's engine exists. At start-up it comes right after the
// main window is on screen (at once when the window starts hidden), so the
// window does not wait for it. While the window is hidden in the tray the
// program keeps nothing only a visible window needs: a few seconds after the
// window went there the engine is released (its page and, with it, the
// page's process), and the heap freed with it goes back to the system. The
// engine, with the page last shown, comes back as the window shows again.
class WebEngineLifetime : public QObject {
  Q_OBJECT

 public:
  static constexpr int kReleaseDelayMs = 5000;
  // Should the window's first exposure never be reported.
  static constexpr int kFirstShowLimitMs = 1000;

  WebEngineLifetime(QWidget& window, const TrayControl& tray, EnginePageView& web, QObject* parent = nullptr);

  // Start-up has run: the engine is due.
  void started();
  void setReleaseDelayMs(int ms) { release_.setInterval(ms); }
  // The engine was released and is not back yet.
  bool released() const { return released_; }
  // Whether the web engine's view is the one the window shows. Out of use
  // it is released at once and never built; back in use it is built as
  // soon as the window is seen.
  void setInUse(bool inUse);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createEngine();
  void releaseEngine();

  QWidget& window_;
  const TrayControl& tray_;
  EnginePageView& web_;
  QPointer<QWindow> exposing_;
  QTimer release_;
  QTimer firstShow_;
  bool started_ = false;
  bool released_ = false;
  bool inUse_ = true;
};

}  // namespace tw
