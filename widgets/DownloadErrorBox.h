#pragma once

#include "download/InternalErrorNotice.h"

#include <QPointer>

class QWidget;

namespace tw {

// Shows a download control's start failure in a critical message box that
// does not block: the feed queue goes on while the box is open.
class DownloadErrorBox : public InternalErrorNotice {
 public:
  explicit DownloadErrorBox(QWidget* parent = nullptr) : parent_(parent) {}
  void ShowInternalError(const QString& title, const QString& text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tw
