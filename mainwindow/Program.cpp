#include "mainwindow/Program.h"

#include "core/AppPaths.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TrayIcon.h"

namespace tw {
namespace {

FeedEndpoints EndpointsFromEnvironment(QString* problem) { return FeedEndpoints::FromEnvironment(problem); }

}  // namespace

Program::Program(const AppPaths& paths, const Clock& clock)
    : core_(paths, clock, FeedEndpoints()),
      window_(core_),
      startup_(core_, window_, window_.statusPanels(), window_.tray()) {
  QString problem;
  core_.endpoints = EndpointsFromEnvironment(&problem);
  if (!problem.isEmpty()) core_.activity.LogActivity(problem, LogLevel::Warning, false);
  window_.setCommands(this);
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

void Program::updateNewsLists() {}
void Program::showSettings() {}
void Program::showHelpPage() {}
void Program::showAboutPage() {}
void Program::showDonationsPage() {}
void Program::setReadStatus(bool) {}
void Program::showSite(int) {}
void Program::showItem(int, const QString&) {}

void Program::shutdown() { startup_.Shutdown(); }

bool Program::queryClose() { return startup_.QueryUnload(CloseReason::UserClose); }

}  // namespace tw
