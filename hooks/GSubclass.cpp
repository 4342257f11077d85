#include "hooks/GSubclass.h"

#include "hooks/MSubclass.h"

namespace tw {

void GSubclass::AttachMessage(ISubclass* client, QObject* hWnd, QEvent::Type iMsg) {
  MSubclass::instance().Attach(client, hWnd, iMsg);
}

void GSubclass::DetachMessage(ISubclass* client, QObject* hWnd, QEvent::Type iMsg) {
  MSubclass::instance().Detach(client, hWnd, iMsg);
}

QEvent::Type GSubclass::CurrentMessage() { return MSubclass::instance().CurrentMessage(); }

bool GSubclass::CallOldWindowProc(QObject* hWnd, QEvent* event) {
  return MSubclass::instance().CallOldWindowProc(hWnd, event);
}

bool GSubclass::IsSubclassed(const QObject* hWnd) { return MSubclass::instance().IsSubclassed(hWnd); }

int GSubclass::AttachmentCount(const QObject* hWnd) { return MSubclass::instance().AttachmentCount(hWnd); }

}  // namespace tw
