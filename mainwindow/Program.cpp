#include "mainwindow/Program.h"

#include "core/AppPaths.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TitleStripPanel.h"
#include "mainwindow/TrayIcon.h"
#include "options/frmOptions.h"
#if TIDEWIRE_WEB_ENGINE
#include "web/EngineModule.h"
#endif

#include <QCoreApplication>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tw {
namespace {

// A fetch that takes longer shows its "Downloading" line while it runs.
constexpr int kFeedRepaintHoldMs = 100;

}  // namespace

Program::Program(const AppPaths& paths, const Clock& clock)
    : core_(paths, clock, FeedEndpoints::FromEnvironment(&endpointProblem_)),
      window_(core_),
      startup_(core_, window_, window_.statusPanels(), window_.tray()),
      exitWait_(core_.registry, window_),
      titles_(core_, window_.alerts(), window_.tray(), window_),
      items_(core_, titles_, core_.debugLog),
      parser_(core_, items_, core_.debugLog),
      pages_(core_, web_, window_.titleStrip()),
      downloadErrors_(&window_),
      pBarDL_(window_.pBarDL()),
      downloads_(core_, &downloadErrors_),
      autostart_(core_.registry, core_.identity, paths, QCoreApplication::applicationFilePath(), core_.activity),
      options_(core_, startup_, window_, autostart_),
      feedRepaints_(&window_, kFeedRepaintHoldMs) {
  if (!endpointProblem_.isEmpty()) core_.activity.LogActivity(endpointProblem_, LogLevel::Warning, false);
  window_.setCommands(this);
  window_.setWebView(&web_, nullptr);
#if TIDEWIRE_WEB_ENGINE
  // The display settings say which view, before the first page is shown; the
  // web engine's libraries are loaded only if its view is chosen.
  QObject::connect(&window_, &frmMain::pageViewChosen, &window_, [this](bool light) { UsePageView(light); });
#else
  UsePageView(true);
#endif
  QObject::connect(&web_, &WebView::desktopOpenFailed, &window_, [this](const QString& address) {
    core_.activity.LogActivity(QStringLiteral("Could not open ") + address +
                                   QStringLiteral(": no web browser or mail program is set up on this desktop"),
                               LogLevel::Error, true);
  });

  core_.catalogue.setItemLoader(&items_);
  pages_.setTitleRefresher(&titles_);
  startup_.setTitleRefresher(&titles_);
  startup_.setBuiltInPages(&pages_);

  downloads_.connectWindow(&window_, &window_.tray(), &window_.alerts(), &window_.statusPanels(), &pBarDL_);
  downloads_.fetch.setFeedParsing(&parser_);
  startup_.setFeedChecker(&downloads_.fetch);
  // The transfer ends after the fetch cycle has read and stored the feed.
  QObject::connect(&downloads_.fetch, &FetchCycle::siteDownloadStarting, &feedRepaints_, &RepaintHold::hold);
  QObject::connect(&downloads_.DL, &bkDLControl::transferEnded, &feedRepaints_, &RepaintHold::release);
  // A check frees what its feeds, items and alerts took mostly below the top
  // of the heap, where the allocator would keep it for as long as the
  // program sits in the tray.
#if defined(__GLIBC__)
  QObject::connect(&downloads_.fetch, &FetchCycle::queueDrained, &window_, [] { malloc_trim(0); });
#endif
  // The options dialog goes with the main window, saving nothing.
  QObject::connect(&window_, &frmMain::unloaded, &window_, [this] {
    if (frmOptions_) frmOptions_->close();
  });
}

// The dialog holds on to the options and the image list.
Program::~Program() { delete frmOptions_; }

#if TIDEWIRE_WEB_ENGINE
bool Program::MakeEngineView() {
  if (engineUnavailable_) return false;
  QString problem;
  engineWeb_ = EngineModule::MakeView(core_.programFolder.AppFolder(), &problem);
  if (!engineWeb_) {
    engineUnavailable_ = true;
    core_.activity.LogActivity(QStringLiteral("The web engine's page view could not be loaded (") + problem +
                                   QStringLiteral("); pages show in the light page view"),
                               LogLevel::Error, true);
    return false;
  }
  QObject::connect(engineWeb_.get(), &EnginePageView::viewWidgetChanged, &window_, [this](QWidget* view) {
    if (web_.inUse() == engineWeb_.get()) window_.placeWebWidget(view);
  });
  webLifetime_ = std::make_unique<WebEngineLifetime>(window_, window_.tray(), *engineWeb_);
  if (started_) webLifetime_->started();
  return true;
}
#endif

