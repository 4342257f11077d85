#include "widgets/MessageBoxes.h"

#include <QMessageBox>

namespace tw {
namespace {

class StandardMessageBoxes : public MessageBoxes {
 public:
  void critical(QWidget* parent, const QString& title, const QString& text) override {
    show(QMessageBox::Critical, parent, title, text);
  }
  void warning(QWidget* parent, const QString& title, const QString& text) override {
    show(QMessageBox::Warning, parent, title, text);
  }

 private:
  static void show(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // open(), not exec(): the caller goes on and the box closes itself.
    box->open();
  }
};

}  // namespace

MessageBoxes& MessageBoxes::standard() {
  static StandardMessageBoxes boxes;
  return boxes;
}

}  // namespace tw
