#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace tw {

// Holds a window's repaints back while one piece of background work runs
// (a feed being fetched, read and stored), so that everything it changes
// (activity lines, tree counts, the progress bar) reaches the screen in one
// paint instead of one per step. Qt asks a window to repaint with one
// UpdateRequest at a time; while held, that request is kept back and asked
// again on release. Nothing waits longer than the cap, and the user never
// waits: a key, a click or the wheel anywhere in the window lets go at once.
class RepaintHold : public QObject {
 public:
  RepaintHold(QWidget* window, int capMs, QObject* parent = nullptr);
  ~RepaintHold() override;

  void hold();
  void release();
  bool isHeld() const { return held_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> window_;
  QTimer cap_;
  bool held_ = false;
  bool keptBack_ = false;
};

}  // namespace tw
