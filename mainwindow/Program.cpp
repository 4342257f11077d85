#include "mainwindow/Program.h"

#include "core/AppPaths.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TitleStripPanel.h"
#include "mainwindow/TrayIcon.h"

namespace tw {

Program::Program(const AppPaths& paths, const Clock& clock)
    : core_(paths, clock, FeedEndpoints::FromEnvironment(&endpointProblem_)),
      window_(core_),
      startup_(core_, window_, window_.statusPanels(), window_.tray()),
      titles_(core_, window_.alerts(), window_.tray(), window_),
      items_(core_, titles_, core_.debugLog),
      parser_(core_, items_, core_.debugLog),
      web_(core_.programFolder.AppFolder()),
      pages_(core_, web_, window_.titleStrip()),
      downloadErrors_(&window_),
      pBarDL_(window_.pBarDL()),
      downloads_(core_, &downloadErrors_) {
  if (!endpointProblem_.isEmpty()) core_.activity.LogActivity(endpointProblem_, LogLevel::Warning, false);
  window_.setCommands(this);
  window_.setWebView(&web_, web_.view());
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
}

Program::~Program() = default;

void Program::Start() { startup_.Run(); }

void Program::BringForward() {
  if (window_.tray().isInTray()) {
    window_.GetFromTray();
  } else {
    window_.showMainWindowNormal();
  }
}

void Program::updateNewsLists() { downloads_.fetch.QueueAllFeeds(); }
// The options dialog is not part of this version: say where the settings
// live rather than doing nothing.
void Program::showSettings() {
  core_.activity.LogActivity(QStringLiteral("There is no options dialog in this version; the settings are kept in ") +
                                 core_.registry.store(core_.identity.SettingsHive).filePath(),
                             LogLevel::Info, true);
}

void Program::showHelpPage() {
  pages_.WriteHelpPage();
  web_.SetFocus();
}

void Program::showAboutPage() { pages_.WriteAboutPage(); }
void Program::showDonationsPage() { pages_.WriteDonationsPage(); }
void Program::setReadStatus(bool markRead) { items_.SetReadStatus(markRead); }
void Program::showSite(int site) { pages_.ShowSite(site); }
void Program::showItem(int site, const QString& itemKey) { pages_.ShowItem(site, itemKey); }

void Program::shutdown() { startup_.Shutdown(); }

bool Program::queryClose() { return startup_.QueryUnload(CloseReason::UserClose); }

}  // namespace tw
