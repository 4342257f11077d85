#pragma once

#include <QEvent>
#include <QHash>

#include <memory>

class QObject;

namespace tw {

class ISubclass;
class SubclassDispatcher;

// The registry behind GSubclass: one dispatcher per hooked window, installed
// as the window's event filter at its first attachment and removed at its
// last, holding the clients of each event type in the order they attached.
// User-interface thread only.
class MSubclass {
 public:
  static MSubclass& instance();

  void Attach(ISubclass* client, QObject* window, QEvent::Type type);
  void Detach(ISubclass* client, QObject* window, QEvent::Type type);
  // Detaches a client that ends from every window it is attached to.
  void DetachEverywhere(ISubclass* client);
  bool CallOldWindowProc(QObject* window, QEvent* event);
  QEvent::Type CurrentMessage() const { return current_; }
  bool IsSubclassed(const QObject* window) const { return dispatchers_.contains(window); }
  int AttachmentCount(const QObject* window) const;

 private:
  friend class SubclassDispatcher;
  // The window went away: its Destroy clients have run; nothing of it stays.
  void Release(SubclassDispatcher* dispatcher);

  QHash<const QObject*, SubclassDispatcher*> dispatchers_;
  QEvent::Type current_ = QEvent::None;
};

}  // namespace tw
