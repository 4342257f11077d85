#pragma once

class QEvent;
class QObject;

namespace tw {

// A client of the event hooks (GSubclass): an object that takes part in the
// handling of chosen events of a window it does not own. A client that ends
// is detached from everything it was attached to.
class ISubclass {
 public:
  // Answers of MsgResponse: when the window's own handling of the event runs.
  enum Answer : int {
    kInsteadOfWindow = 0,  // not at all: the client handles the event instead
    kWindowAfter = 1,      // after every client
    kWindowBefore = 2,     // just before this client, which gets its result
  };

  ISubclass(const ISubclass&) = delete;
  ISubclass& operator=(const ISubclass&) = delete;

  // The answer for the event being dispatched (GSubclass::CurrentMessage).
  // Only the first client attached to an event is asked.
  virtual int MsgResponse() = 0;
  // Handles the event. windowResult is the window's own result when it ran
  // just before this client (kWindowBefore), else false. Returns the
  // client's result: whether the event was handled.
  virtual bool WindowProc(QObject* hWnd, QEvent* event, bool windowResult) = 0;

 protected:
  ISubclass() = default;
  virtual ~ISubclass();
};

}  // namespace tw
