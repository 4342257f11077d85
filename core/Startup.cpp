#include "Startup.h"

#include "AppCore.h"
#include "BuildFlags.h"
#include "EngineHooks.h"
#include "Placement.h"
#include "StatusPanels.h"
#include "WindowPorts.h"

#include <QDir>

namespace tw {
namespace {
constexpr int kMinimumWidthPx = 640;
constexpr int kMinimumHeightPx = 480;
const QString kUserPanel = QStringLiteral("user");
}  // namespace

Startup::Startup(AppCore& core, MainWindowPort& window, StatusPanels& panels, TrayControl& tray)
    : core_(core), window_(window), panels_(panels), tray_(tray), loginName_(&GetLoginName) {
  core_.activity.setStatusPanels(&panels_);
  core_.checkTimer.setPorts(&panels_, &tray_, &window_);
}

void Startup::InitSettings() {
  AppIdentity& id = core_.identity;
  id.ProgTitle = QString::fromLatin1(kProductTitle);
  id.ConsoleName = QString::fromLatin1(kConsoleName);
  id.VersionFileUrl = core_.endpoints.VersionFileUrl();
  window_.applyProductIdentity(id.ProgTitle);

  id.VersionText = BuildVersionText(id.VersionMajor, id.VersionMinor, id.VersionRevision);
  id.SettingsRoot = QStringLiteral("Software\\") + id.ProgTitle;
  ChooseSettingsHive();
  // Downloads and page files land in the program folder.
  QDir().mkpath(core_.programFolder.AppFolder());

  window_.setCaption(id.ProgTitle);
  core_.checkTimer.setTickInterval(DebugBuild ? CheckTimer::kDebugTickMs : CheckTimer::kReleaseTickMs);
  id.AlertDisplayTime = DebugBuild ? 0 : 20;
}

void Startup::ChooseSettingsHive() {
  AppIdentity& id = core_.identity;
  if (core_.settings.multiUser()) {
    id.SettingsHive = Hive::CurrentUser;
    panels_.setPanelImage(kUserPanel, QStringLiteral("multi_user"));
    panels_.setPanelText(kUserPanel, QStringLiteral("Multi user settings (") + LoginName() + QStringLiteral(")  "));
  } else {
    id.SettingsHive = Hive::LocalMachine;
    panels_.setPanelImage(kUserPanel, QStringLiteral("single_user"));
    panels_.setPanelText(kUserPanel, QStringLiteral("Single user settings  "));
  }
  core_.registry.CreateRegKey(id.SettingsHive, id.SettingsRoot);
}

void Startup::RefreshAllSiteTitles(bool announce) {
  if (!refresher_) return;
  for (int site = 1; site <= core_.sites.LastIndex(); ++site) refresher_->RefreshSiteTitle(site, announce);
}

RegistryStore* Startup::LockedSettingsStore() {
  RegistryStore& machine = core_.registry.store(Hive::LocalMachine);
  if (machine.isWaitingToOpen()) return &machine;
  RegistryStore& settings = core_.registry.store(core_.identity.SettingsHive);
  return settings.isWaitingToOpen() ? &settings : nullptr;
}

void Startup::Run() {
  Settings& settings = core_.settings;
  window_.installMinimumSizeHook();
  InitSettings();
  // Everything below follows the settings. While another program holds the
  // store locked, the window shows with the activity line that says so, and
  // start-up begins again as soon as the store opens.
  if (RegistryStore* locked = LockedSettingsStore()) {
    RestoreFormSize(settings, window_.placement(), kMinimumWidthPx, kMinimumHeightPx);
    RestoreFormPosition(settings, window_.placement());
    window_.showPlaced(true);
    locked->whenReady([this] { Run(); });
    return;
  }
  BuildCatalogue(core_.sites, core_.identity.ProgTitle, core_.endpoints);
  window_.applyDisplaySettings(settings, core_.identity);
  core_.catalogue.ApplySiteSettings();

  const QStringList roots = core_.tv.rootKeysInDisplayOrder();
  if (!roots.isEmpty()) {
    core_.tv.select(roots.first());
    core_.tv.setExpanded(roots.first(), false);
  }

  bool startMinimised = false;
  if (settings.flag(setting::AutoMinimise)) {
    if (settings.flag(setting::CloseToTray) && tray_.isTrayAvailable()) {
      tray_.SendToTray(false);
    } else {
      startMinimised = true;  // once it has its place, below
    }
  }
  if (settings.flag(setting::CheckAtStartup) && checker_) checker_->QueueAllFeeds();
  RefreshAllSiteTitles(true);
  core_.checkTimer.StartCheckTimer();

  if (DebugBuild) {
    panels_.addPanel(QStringLiteral("sys"), QStringLiteral("DEBUG active - ") +
                                                (LocalFilesDebug ? QStringLiteral("Loading local files - ") : QString()));
  }
  core_.activity.LogActivity(QStringLiteral("Starting ") + core_.identity.ProgTitle + u' ' + core_.identity.VersionText,
                             LogLevel::Info, false);

  // The window has its remembered place before it is first shown, so it
  // never shows anywhere else; the remembered maximised state and the
  // minimised start come after, so the normal bounds they go back to are
  // the remembered ones.
  RestoreFormSize(settings, window_.placement(), kMinimumWidthPx, kMinimumHeightPx);
  RestoreFormPosition(settings, window_.placement());
  RestoreFormState(settings, window_.placement());
  if (startMinimised) window_.showMinimized();
  window_.showPlaced(!tray_.isInTray());
  window_.setSplitterPosition(settings.number(setting::SplitterPosition));
  if (pages_) pages_->WriteAboutPage();

  if (window_.isVisible()) window_.focusTree();
  const QStringList shown = core_.tv.rootKeysInDisplayOrder();
  if (!shown.isEmpty()) core_.tv.select(shown.first());
}

bool Startup::QueryUnload(CloseReason reason) {
  // Without a notification area, hiding the only window would leave the user
  // nothing to bring it back with: the close then goes ahead.
  if (reason == CloseReason::UserClose && core_.settings.flag(setting::CloseToTray) && tray_.isTrayAvailable()) {
    tray_.SendToTray(true);
    return true;
  }
  return false;
}

void Startup::Shutdown() {
  SaveWindowState();
  Unload();
}

void Startup::SaveWindowState() {
  SaveFormPosition(core_.settings, window_.placement());
  SaveFormSize(core_.settings, window_.placement());
  core_.settings.setNumber(setting::SplitterPosition, window_.splitterPosition());
}

void Startup::Unload() {
  window_.removeMinimumSizeHook();
  tray_.RemoveTrayIcon();
  window_.unloadWindows();
}

}  // namespace tw
