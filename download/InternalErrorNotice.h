#pragma once

#include <QString>

namespace tw {

// Where the download control shows that a read could not be started. The
// window shows it without blocking: the feed queue runs unattended and must
// not wait for someone to close a box.
class InternalErrorNotice {
 public:
  virtual ~InternalErrorNotice() = default;
  virtual void ShowInternalError(const QString& title, const QString& text) = 0;
};

}  // namespace tw
