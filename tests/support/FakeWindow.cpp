#include "FakeWindow.h"

#include "core/AppIdentity.h"
#include "core/Settings.h"

namespace tw::test {

void FakeWindow::setCaption(const QString& caption) {
  windowCaption = caption;
  calls << QStringLiteral("setCaption ") + caption;
}

void FakeWindow::applyProductIdentity(const QString& progTitle) {
  calls << QStringLiteral("applyProductIdentity ") + progTitle;
}

void FakeWindow::applyDisplaySettings(const Settings& settings, const AppIdentity& identity) {
  activityListShown = settings.flag(setting::ShowActivityLog);
  panelTexts[QStringLiteral("ver")] = identity.VersionText;
  calls << QStringLiteral("applyDisplaySettings");
}

void FakeWindow::showStrips(const Settings& settings) {
  activityListShown = settings.flag(setting::ShowActivityLog);
  calls << QStringLiteral("showStrips");
}

void FakeWindow::showMinimized() {
  minimized = true;
  state = WindowState::Minimized;
  calls << QStringLiteral("showMinimized");
}

void FakeWindow::showPlaced(bool show) {
  if (show) visible = true;
  calls << QStringLiteral("showPlaced %1").arg(show);
}

void FakeWindow::setSplitterPosition(int twips) {
  splitter = twips;
  calls << QStringLiteral("setSplitterPosition %1").arg(twips);
}

void FakeWindow::addPanel(const QString& key, const QString& text) {
  panelTexts[key] = text;
  calls << QStringLiteral("addPanel ") + key;
}

void FakeWindow::SendToTray(bool animate) {
  inTray = true;
  visible = false;
  calls << QStringLiteral("SendToTray %1").arg(animate);
}

void FakeWindow::RemoveTrayIcon() {
  inTray = false;
  calls << QStringLiteral("RemoveTrayIcon");
}

void FakeWindow::setTopmost(bool topmost, int l, int t, int width, int height) {
  calls << QStringLiteral("setTopmost %1 %2 %3 %4 %5").arg(topmost).arg(l).arg(t).arg(width).arg(height);
}

}  // namespace tw::test
