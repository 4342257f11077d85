#include "mainwindow/TrayIcon.h"

#include "core/ActivityLog.h"
#include "core/AppIdentity.h"
#include "core/StatusPanels.h"
#include "mainwindow/TrayBackend.h"
#include "mainwindow/TrayHost.h"
#include "news/DisplayText.h"
#include "widgets/ElidedLabel.h"
#include "widgets/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QWidget>

namespace tw {
namespace {

// The tip is written with CR LF; tooltips here break lines on LF alone. It is
// shown whole, decoded, and as text.
QString ShownTip(const QString& tip) {
  return PlainToolTip(DisplayText(tip).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QIcon BlankIcon() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  return QIcon(pm);
}

}  // namespace

TrayIcon::TrayIcon(QWidget& window, StatusPanels& panels, TrayHost& host, QObject* parent)
    : QObject(parent), window_(window), panels_(panels), host_(host), available_(&QSystemTrayIcon::isSystemTrayAvailable) {
  mnuTrayPopup_ = new QMenu(QStringLiteral("Tray Menu"), &window_);
  mnuTrayPopup_->setObjectName(QStringLiteral("mnuTrayPopup"));
  mnuOpen_ = mnuTrayPopup_->addAction(QString());
  mnuOpen_->setObjectName(QStringLiteral("mnuOpen"));
  setOpenCaption(QString::fromLatin1(kProductTitle));
  mnuTrayPopup_->addSeparator()->setObjectName(QStringLiteral("mnuSplit10"));
  QAction* update = mnuTrayPopup_->addAction(QStringLiteral("Update News Lists"));
  update->setObjectName(QStringLiteral("mnuUpdate1"));
  mnuTrayPopup_->addSeparator()->setObjectName(QStringLiteral("mnuSplit8"));
  QAction* settings = mnuTrayPopup_->addAction(QStringLiteral("Settings"));
  settings->setObjectName(QStringLiteral("mnuSettings2"));
  mnuTrayPopup_->addSeparator()->setObjectName(QStringLiteral("mnuSplit9"));
  QAction* exit = mnuTrayPopup_->addAction(QStringLiteral("Exit"));
  exit->setObjectName(QStringLiteral("mnuExit2"));
  // The first entry is the one a user expects from the icon.
  mnuTrayPopup_->setDefaultAction(mnuOpen_);

  connect(mnuOpen_, &QAction::triggered, this, &TrayIcon::GetFromTray);
  connect(update, &QAction::triggered, this, &TrayIcon::updateRequested);
  connect(settings, &QAction::triggered, this, &TrayIcon::settingsRequested);
  connect(exit, &QAction::triggered, this, &TrayIcon::exitRequested);

  tmrAniIcon_.setInterval(kBlinkMs);
  connect(&tmrAniIcon_, &QTimer::timeout, this, &TrayIcon::tmrAniIcon_Timer);
  tmrSysTrayCrash_.setInterval(kWatchMs);
  connect(&tmrSysTrayCrash_, &QTimer::timeout, this, &TrayIcon::tmrSysTrayCrash_Timer);

  backend_ = std::make_unique<SystemTrayBackend>(
      mnuTrayPopup_, [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::setBackend(std::unique_ptr<TrayBackend> backend) {
  if (backend) backend_ = std::move(backend);
}

void TrayIcon::setAvailabilitySource(std::function<bool()> source) {
  available_ = source ? std::move(source) : std::function<bool()>(&QSystemTrayIcon::isSystemTrayAvailable);
}

void TrayIcon::setOpenCaption(const QString& progTitle) { mnuOpen_->setText(QStringLiteral("Open ") + progTitle); }

void TrayIcon::sayOnce(bool& said, const QString& message) const {
  if (said || !log_) return;
  said = true;
  log_->LogActivity(message, LogLevel::Warning, false);
}

bool TrayIcon::isTrayAvailable() const {
  const bool available = available_();
  if (!available) {
    sayOnce(saidNoTray_, QStringLiteral("No notification area on this desktop: the window stays on the taskbar "
                                        "when minimised, and closing it ends the program"));
  }
  return available;
}

QIcon TrayIcon::windowIcon() const {
  QIcon icon = window_.windowIcon();
  if (icon.isNull()) icon = QApplication::windowIcon();
  if (icon.isNull()) icon = ImageList::GeneratedIcon(QString::fromLatin1(kProductTitle));
  return icon;
}

void TrayIcon::SendToTray(bool /*animate*/) {
  // Hiding the only window with nowhere to bring it back from would strand
  // the user; callers check first, this is the last guard.
  if (!isTrayAvailable()) return;
  // No drawn animation: the desktop's own effects apply to the hide.
  window_.hide();
  Enable_TrayIcon();
}

void TrayIcon::Enable_TrayIcon() {
  lastAvailable_ = available_();
  goneTicks_ = 0;
  tmrAniIcon_.stop();
  tmrSysTrayCrash_.start(kWatchMs);
  // The picture is set before the icon is added: the platform shows no
  // icon without one.
  picture_ = windowIcon();
  pictureTag_.clear();
  AddTrayIcon();
  ChangeTrayIcon(picture_);
  trayTipText_ = window_.windowTitle() + QStringLiteral("\r\n") + panels_.panelText(QStringLiteral("msg"));
  ChangeTrayTip(trayTipText_);
}

void TrayIcon::AddTrayIcon() {
  backend_->add(picture_, ShownTip(recordTip_));
  iconShown_ = true;
}

void TrayIcon::removeIcon() {
  backend_->remove();
  iconShown_ = false;
}

void TrayIcon::RemoveTrayIcon() {
  tmrAniIcon_.stop();
  tmrSysTrayCrash_.stop();
  removeIcon();
}

void TrayIcon::ChangeTrayTip(const QString& tip) {
  recordTip_ = tip;
  backend_->setTip(ShownTip(recordTip_));
}

void TrayIcon::ChangeTrayIcon(const QIcon& icon) {
  picture_ = icon;
  backend_->setIcon(icon);
}

void TrayIcon::startBlinking() {
  if (isInTray() && !tmrAniIcon_.isActive()) tmrAniIcon_.start();
}

void TrayIcon::tmrAniIcon_Timer() {
  if (!pictureTag_.isEmpty()) {
    pictureTag_.clear();
    picture_ = windowIcon();
  } else {
    pictureTag_ = QStringLiteral("X");
    picture_ = BlankIcon();
  }
  ChangeTrayIcon(picture_);
}

void TrayIcon::tmrSysTrayCrash_Timer() {
  const bool available = available_();
  if (available && !lastAvailable_) {
    // The notification area came back: it knows nothing of our icon.
    removeIcon();
    AddTrayIcon();
  }
  lastAvailable_ = available;

  goneTicks_ = available ? 0 : goneTicks_ + 1;
  if (goneTicks_ >= kTrayGoneTicks) {
    sayOnce(saidTrayGone_, QStringLiteral("The notification area has gone: the window is shown again so that it "
                                          "can still be reached"));
    GetFromTray();
  }
}

void TrayIcon::LeaveTray() {
  removeIcon();
  tmrAniIcon_.stop();
  tmrSysTrayCrash_.stop();
  goneTicks_ = 0;
}

void TrayIcon::GetFromTray() {
  host_.Clear_Popups();
  LeaveTray();
  if (window_.isMinimized()) {
    host_.setSkipTrayOnMinimise();
    window_.show();
    window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
  } else {
    window_.show();
  }
  window_.raise();
  window_.activateWindow();
}

void TrayIcon::trayActivated(QSystemTrayIcon::ActivationReason reason) {
  // Only the double click acts; the right-button menu is the platform's.
  if (reason == QSystemTrayIcon::DoubleClick) GetFromTray();
}

}  // namespace tw
