#pragma once

#include "core/ActivityLog.h"
#include "core/StatusPanels.h"
#include "core/WindowGeometry.h"
#include "core/WindowPorts.h"

#include <QMap>
#include <QStringList>

namespace tw::test {

// A stand-in for the main window, its status bar and its tray icon that
// records what the engine asks of it, in order.
class FakeWindow : public MainWindowPort,
                   public StatusPanels,
                   public TrayControl,
                   public AlertSink,
                   public WindowGeometry,
                   public ActivityListVisibility {
 public:
  // Everything asked of the window, e.g. "setCaption Tidewire".
  QStringList calls;
  struct Alert {
    QString message, title;
    int seconds;
    bool restore;
  };
  QVector<Alert> alerts;

  QMap<QString, QString> panelTexts;
  QMap<QString, QString> panelImages;
  QString windowCaption;
  QString trayTip;
  bool visible = false;
  bool minimized = false;
  bool trayAvailable = true;
  bool inTray = false;
  bool blinking = false;
  bool activityListShown = false;
  int splitter = 0;

  // Geometry in twips; a 1920 x 1080 screen at 15 twips a pixel, no frame
  // unless a test sets one.
  WindowState state = WindowState::Normal;
  double x = 0, y = 0, w = 0, h = 0;
  QRectF screen{0, 0, 1920 * 15.0, 1080 * 15.0};
  QMarginsF frame;
  double tppX = 15, tppY = 15;
  bool positioned = true;  // false: a Wayland window
  bool movable = true;     // false: placed once by the desktop (XWayland)
  QPointF shownBelow;      // how far from its place the desktop framed it

  // MainWindowPort
  QString caption() const override { return windowCaption; }
  void setCaption(const QString& caption) override;
  bool isVisible() const override { return visible; }
  bool isMinimized() const override { return minimized; }
  void installMinimumSizeHook() override { calls << QStringLiteral("installMinimumSizeHook"); }
  void removeMinimumSizeHook() override { calls << QStringLiteral("removeMinimumSizeHook"); }
  void applyProductIdentity(const QString& progTitle) override;
  void applyDisplaySettings(const Settings& settings, const AppIdentity& identity) override;
  void showStrips(const Settings& settings) override;
  void showMinimized() override;
  void showPlaced(bool show) override;
  WindowGeometry& placement() override { return *this; }
  void setSplitterPosition(int twips) override;
  int splitterPosition() const override { return splitter; }
  void focusTree() override { calls << QStringLiteral("focusTree"); }
  void unloadWindows() override { calls << QStringLiteral("unloadWindows"); }

  // StatusPanels
  void setPanelText(const QString& key, const QString& text) override { panelTexts[key] = text; }
  QString panelText(const QString& key) const override { return panelTexts.value(key); }
  void setPanelImage(const QString& key, const QString& imageKey) override { panelImages[key] = imageKey; }
  void addPanel(const QString& key, const QString& text) override;

  // TrayControl
  bool isTrayAvailable() const override { return trayAvailable; }
  bool isInTray() const override { return inTray; }
  void startBlinking() override { blinking = true; }
  void ChangeTrayTip(const QString& tip) override { trayTip = tip; }
  void SendToTray(bool animate) override;
  void RemoveTrayIcon() override;

  // AlertSink
  void ShowAlert(const QString& message, const QString& title, int seconds, bool restore) override {
    alerts.append({message, title, seconds, restore});
  }

  // WindowGeometry
  QString formName() const override { return QStringLiteral("frmMain"); }
  WindowState windowState() const override { return state; }
  void setWindowState(WindowState s) override { state = s; }
  double left() const override { return x; }
  double top() const override { return y; }
  double width() const override { return w; }
  double height() const override { return h; }
  void move(double l, double t) override {
    x = l;
    y = t;
  }
  void resize(double width, double height) override {
    w = width;
    h = height;
  }
  bool hasPosition() const override { return positioned; }
  bool followsMoves() const override { return movable; }
  QPointF shownTopLeft() const override { return QPointF(x, y) + shownBelow; }
  QRectF screenArea(const QRectF&) const override { return screen; }
  QMarginsF frameMargins() const override { return frame; }
  double twipsPerPixelX() const override { return tppX; }
  double twipsPerPixelY() const override { return tppY; }
  void setTopmost(bool topmost, int l, int t, int width, int height) override;

  // ActivityListVisibility
  bool isActivityListShown() const override { return activityListShown; }
};

}  // namespace tw::test
