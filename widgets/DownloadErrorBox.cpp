#include "widgets/DownloadErrorBox.h"

#include <QMessageBox>

namespace tw {

void DownloadErrorBox::ShowInternalError(const QString& title, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, parent_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace tw
