#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace tw {

class Registry;

// Quitting while changes wait for a settings store another program holds:
// a box says how many wait and for which store, the store goes on trying,
// and the program quits by itself once they are saved. The user may quit
// anyway (the store then keeps them beside itself for the next start) or
// not quit after all. Nothing here blocks: the box is shown and left.
class UnsavedChangesWait : public QObject {
  Q_OBJECT

 public:
  UnsavedChangesWait(Registry& registry, QWidget& window, QObject* parent = nullptr);
  ~UnsavedChangesWait() override;

  // quit runs once nothing waits, or when the user quits anyway; cancelled
  // when the user does not quit after all.
  void start(std::function<void()> quit, std::function<void()> cancelled);
  bool isWaiting() const { return waiting_; }
  // Asked to quit again meanwhile: the box comes forward.
  void raise();
  // The program must end now, as if the user had chosen to quit anyway.
  void quitNow() { finish(true); }
  // The box while it is shown.
  QMessageBox* box() const;

 private:
  void check();
  void finish(bool quit);
  QString text() const;

  Registry& registry_;
  QWidget& window_;
  QPointer<QMessageBox> box_;
  QAbstractButton* quitAnyway_ = nullptr;
  QTimer poll_;
  bool waiting_ = false;
  std::function<void()> quit_;
  std::function<void()> cancelled_;
};

}  // namespace tw
