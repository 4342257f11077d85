#include "hooks/MSubclass.h"

#include "hooks/GSubclass.h"
#include "hooks/ISubclass.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QThread>

namespace tw {
namespace {

[[noreturn]] void Raise(std::uint32_t number, const char* description) {
  ControlError::Raise(number, "WindowProc", description);
}

QThread* UserInterfaceThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app ? app->thread() : QThread::currentThread();
}

}  // namespace

// Hooks one window: its event filter, the clients of each event type in the
// order they attached, and the dispatches in progress (a client may cause
// another event of the same window while it runs).
class SubclassDispatcher : public QObject {
 public:
  SubclassDispatcher(MSubclass& registry, QObject* window) : registry_(registry), window_(window) {
    window_->installEventFilter(this);
    // No context object: the dispatcher may end inside this call.
    destroyedConnection_ = QObject::connect(window_, &QObject::destroyed, [this] { windowDestroyed(); });
  }
  ~SubclassDispatcher() override { QObject::disconnect(destroyedConnection_); }

  QObject* window() const { return window_; }
  int attachments() const { return attachments_; }
  bool has(QEvent::Type type, ISubclass* client) const { return clients_.value(type).contains(client); }

  void add(QEvent::Type type, ISubclass* client) {
    clients_[type].append(client);
    ++attachments_;
  }

  bool remove(QEvent::Type type, ISubclass* client) {
    auto it = clients_.find(type);
    if (it == clients_.end() || !it->removeOne(client)) return false;
    if (it->isEmpty()) clients_.erase(it);
    --attachments_;
    return true;
  }

  bool removeEverywhere(ISubclass* client) {
    bool removed = false;
    for (auto it = clients_.begin(); it != clients_.end();) {
      if (it->removeOne(client)) {
        --attachments_;
        removed = true;
      }
      it = it->isEmpty() ? clients_.erase(it) : std::next(it);
    }
    return removed;
  }

  // The last attachment went: the window is handled as before. While a
  // dispatch is in progress the dispatcher stays until it ends.
  void unhook() {
    if (unhooked_) return;
    QObject::disconnect(destroyedConnection_);
    if (windowAlive_) window_->removeEventFilter(this);
    clients_.clear();
    attachments_ = 0;
    unhooked_ = true;
    if (dispatches_.isEmpty()) delete this;
  }

  // CallOldWindowProc for this window.
  bool runWindow(QEvent* event) {
    for (auto it = dispatches_.crbegin(); it != dispatches_.crend(); ++it) {
      Dispatch* d = *it;
      if (d->event != event) continue;
      if (!d->ran && d->windowCanRun) callWindow(*d);
      return d->windowResult;
    }
    // Not an event being dispatched: deliver it past the hooks.
    Dispatch d{event};
    return finish(d, [&] {
      callWindow(d);
      return d.windowResult;
    });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || unhooked_) return false;
    // The window's own handling, asked for by a dispatch: let it through.
    for (const Dispatch* d : dispatches_) {
      if (d->event == event && d->passing) return false;
    }
    if (!clients_.contains(event->type())) return false;
    Dispatch d{event};
    return finish(d, [&] { return dispatch(d); });
  }

 private:
  struct Dispatch {
    QEvent* event;
    bool windowCanRun = true;
    bool passing = false;  // the window's own handling runs now
    bool ran = false;
    bool windowResult = false;
  };

  // Runs work with d registered as a dispatch in progress; deletes the
  // dispatcher afterwards when it was unhooked meanwhile.
  template <typename Work>
  bool finish(Dispatch& d, Work work) {
    dispatches_.append(&d);
    const bool result = work();
    dispatches_.removeLast();
    if (unhooked_ && dispatches_.isEmpty()) delete this;
    return result;
  }

  bool attached(QEvent::Type type, ISubclass* client) const { return !unhooked_ && has(type, client); }

  template <typename Call>
  auto asClient(QEvent::Type type, Call call) {
    const QEvent::Type previous = registry_.current_;
    registry_.current_ = type;
    auto result = call();
    registry_.current_ = previous;
    return result;
  }

  void callWindow(Dispatch& d) {
    d.ran = true;
    d.passing = true;
    d.windowResult = QCoreApplication::sendEvent(window_, d.event);
    d.passing = false;
  }

  // The window was destroyed while d was being dispatched: its other clients
  // are not called for it. The Destroy dispatch itself starts with the window
  // gone and goes to every client.
  bool wentAway(const Dispatch& d) const { return d.windowCanRun && !windowAlive_; }

  // Returns the filter's answer: true stops the normal delivery.
  bool dispatch(Dispatch& d) {
    const QEvent::Type type = d.event->type();
    const QList<ISubclass*> clients = clients_.value(type);
    // The most recently attached first; each one still attached when its turn comes.
    for (qsizetype i = clients.size() - 1; i >= 1; --i) {
      if (!attached(type, clients[i])) continue;
      asClient(type, [&] { return clients[i]->WindowProc(window_, d.event, false); });
      if (wentAway(d)) return true;
    }
    ISubclass* first = clients.value(0);
    if (!first || !attached(type, first)) return d.ran;
    const int answer = asClient(type, [&] { return first->MsgResponse(); });
    if (answer == ISubclass::kWindowBefore) {
      if (!d.ran && d.windowCanRun) callWindow(d);
      if (wentAway(d)) return true;
      asClient(type, [&] { return first->WindowProc(window_, d.event, d.windowResult); });
      return true;
    }
    asClient(type, [&] { return first->WindowProc(window_, d.event, false); });
    if (answer == ISubclass::kInsteadOfWindow || wentAway(d)) return true;
    // The window's own handling follows, unless a client already ran it.
    return d.ran;
  }

  void windowDestroyed() {
    windowAlive_ = false;
    if (!unhooked_ && clients_.contains(QEvent::Destroy)) {
      QEvent destroy(QEvent::Destroy);
      Dispatch d{&destroy};
      d.windowCanRun = false;  // nothing of the window is left to run
      dispatches_.append(&d);
      dispatch(d);
      dispatches_.removeLast();
    }
    if (!unhooked_) {
      registry_.Release(this);
    } else if (dispatches_.isEmpty()) {
      delete this;  // a Destroy client detached the last attachment
    }
  }

  MSubclass& registry_;
  QObject* window_;
  bool windowAlive_ = true;
  QMetaObject::Connection destroyedConnection_;
  QHash<int, QList<ISubclass*>> clients_;
  int attachments_ = 0;
  QList<Dispatch*> dispatches_;
  bool unhooked_ = false;
};

