#include "mainwindow/AlertManager.h"

#include "core/AppIdentity.h"
#include "mainwindow/AlertHost.h"
#include "news/DisplayText.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>

namespace tw {
namespace {

QRect PrimaryAvailableArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

AlertManager::AlertManager(const AppIdentity& identity, AlertHost* host, QObject* parent)
    : QObject(parent), identity_(identity), host_(host), screenArea_(&PrimaryAvailableArea) {}

AlertManager::~AlertManager() {
  // Alerts are top-level windows of their own; they go with their manager.
  for (const QPointer<frmAlert>& alert : alerts_) delete alert.data();
}

void AlertManager::setScreenArea(std::function<QRect()> area) {
  screenArea_ = area ? std::move(area) : std::function<QRect()>(&PrimaryAvailableArea);
}

QList<frmAlert*> AlertManager::openAlerts() const {
  QList<frmAlert*> open;
  for (const QPointer<frmAlert>& alert : alerts_) {
    if (alert && alert->phase() != frmAlert::Phase::Closed) open << alert.data();
  }
  return open;
}

void AlertManager::ShowAlert(const QString& message, const QString& title, int seconds, bool restore) {
  // Without a screen there is nowhere to show it; the program goes on.
  if (screenArea_().isEmpty()) return;
  alerts_.removeIf([](const QPointer<frmAlert>& a) { return !a || a->phase() == frmAlert::Phase::Closed; });

  if (slots_.isFull() && !alerts_.isEmpty()) alerts_.first()->Unload();

  auto* alert = new frmAlert(slots_, screenArea_, slide_);
  alert->setWindowIcon(icon_);
  connect(alert, &frmAlert::restoreRequested, this, &AlertManager::restoreFromAlert);
  alerts_.append(alert);

  const QString shownTitle =
      title.isEmpty() ? identity_.ProgTitle + QLatin1Char(' ') + identity_.VersionText : DisplayText(title);
  const qint64 ms = static_cast<qint64>(seconds) * 1000;
  alert->Display(DisplayText(message), shownTitle, static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX)), restore);
}

void AlertManager::Clear_Popups() {
  const QList<frmAlert*> open = openAlerts();
  for (frmAlert* alert : open) alert->Unload();
}

void AlertManager::restoreFromAlert() {
  if (host_) {
    if (host_->isMainWindowVisible()) {
      host_->showMainWindowNormal();
    } else {
      host_->GetFromTray();
    }
  }
  Clear_Popups();
}

}  // namespace tw
