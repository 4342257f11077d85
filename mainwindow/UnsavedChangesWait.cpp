#include "mainwindow/UnsavedChangesWait.h"

#include "core/Registry.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace tw {
namespace {

// The store tries again twice a second; the box follows it as closely.
constexpr int kPollMs = 250;

}  // namespace

UnsavedChangesWait::UnsavedChangesWait(Registry& registry, QWidget& window, QObject* parent)
    : QObject(parent), registry_(registry), window_(window) {
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &UnsavedChangesWait::check);
}

UnsavedChangesWait::~UnsavedChangesWait() { delete box_; }

QMessageBox* UnsavedChangesWait::box() const { return box_.data(); }

QString UnsavedChangesWait::text() const {
  QStringList stores;
  for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
    RegistryStore& store = registry_.store(hive);
    if (store.unsavedChangeCount() > 0) stores << QDir::toNativeSeparators(store.filePath());
  }
  return QStringLiteral("%1 change(s) are waiting to be saved: another program holds the settings store %2.")
      .arg(registry_.UnsavedChanges())
      .arg(stores.join(QStringLiteral(" and ")));
}

void UnsavedChangesWait::start(std::function<void()> quit, std::function<void()> cancelled) {
  quit_ = std::move(quit);
  cancelled_ = std::move(cancelled);
  waiting_ = true;
  // A window in the tray cannot carry the box: it stands on its own then.
  QWidget* parent = window_.isVisible() ? &window_ : nullptr;
  box_ = new QMessageBox(QMessageBox::Warning, window_.windowTitle(), text(), QMessageBox::NoButton, parent);
  box_->setObjectName(QStringLiteral("unsavedChangesBox"));
  box_->setAttribute(Qt::WA_DeleteOnClose);
  box_->setInformativeText(
      QStringLiteral("Tidewire quits as soon as they are saved. If you quit anyway, they are kept beside the store "
                     "and saved the next time Tidewire starts."));
  quitAnyway_ = box_->addButton(QStringLiteral("&Quit Anyway"), QMessageBox::DestructiveRole);
  QPushButton* stay = box_->addButton(QStringLiteral("&Don't Quit"), QMessageBox::RejectRole);
  box_->setDefaultButton(stay);
  box_->setEscapeButton(stay);
  box_->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  connect(box_, &QDialog::finished, this, [this] { finish(box_ && box_->clickedButton() == quitAnyway_); });
  box_->show();
  poll_.start();
}

void UnsavedChangesWait::raise() {
  if (!box_) return;
  box_->show();
  box_->raise();
  box_->activateWindow();
}

void UnsavedChangesWait::check() {
  if (registry_.UnsavedChanges() == 0) {
    finish(true);
  } else if (box_) {
    box_->setText(text());
  }
}

void UnsavedChangesWait::finish(bool quit) {
  if (!waiting_) return;
  waiting_ = false;
  poll_.stop();
  if (QMessageBox* box = box_.data()) {
    box_.clear();
    box->disconnect(this);
    box->close();
  }
  // Handed over first: either may end with this object's owner.
  auto then = std::exchange(quit ? quit_ : cancelled_, {});
  quit_ = {};
  cancelled_ = {};
  if (then) then();
}

}  // namespace tw
