#pragma once

#include <QString>

#include <functional>

namespace tw {

struct AppCore;
class BuiltInPages;
class FeedChecker;
class MainWindowPort;
class RegistryStore;
class SiteTitleRefresher;
class StatusPanels;
class TrayControl;

// Why the main window is asked to close.
enum class CloseReason { UserClose, ProgramExit, SessionEnd, TaskManager };

// The start-up and shutdown sequences, run against the core and the window.
class Startup {
 public:
  Startup(AppCore& core, MainWindowPort& window, StatusPanels& panels, TrayControl& tray);

  void setTitleRefresher(SiteTitleRefresher* refresher) { refresher_ = refresher; }
  void setFeedChecker(FeedChecker* checker) { checker_ = checker; }
  void setBuiltInPages(BuiltInPages* pages) { pages_ = pages; }
  void setLoginNameSource(std::function<QString()> source) { loginName_ = std::move(source); }
  QString LoginName() const { return loginName_(); }

  // The whole start-up, from the minimum-size hook to the About page. With
  // the settings store locked by another program it shows the window and
  // runs again once the store opens.
  void Run();
  // Identity, version text, settings mode, timer base.
  void InitSettings();
  // Reads "Multi User" from the machine store and picks the settings hive,
  // the "user" panel and the settings root key to match.
  void ChooseSettingsHive();
  void RefreshAllSiteTitles(bool announce);
  // True when the close must be cancelled (the window went to the tray).
  bool QueryUnload(CloseReason reason);
  // Saves placement and splitter position, removes the tray icon and
  // unloads the windows. Items are saved as they change, never here.
  void Shutdown();
  // Shutdown in two steps, so the program can wait between them for a store
  // another program holds: the placement, then the rest.
  void SaveWindowState();
  void Unload();

 private:
  // The store start-up must wait for, if another program holds it locked.
  RegistryStore* LockedSettingsStore();

  AppCore& core_;
  MainWindowPort& window_;
  StatusPanels& panels_;
  TrayControl& tray_;
  SiteTitleRefresher* refresher_ = nullptr;
  FeedChecker* checker_ = nullptr;
  BuiltInPages* pages_ = nullptr;
  std::function<QString()> loginName_;
};

}  // namespace tw
