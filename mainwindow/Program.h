#pragma once

#include "core/AppCore.h"
#include "core/Autostart.h"
#include "core/OptionSettings.h"
#include "core/Startup.h"
#include "mainwindow/UnsavedChangesWait.h"
#include "mainwindow/frmMain.h"
#include "news/FeedDownloads.h"
#include "news/FeedParser.h"
#include "news/ItemStore.h"
#include "news/PageRenderer.h"
#include "news/SiteTitles.h"
#include "widgets/DownloadErrorBox.h"
#include "widgets/DownloadProgressView.h"
#include "widgets/RepaintHold.h"
#include "web/LightWebView.h"
#include "web/PageViewSwitch.h"
#if TIDEWIRE_WEB_ENGINE
#include "mainwindow/WebEngineLifetime.h"
#include "web/EnginePageView.h"
#endif

#include <QPointer>

#include <memory>

namespace tw {

class Clock;
class frmOptions;
struct AppPaths;

// The whole program for one run: the engine's parts, the main window, and
// the commands that connect the window's menus to the engine.
class Program : public MainWindowCommands {
 public:
  Program(const AppPaths& paths, const Clock& clock);
  ~Program() override;

  // Runs the start-up sequence; the window shows itself.
  void Start();
  // A later copy of the program asked this one to come forward.
  void BringForward();

  AppCore& core() { return core_; }
  frmMain& window() { return window_; }
  FeedDownloads& downloads() { return downloads_; }
  // The page view in use, as the engine sees it.
  WebView& web() { return web_; }
#if TIDEWIRE_WEB_ENGINE
  // The web engine's page view and its lifetime, once that view was used;
  // null if its module could not be loaded.
  EnginePageView* engineWeb() const { return engineWeb_.get(); }
  WebEngineLifetime* webLifetime() const { return webLifetime_.get(); }
#endif
  // The light page view; null while the web engine's is the one in use.
  LightWebView* lightWeb() const { return lightWeb_.get(); }
  OptionSettings& options() { return options_; }
  // The options dialog while it is open.
  frmOptions* optionsDialog() const;
  UnsavedChangesWait& exitWait() { return exitWait_; }

  // MainWindowCommands
  void updateNewsLists() override;
  void showSettings() override;
  void showHelpPage() override;
  void showAboutPage() override;
  void showDonationsPage() override;
  void setReadStatus(bool markRead) override;
  void showSite(int site) override;
  void showItem(int site, const QString& itemKey) override;
  void shutdown() override;
  bool queryClose() override;

 private:
  // Puts the chosen page view in the window and hands it the page; the
  // other one is let go.
  void UsePageView(bool light);
#if TIDEWIRE_WEB_ENGINE
  // Loads the web engine's view; false (told once) when it cannot be.
  bool MakeEngineView();
  bool engineUnavailable_ = false;
#endif

  bool started_ = false;
  // Why TIDEWIRE_FEED_BASE was not used, if it was set and not usable.
  QString endpointProblem_;
  AppCore core_;
  frmMain window_;
  Startup startup_;
  UnsavedChangesWait exitWait_;
  SiteTitles titles_;
  ItemStore items_;
  FeedParser parser_;
#if TIDEWIRE_WEB_ENGINE
  std::unique_ptr<EnginePageView> engineWeb_;
#endif
  std::unique_ptr<LightWebView> lightWeb_;
  PageViewSwitch web_;
  PageRenderer pages_;
  DownloadErrorBox downloadErrors_;
  DownloadProgressView pBarDL_;
  FeedDownloads downloads_;
  Autostart autostart_;
  OptionSettings options_;
  QPointer<frmOptions> frmOptions_;
#if TIDEWIRE_WEB_ENGINE
  std::unique_ptr<WebEngineLifetime> webLifetime_;
#endif
  // One paint of the window per feed fetched.
  RepaintHold feedRepaints_;
};

}  // namespace tw