MSubclass& MSubclass::instance() {
  // Never destroyed: clients that end during static destruction still find it.
  static MSubclass* registry = new MSubclass;
  return *registry;
}

void MSubclass::Attach(ISubclass* client, QObject* window, QEvent::Type type) {
  if (!window) Raise(GSubclass::kInvalidWindow, "Invalid window");
  QThread* ui = UserInterfaceThread();
  if (QThread::currentThread() != ui || (window->thread() && window->thread() != ui)) {
    Raise(GSubclass::kExternalWindow, "Can't modify external window");
  }
  if (!client) Raise(5, "Invalid procedure call or argument");
  SubclassDispatcher* dispatcher = dispatchers_.value(window, nullptr);
  if (dispatcher && dispatcher->has(type, client)) Raise(GSubclass::kAlreadyHandled, "Message already handled by another class");
  if (!dispatcher) {
    // An object of no thread gets no events, so no filter can be put on it.
    if (!window->thread()) Raise(GSubclass::kCantSubclass, "Can't subclass window");
    dispatcher = new SubclassDispatcher(*this, window);
    dispatchers_.insert(window, dispatcher);
  }
  dispatcher->add(type, client);
}

void MSubclass::Detach(ISubclass* client, QObject* window, QEvent::Type type) {
  SubclassDispatcher* dispatcher = window ? dispatchers_.value(window, nullptr) : nullptr;
  if (!dispatcher || !dispatcher->remove(type, client) || dispatcher->attachments() > 0) return;
  dispatchers_.remove(window);
  dispatcher->unhook();
}

void MSubclass::DetachEverywhere(ISubclass* client) {
  const QList<SubclassDispatcher*> all = dispatchers_.values();
  for (SubclassDispatcher* dispatcher : all) {
    if (!dispatcher->removeEverywhere(client) || dispatcher->attachments() > 0) continue;
    dispatchers_.remove(dispatcher->window());
    dispatcher->unhook();
  }
}

bool MSubclass::CallOldWindowProc(QObject* window, QEvent* event) {
  SubclassDispatcher* dispatcher = window && event ? dispatchers_.value(window, nullptr) : nullptr;
  return dispatcher ? dispatcher->runWindow(event) : false;
}

int MSubclass::AttachmentCount(const QObject* window) const {
  const SubclassDispatcher* dispatcher = dispatchers_.value(window, nullptr);
  return dispatcher ? dispatcher->attachments() : 0;
}

void MSubclass::Release(SubclassDispatcher* dispatcher) {
  if (dispatchers_.value(dispatcher->window(), nullptr) == dispatcher) dispatchers_.remove(dispatcher->window());
  dispatcher->unhook();
}

ISubclass::~ISubclass() { MSubclass::instance().DetachEverywhere(this); }

}  // namespace tw
