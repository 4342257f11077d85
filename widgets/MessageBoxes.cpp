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
  void question(QWidget* parent, const QString& title, const QString& text,
                std::function<void(bool yes)> answered) override {
    QMessageBox* box = show(QMessageBox::Question, parent, title, text, QMessageBox::Yes | QMessageBox::No);
    QObject::connect(box, &QMessageBox::finished, box,
                     [answered = std::move(answered)](int result) { answered(result == QMessageBox::Yes); });
  }

 private:
  static QMessageBox* show(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text,
                           QMessageBox::StandardButtons buttons = QMessageBox::Ok) {
    auto* box = new QMessageBox(icon, title, text, buttons, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // open(), not exec(): the caller goes on and the box closes itself.
    box->open();
    return box;
  }
};

}  // namespace

MessageBoxes& MessageBoxes::standard() {
  static StandardMessageBoxes boxes;
  return boxes;
}

}  // namespace tw
