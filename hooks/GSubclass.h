#pragma once

#include "hooks/ControlError.h"

#include <QEvent>

class QObject;

namespace tw {

class ISubclass;

// Event hooks: any number of clients can take part in one event type of one
// window (any QObject of the user-interface thread). The clients of an event
// run from the last attached to the first; the first-attached client's
// answer decides when the window's own handling runs (ISubclass::Answer), and
// it runs at most once per event.
//
// The window's own handling is the rest of the event's normal delivery: the
// event filters installed before the hooks (a scroll area paints its
// viewport from one), then the window's event(). Run after the clients it is
// simply let through; run before a client or by CallOldWindowProc the event
// is delivered again past the hooks, so filters installed after them see it
// twice.
//
// A destroyed window is let go entirely, after its clients of QEvent::Destroy
// have been told (with the window's address only: nothing of it is left to
// use).
//
// Errors are thrown as ControlError with the source "<program>.WindowProc".
class GSubclass {
 public:
  static constexpr std::uint32_t kCantSubclass = ControlError::kObjectError + 13081;      // 0x80043319
  static constexpr std::uint32_t kAlreadyHandled = ControlError::kObjectError + 13082;   // 0x8004331A
  static constexpr std::uint32_t kInvalidWindow = ControlError::kObjectError + 13083;    // 0x8004331B
  static constexpr std::uint32_t kExternalWindow = ControlError::kObjectError + 13084;   // 0x8004331C

  // Throws "Invalid window" for a null (or already destroyed, through a
  // QPointer) window, "Can't modify external window" for a window of another
  // thread, "Message already handled by another class" when the client is
  // already attached to that event of that window (it stays attached once),
  // "Can't subclass window" when the window cannot be hooked at all (it
  // belongs to no thread).
  static void AttachMessage(ISubclass* client, QObject* hWnd, QEvent::Type iMsg);
  // Nothing happens when the client is not attached there.
  static void DetachMessage(ISubclass* client, QObject* hWnd, QEvent::Type iMsg);
  // The event type being dispatched to a client now; QEvent::None outside.
  static QEvent::Type CurrentMessage();
  // Runs the window's own handling of the event (the rest of its normal
  // delivery) and returns its result; false for a window that is not hooked.
  // Inside a dispatch of that event it runs at most once.
  static bool CallOldWindowProc(QObject* hWnd, QEvent* event);

  // Whether the window is hooked, and by how many (event, client) pairs.
  static bool IsSubclassed(const QObject* hWnd);
  static int AttachmentCount(const QObject* hWnd);
};

}  // namespace tw