void Program::UsePageView(bool light) {
#if TIDEWIRE_WEB_ENGINE
  if (!light && !engineWeb_ && !MakeEngineView()) light = true;
#endif
  if (light && !lightWeb_) {
    lightWeb_ = std::make_unique<LightWebView>(core_.programFolder.AppFolder());
  }
#if TIDEWIRE_WEB_ENGINE
  WebView* chosen = light ? static_cast<WebView*>(lightWeb_.get()) : engineWeb_.get();
#else
  WebView* chosen = lightWeb_.get();
#endif
  if (web_.inUse() == chosen) return;
  const bool replacing = web_.inUse() != nullptr;
  web_.Use(chosen);
#if TIDEWIRE_WEB_ENGINE
  // The window lets go of the other view's widget before that goes.
  window_.placeWebWidget(light ? static_cast<QWidget*>(lightWeb_->widget()) : engineWeb_->viewWidget());
  if (!light && lightWeb_) {
    delete lightWeb_->widget();
    lightWeb_.reset();
  }
  // The engine is built only for its own view and goes with it.
  if (webLifetime_) webLifetime_->setInUse(!light);
#else
  window_.placeWebWidget(lightWeb_->widget());
#endif
  // The page the other view showed went with it. (At start-up the first
  // page comes next anyway.)
  if (replacing && started_) pages_.WriteAboutPage();
}

void Program::Start() {
  startup_.Run();
#if TIDEWIRE_WEB_ENGINE
  if (webLifetime_) webLifetime_->started();
#endif
  started_ = true;
}

void Program::BringForward() {
  if (window_.tray().isInTray()) {
    window_.GetFromTray();
  } else {
    window_.showMainWindowNormal();
  }
}

void Program::updateNewsLists() { downloads_.fetch.QueueAllFeeds(); }
frmOptions* Program::optionsDialog() const { return frmOptions_.data(); }

// Opened again, the dialog only comes forward.
void Program::showSettings() {
  if (!frmOptions_) {
    frmOptions_ = new frmOptions(options_, window_.imgList(), window_.windowIcon());
    // A closed dialog is on its way out: the next request builds a new one.
    QObject::connect(frmOptions_, &frmOptions::unloaded, &window_, [this] { frmOptions_.clear(); });
  }
  frmOptions_->show();
  frmOptions_->raise();
  frmOptions_->activateWindow();
}

void Program::showHelpPage() {
  pages_.WriteHelpPage();
  web_.SetFocus();
}

void Program::showAboutPage() { pages_.WriteAboutPage(); }
void Program::showDonationsPage() { pages_.WriteDonationsPage(); }
void Program::setReadStatus(bool markRead) {
  // Marking a whole site reaches the tree view as one change.
  const SiteTree::Batch batch(core_.tv);
  items_.SetReadStatus(markRead);
}
void Program::showSite(int site) { pages_.ShowSite(site); }
void Program::showItem(int site, const QString& itemKey) { pages_.ShowItem(site, itemKey); }

// Changes another program's lock keeps from the store are waited for,
// unless the program cannot wait; whatever still waits when the window goes
// is kept beside its store for the next start.
void Program::shutdown() {
  if (exitWait_.isWaiting()) {
    if (window_.exitingAtOnce()) {
      exitWait_.quitNow();
    } else {
      exitWait_.raise();
    }
    return;
  }
  startup_.SaveWindowState();
  const auto unload = [this] {
    core_.registry.KeepUnsavedChanges();
    startup_.Unload();
  };
  if (window_.exitingAtOnce() || core_.registry.UnsavedChanges() == 0) {
    unload();
    return;
  }
  exitWait_.start(unload, [this] { window_.exitCancelled(); });
}

bool Program::queryClose() { return startup_.QueryUnload(CloseReason::UserClose); }

}  // namespace tw
