// Wires the engine to its window. Until the main window lands, the program
// runs its start-up against a console stand-in that prints the activity list.
#include "core/AppCore.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/SingleInstance.h"
#include "core/StatusPanels.h"
#include "core/Startup.h"
#include "core/WindowGeometry.h"
#include "core/WindowPorts.h"
#include "download/NetworkReader.h"
#include "download/bkDLControl.h"
#include "news/FetchCycle.h"
#include "news/UpdateCheck.h"

#include <QCoreApplication>
#include <QMap>

#include <cstdio>

namespace {

class ConsoleWindow : public tw::MainWindowPort, public tw::StatusPanels, public tw::TrayControl,
                      public tw::WindowGeometry, public tw::AlertSink {
 public:
  QString caption() const override { return caption_; }
  void setCaption(const QString& caption) override { caption_ = caption; }
  bool isVisible() const override { return true; }
  bool isMinimized() const override { return false; }
  void installMinimumSizeHook() override {}
  void removeMinimumSizeHook() override {}
  void applyProductIdentity(const QString&) override {}
  void applyDisplaySettings(const tw::Settings&, const tw::AppIdentity&) override {}
  void showMinimized() override {}
  void showOffScreen(bool) override {}
  tw::WindowGeometry& geometry() override { return *this; }
  void setSplitterPosition(int) override {}
  int splitterPosition() const override { return 0; }
  void focusTree() override {}
  void unloadWindows() override {}
  void setPanelText(const QString& key, const QString& text) override { panels_[key] = text; }
  QString panelText(const QString& key) const override { return panels_.value(key); }
  void setPanelImage(const QString&, const QString&) override {}
  void addPanel(const QString& key, const QString& text) override { panels_[key] = text; }
  bool isTrayAvailable() const override { return false; }
  bool isInTray() const override { return false; }
  void startBlinking() override {}
  void ChangeTrayTip(const QString&) override {}
  void SendToTray(bool) override {}
  void RemoveTrayIcon() override {}
  QString formName() const override { return QStringLiteral("frmMain"); }
  tw::WindowState windowState() const override { return tw::WindowState::Normal; }
  void setWindowState(tw::WindowState) override {}
  double left() const override { return 0; }
  double top() const override { return 0; }
  double width() const override { return 9600; }
  double height() const override { return 7200; }
  void move(double, double) override {}
  void resize(double, double) override {}
  double screenWidth() const override { return 28800; }
  double screenHeight() const override { return 16200; }
  double twipsPerPixelX() const override { return 15; }
  double twipsPerPixelY() const override { return 15; }
  void setTopmost(bool, int, int, int, int) override {}
  void ShowAlert(const QString& message, const QString& title, int, bool) override {
    std::printf("[%s] %s\n", qPrintable(title), qPrintable(QString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" / "))));
    std::fflush(stdout);
  }

 private:
  QString caption_;
  QMap<QString, QString> panels_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const tw::AppPaths paths = tw::AppPaths::FromEnvironment();

  tw::SingleInstance instance(paths.runtimeFolder);
  if (!instance.tryBecomeRunningCopy()) {
    instance.ActivatePreviousInstance();
    return 0;
  }

  tw::Clock clock;
  QString endpointProblem;
  tw::AppCore core(paths, clock, tw::FeedEndpoints::FromEnvironment(&endpointProblem));
  QObject::connect(&core.activity, &tw::ActivityLog::lineAdded, [](const tw::ActivityLine& line) {
    std::printf("%s\n", qPrintable(line.text));
    std::fflush(stdout);
  });
  if (!endpointProblem.isEmpty()) core.activity.LogActivity(endpointProblem, tw::LogLevel::Warning, false);

  ConsoleWindow window;
  tw::Startup startup(core, window, window, window);

  // The feed downloads: DL for the feeds, dlSys for the version file.
  tw::bkDLControl DL(new tw::NetworkReader);
  tw::bkDLControl dlSys(new tw::NetworkReader);
  tw::UpdateCheck update(core, dlSys);
  update.setAlertSink(&window);
  tw::FetchCycle fetch(core, DL, dlSys, update);
  fetch.setPorts(&window, &window, &window, &window, nullptr);
  core.checkTimer.setFeedChecker(&fetch);
  startup.setFeedChecker(&fetch);

  startup.Run();
  return app.exec();
}
