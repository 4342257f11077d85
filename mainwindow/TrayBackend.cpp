#include "mainwindow/TrayBackend.h"

#include <QMenu>
#include <QObject>

namespace tw {

SystemTrayBackend::SystemTrayBackend(QMenu* menu,
                                     std::function<void(QSystemTrayIcon::ActivationReason)> activated) {
  icon_.setContextMenu(menu);
  QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                   [activated = std::move(activated)](QSystemTrayIcon::ActivationReason reason) {
                     if (activated) activated(reason);
                   });
}

SystemTrayBackend::~SystemTrayBackend() { icon_.hide(); }

void SystemTrayBackend::add(const QIcon& icon, const QString& tip) {
  icon_.setIcon(icon);
  icon_.setToolTip(tip);
  icon_.show();
}

void SystemTrayBackend::setIcon(const QIcon& icon) { icon_.setIcon(icon); }
void SystemTrayBackend::setTip(const QString& tip) { icon_.setToolTip(tip); }
void SystemTrayBackend::remove() { icon_.hide(); }

}  // namespace tw
