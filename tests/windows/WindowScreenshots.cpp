// Takes the documentation's pictures of the popup alerts and the tray menu.
// Run under an X server of its own: scripts/window-screenshots.
#include "core/AppIdentity.h"
#include "core/StatusPanels.h"
#include "mainwindow/AlertHost.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/TrayHost.h"
#include "mainwindow/TrayIcon.h"
#include "tests/support/ScreenshotTools.h"
#include "widgets/ImageList.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QMap>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTime>
#include <QWidget>

namespace {

constexpr int kPanelHeight = 36;

// A plain desktop with a panel along the bottom and a notification area.
class Desktop : public QWidget {
 public:
  explicit Desktop(QIcon productIcon) : QWidget(nullptr, Qt::FramelessWindowHint), icon_(std::move(productIcon)) {}
  // Where the program's own tray icon is drawn.
  QRect trayIconRect() const { return QRect(width() - 110, height() - kPanelHeight + 10, 16, 16); }
  void setIconPressed(bool pressed) {
    pressed_ = pressed;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QLinearGradient sky(0, 0, width() * 0.3, height());
    sky.setColorAt(0, QColor(36, 72, 104));
    sky.setColorAt(1, QColor(98, 142, 168));
    p.fillRect(rect(), sky);

    const QRect panel(0, height() - kPanelHeight, width(), kPanelHeight);
    QLinearGradient shade(panel.topLeft(), panel.bottomLeft());
    shade.setColorAt(0, QColor(52, 56, 64));
    shade.setColorAt(1, QColor(30, 32, 38));
    p.fillRect(panel, shade);
    p.setPen(QColor(80, 86, 96));
    p.drawLine(panel.topLeft(), panel.topRight());

    p.setRenderHint(QPainter::Antialiasing);
    const QRect mine = trayIconRect();
    if (pressed_) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255, 50));
      p.drawRoundedRect(mine.adjusted(-5, -5, 5, 5), 4, 4);
    }
    icon_.paint(&p, mine);
    // Two neighbours in the notification area, and the clock.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 176, 186));
    p.drawEllipse(QRect(mine.left() - 30, mine.top() + 2, 12, 12));
    p.drawRoundedRect(QRect(mine.left() + 28, mine.top() + 2, 12, 12), 2, 2);
    p.setPen(QColor(226, 230, 236));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QRect(width() - 56, panel.top(), 50, kPanelHeight), Qt::AlignCenter, QStringLiteral("14:05"));
  }

 private:
  QIcon icon_;
  bool pressed_ = false;
};

class NoHost : public tw::AlertHost, public tw::TrayHost, public tw::StatusPanels {
 public:
  bool isMainWindowVisible() const override { return true; }
  void showMainWindowNormal() override {}
  void GetFromTray() override {}
  void Clear_Popups() override {}
  void setSkipTrayOnMinimise() override {}
  void setPanelText(const QString& key, const QString& text) override { panels_[key] = text; }
  QString panelText(const QString& key) const override { return panels_.value(key); }
  void setPanelImage(const QString&, const QString&) override {}
  void addPanel(const QString&, const QString&) override {}

 private:
  QMap<QString, QString> panels_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
  QDir().mkpath(outDir);
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect full = screen->geometry();

  tw::ImageList images;
  const QIcon productIcon = images.icon(QStringLiteral("Tidewire"));
  Desktop desktop(productIcon);
  desktop.setGeometry(full);
  desktop.show();

  tw::AppIdentity identity;
  identity.ProgTitle = QStringLiteral("Tidewire");
  identity.VersionText = tw::BuildVersionText(1, 0, 311);
  NoHost host;
  tw::AlertManager alerts(identity, &host);
  alerts.setWindowIcon(productIcon);
  alerts.setScreenArea([full] { return full.adjusted(0, 0, 0, -kPanelHeight); });

  tw::test::Settle(200);
  alerts.ShowAlert(QStringLiteral("Xbox Scene News\nhas 3 new items."), QString(), 0, true);
  tw::test::Settle(150);
  alerts.ShowAlert(QStringLiteral("Skins: Dashboards\nhas failed to download\n5 times in succession.\n"
                                  "Please check the feed!"),
                   QStringLiteral("Error encountered..."), 0, false);
  tw::test::Settle(150);
  alerts.ShowAlert(QStringLiteral("Tidewire v1.1 build 0400 is available for download"),
                   QStringLiteral("Update available..."), 0, false);
  tw::test::Settle(900);

  const int shotW = 420;
  const int shotH = 3 * (tw::frmAlert::kTitleHeight + tw::frmAlert::kBodyHeight) + kPanelHeight + 60;
  const QRect alertShot(full.right() + 1 - shotW, full.bottom() + 1 - shotH, shotW, shotH);
  bool ok = tw::test::SavePicture(screen->grabWindow(0, alertShot.x(), alertShot.y(), alertShot.width(), alertShot.height()),
                 outDir + QStringLiteral("/alerts.png"));

  alerts.Clear_Popups();
  QWidget mainWindow;
  mainWindow.setWindowTitle(QStringLiteral("Tidewire"));
  tw::TrayIcon tray(mainWindow, host, host);
  desktop.setIconPressed(true);
  QMenu* menu = tray.mnuTrayPopup();
  const QSize menuSize = menu->sizeHint();
  const QRect icon = desktop.trayIconRect();
  menu->popup(QPoint(icon.center().x() - menuSize.width() / 2, full.bottom() - kPanelHeight - menuSize.height()));
  tw::test::Settle(400);
  const int menuShotH = menuSize.height() + kPanelHeight + 40;
  const QRect menuShot(full.right() + 1 - 320, full.bottom() + 1 - menuShotH, 320, menuShotH);
  ok = tw::test::SavePicture(screen->grabWindow(0, menuShot.x(), menuShot.y(), menuShot.width(), menuShot.height()),
            outDir + QStringLiteral("/tray-menu.png")) && ok;
  menu->hide();
  return ok ? 0 : 1;
}
