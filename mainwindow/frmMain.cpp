#include "mainwindow/frmMain.h"

#include "core/AppCore.h"
#include "core/Placement.h"
#include "core/FileHelpers.h"
#include "core/SettingDefs.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/DBusNotifications.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TitleStripPanel.h"
#include "mainwindow/TrayIcon.h"
#include "widgets/ActivityListView.h"
#include "widgets/ProgressPictureStyle.h"
#include "widgets/ProgressValue.h"
#include "widgets/SiteTreeView.h"
#include "widgets/Split.h"
#include "widgets/Twips.h"
#include "widgets/WidgetGeometry.h"
#include "widgets/WindowPlatform.h"
#include "news/WebView.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace tw {
namespace {

constexpr int kTreeWidthTwips = 3750;
constexpr int kMinimumPaneTwips = 2655;
constexpr int kStripHeightPx = 8;
constexpr int kLogHeightPx = 130;
// How long weston takes to frame a window it has just shown, with room.
constexpr int kFramedLaterMs = 500;

QProgressBar* StripBar(QWidget* strip, const char* name, QStyle* style) {
  auto* bar = new QProgressBar(strip);
  bar->setObjectName(QString::fromLatin1(name));
  if (style) bar->setStyle(style);
  bar->setTextVisible(false);
  bar->setRange(0, 1);
  bar->setValue(0);
  return bar;
}

}  // namespace

frmMain::frmMain(AppCore& core, QWidget* parent)
    : QMainWindow(parent), core_(core), treeClicks_(core.tv, core.sites, *this) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromLatin1(kProductTitle));
  buildControls();
  buildMenus();

  tray_ = std::make_unique<TrayIcon>(*this, *sBar_, *this);
  tray_->setActivityLog(&core_.activity);
  alerts_ = std::make_unique<AlertManager>(core_.identity, this);
  alerts_->setActivityLog(&core_.activity);
  alerts_->setNotificationsWhenNeeded(
      [] { return NotificationsForPlatform(QGuiApplication::platformName(), UnderWaylandSession()); });
  geometry_ = std::make_unique<WidgetGeometry>(*this, objectName());

  connect(tray_.get(), &TrayIcon::updateRequested, this, [this] {
    if (commands_) commands_->updateNewsLists();
  });
  connect(tray_.get(), &TrayIcon::settingsRequested, this, [this] {
    if (commands_) commands_->showSettings();
  });
  connect(tray_.get(), &TrayIcon::exitRequested, this, &frmMain::exitProgram);
}

frmMain::~frmMain() = default;

void frmMain::buildControls() {
  progressStyle_ = new ProgressPictureStyle(this);
  sBar_ = new StatusBarPanels(imgList_, this);
  setStatusBar(sBar_);

  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->installEventFilter(this);
  setCentralWidget(client_);

  tv_ = new SiteTreeView(core_.tv, imgList_, client_);
  tv_->setObjectName(QStringLiteral("tv"));
  webPanel_ = new QWidget(client_);
  webPanel_->setObjectName(QStringLiteral("webPanel"));
  webPanel_->installEventFilter(this);

  picTitle_ = new TitleStripPanel(webPanel_);
  connect(picTitle_, &TitleStripPanel::heightChanged, this, &frmMain::RESIZE_WebPanel);
  Web_ = new QWidget(webPanel_);
  Web_->setObjectName(QStringLiteral("Web"));
  picPbarWeb_ = new QWidget(webPanel_);
  picPbarWeb_->setObjectName(QStringLiteral("picPbarWeb"));
  picPbarWeb_->setFixedHeight(kStripHeightPx);
  picPbarWeb_->installEventFilter(this);
  pBarWeb_ = StripBar(picPbarWeb_, "pBarWeb", nullptr);
  cmdMaxCon_ = new QPushButton(QStringLiteral("Submit To Maxconsole"), webPanel_);
  cmdMaxCon_->setObjectName(QStringLiteral("cmdMaxCon"));
  cmdMaxCon_->hide();  // a development aid, not for users
  connect(cmdMaxCon_, &QPushButton::clicked, this, &frmMain::cmdMaxCon_Click);

  // The splitter finds its panes by name among its siblings.
  splMain_ = new Split(client_);
  splMain_->setObjectName(QStringLiteral("splMain"));
  splMain_->setControlLeftPane(QStringLiteral("tv"));
  splMain_->setControlRightPane(QStringLiteral("webPanel"));
  splMain_->setSplitColorMouseUp(RGB(212, 216, 222));
  splMain_->setSplitColorMouseDown(RGB(128, 128, 128));
  connect(splMain_, &Split::PaneEndResize, this, &frmMain::RESIZE_WebPanel);

  picPbarDL_ = new QWidget(client_);
  picPbarDL_->setObjectName(QStringLiteral("picPbarDL"));
  picPbarDL_->setFixedHeight(kStripHeightPx);
  picPbarDL_->installEventFilter(this);
  pBarDL_ = StripBar(picPbarDL_, "pBarDL", progressStyle_);

  lvLog_ = new ActivityListView(core_.activity, imgList_, client_);
  lvLog_->setObjectName(QStringLiteral("lvLog"));
  lvLog_->setFixedHeight(kLogHeightPx);
  core_.activity.setListVisibility(lvLog_);

  connect(tv_, &SiteTreeView::mouseDown, this, [this](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint&) {
    treeClicks_.mouseDown(SiteTreeView::ButtonNumber(b));
  });
  connect(tv_, &SiteTreeView::mouseUp, this, [this](Qt::MouseButton b, Qt::KeyboardModifiers, const QPoint&) {
    treeClicks_.mouseUp(SiteTreeView::ButtonNumber(b));
  });
  connect(tv_, &SiteTreeView::nodeClick, this, [this](const QString& key) { treeClicks_.NodeClick(key); });
  connect(tv_, &SiteTreeView::click, this, [this] { treeClicks_.Click(); });
  connect(tv_, &SiteTreeView::keyDown, this, [this](int, Qt::KeyboardModifiers) { treeClicks_.keyDown(); });
  connect(tv_, &SiteTreeView::keyUp, this, [this](int key, Qt::KeyboardModifiers) {
    treeClicks_.keyUp(key == Qt::Key_Left || key == Qt::Key_Right);
  });
  connect(tv_, &SiteTreeView::keyAbandoned, this, [this] { treeClicks_.keyAbandoned(); });
  connect(tv_, &SiteTreeView::menuKey, this, [this] { treeClicks_.menuKey(); });
}

void frmMain::buildMenus() {
  const auto command = [this](void (MainWindowCommands::*action)()) {
    return [this, action] {
      if (commands_) (commands_->*action)();
    };
  };
  const auto add = [](QMenu* menu, const QString& name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
  };
  const auto separator = [](QMenu* menu, const QString& name) { menu->addSeparator()->setObjectName(name); };

  QMenu* mnuMenu = menuBar()->addMenu(QStringLiteral("&Menu"));
  mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
  connect(add(mnuMenu, "mnuSettings", "&Settings"), &QAction::triggered, this, command(&MainWindowCommands::showSettings));
  separator(mnuMenu, "mnusplit1");
  connect(add(mnuMenu, "mnuUpdateLists", "Update News Lists"), &QAction::triggered, this,
          command(&MainWindowCommands::updateNewsLists));
  separator(mnuMenu, "mnusplit11");
  connect(add(mnuMenu, "mnuHelp", "&Help"), &QAction::triggered, this, command(&MainWindowCommands::showHelpPage));
  separator(mnuMenu, "mnuSplit3");
  connect(add(mnuMenu, "mnudonations", "&Donations"), &QAction::triggered, this,
          command(&MainWindowCommands::showDonationsPage));
  connect(add(mnuMenu, "mnuAbout1", "&About"), &QAction::triggered, this, command(&MainWindowCommands::showAboutPage));
  separator(mnuMenu, "mnuSplit7");
  connect(add(mnuMenu, "mnuExit", "&Exit"), &QAction::triggered, this, &frmMain::exitProgram);

  mnuPopup_ = new QMenu(QStringLiteral("Popup Menu"), this);
  mnuPopup_->setObjectName(QStringLiteral("mnuPopup"));
  connect(add(mnuPopup_, "mnuSettings1", "Settings"), &QAction::triggered, this,
          command(&MainWindowCommands::showSettings));
  separator(mnuPopup_, "mnuSplit5");
  mnuMarkRead_ = add(mnuPopup_, "mnuMarkRead", "Mark as Read");
  mnuMarkUnread_ = add(mnuPopup_, "mnuMarkUnread", "Mark as Unread");
  connect(mnuMarkRead_, &QAction::triggered, this, [this] {
    if (commands_) commands_->setReadStatus(true);
  });
  connect(mnuMarkUnread_, &QAction::triggered, this, [this] {
    if (commands_) commands_->setReadStatus(false);
  });
  mnuSplit2_ = mnuPopup_->addSeparator();
  mnuSplit2_->setObjectName(QStringLiteral("mnuSplit2"));
  connect(add(mnuPopup_, "mnuRefresh", "Update News Lists"), &QAction::triggered, this,
          command(&MainWindowCommands::updateNewsLists));
  separator(mnuPopup_, "mnusplit");
  connect(add(mnuPopup_, "mnuHelp1", "Help"), &QAction::triggered, this, command(&MainWindowCommands::showHelpPage));
  separator(mnuPopup_, "mnuSplit4");
  connect(add(mnuPopup_, "mnudonations1", "Donations"), &QAction::triggered, this,
          command(&MainWindowCommands::showDonationsPage));
  connect(add(mnuPopup_, "mnuAbout", "About"), &QAction::triggered, this, command(&MainWindowCommands::showAboutPage));
  separator(mnuPopup_, "mnuSplit6");
  connect(add(mnuPopup_, "mnuExit1", "Exit"), &QAction::triggered, this, &frmMain::exitProgram);
}

void frmMain::placeWebWidget(QWidget* widget) {
  if (widget && widget == Web_) return;
  QWidget* replaced = Web_;
  const bool replacedBlank = webBlank_;
  webBlank_ = !widget;
  Web_ = widget ? widget : new QWidget(webPanel_);
  Web_->setParent(webPanel_);
  Web_->setObjectName(QStringLiteral("Web"));
  Web_->show();
  cmdMaxCon_->raise();
  if (replacedBlank) {
    delete replaced;
  } else if (replaced) {
    // The other page view's, kept by its owner: out of sight and of reach.
    replaced->hide();
  }
  RESIZE_WebPanel();
}

void frmMain::setWebView(WebView* web, QWidget* widget) {
  web_ = web;
  if (widget) placeWebWidget(widget);
  if (web_) {
    connect(web_, &WebView::progressChanged, this, &frmMain::showWebProgress);
    connect(picTitle_, &TitleStripPanel::linkClicked, web_,
            [this](const QString& address, const QString& target) { web_->Navigate(address, target); });
  }
  RESIZE_WebPanel();
}

void frmMain::RESIZE_Form() {
  FormLayoutInput in;
  in.client = client_->size();
  in.logVisible = !lvLog_->isHidden();
  in.logHeight = lvLog_->height();
  in.downloadStripVisible = !picPbarDL_->isHidden();
  in.downloadStripHeight = picPbarDL_->height();
  const FormLayout out = tw::RESIZE_Form(in);
  if (in.logVisible) lvLog_->setGeometry(out.log);
  if (in.downloadStripVisible) picPbarDL_->setGeometry(out.downloadStrip);
  splMain_->setGeometry(out.splitter);
}

void frmMain::RESIZE_WebPanel() {
  WebPanelLayoutInput in;
  in.inner = webPanel_->size();
  in.titleHeight = picTitle_->height();
  in.webProgressVisible = !picPbarWeb_->isHidden();
  in.webProgressHeight = picPbarWeb_->height();
  const WebPanelLayout out = tw::RESIZE_WebPanel(in);
  picTitle_->setGeometry(out.title);
  Web_->setGeometry(out.web);
  if (in.webProgressVisible) picPbarWeb_->setGeometry(out.webProgress);
  cmdMaxCon_->move(out.maxConButton);
}

bool frmMain::BuiltInPageShown() const { return picTitle_->builtInPageShown(); }

void frmMain::showWebProgress(int progress, int maximum) {
  const int max = std::max(maximum, 1);
  pBarWeb_->setRange(0, max);
  SetProgressValue(*pBarWeb_, ClampValue(progress, 0, max));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && watched == windowHandle() && !frameChecked_ && windowHandle()->isExposed() &&
      geometry_->windowState() == WindowState::Normal) {
    frameChecked_ = true;
    windowHandle()->removeEventFilter(this);
    if (geometry_->followsMoves()) {
      KeepOnScreen(*geometry_);
    } else {
      // XWayland: weston frames the window after it is first exposed.
      QTimer::singleShot(kFramedLaterMs, this, [this] { KeepOnScreen(*geometry_); });
    }
  }
  if (event->type() == QEvent::Resize) {
    if (watched == client_) {
      RESIZE_Form();
    } else if (watched == webPanel_) {
      RESIZE_WebPanel();
    } else if (watched == picPbarDL_) {
      pBarDL_->setGeometry(picPbarDL_->rect());
    } else if (watched == picPbarWeb_) {
      pBarWeb_->setGeometry(picPbarWeb_->rect());
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  windowResized();
}

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) windowResized();
}

// Every size or state change: minimising goes to the tray when asked to (and
// when there is a tray to go to); coming back from minimised closes alerts.
void frmMain::windowResized() {
  const Qt::WindowStates state = windowState();
  const bool minimised = state.testFlag(Qt::WindowMinimized);
  const bool wasMinimised = lastWindowState_.testFlag(Qt::WindowMinimized);
  if (minimised && !wasMinimised && !skipTrayOnMinimise_ && core_.settings.flag(setting::CloseToTray) &&
      tray_->isTrayAvailable()) {
    tray_->SendToTray(true);
  }
  if (!minimised && wasMinimised) Clear_Popups();
  skipTrayOnMinimise_ = false;
  lastWindowState_ = state;
  RESIZE_Form();
  RESIZE_WebPanel();
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (unloaded_) {
    event->accept();
    return;
  }
  if (!exiting_ && commands_ && commands_->queryClose()) {
    event->ignore();
    return;
  }
  event->ignore();  // the shutdown below unloads the window itself
  exiting_ = true;
  if (commands_) {
    commands_->shutdown();
  } else {
    unloadWindows();
  }
}

void frmMain::exitProgram() {
  exiting_ = true;
  close();
}

void frmMain::exitAtOnce() {
  exitingAtOnce_ = true;
  exitProgram();
}

void frmMain::exitCancelled() {
  exiting_ = false;
  exitingAtOnce_ = false;
}

void frmMain::openTreeMenu(const TreeMenuState& menu) {
  mnuMarkRead_->setVisible(menu.markEntriesVisible);
  mnuMarkUnread_->setVisible(menu.markEntriesVisible);
  mnuSplit2_->setVisible(menu.markEntriesVisible);
  if (menu.markEntriesVisible) {
    mnuMarkRead_->setText(menu.markReadCaption);
    mnuMarkUnread_->setText(menu.markUnreadCaption);
    mnuMarkRead_->setEnabled(menu.markReadEnabled);
    mnuMarkUnread_->setEnabled(menu.markUnreadEnabled);
  }
  if (!menu.atSelectedNode) {
    mnuPopup_->popup(QCursor::pos());
    return;
  }
  // From the keyboard, which goes on into the menu from its first entry.
  mnuPopup_->popup(tv_->menuPoint());
  for (QAction* action : mnuPopup_->actions()) {
    if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
      mnuPopup_->setActiveAction(action);
      break;
    }
  }
}

void frmMain::popupTreeMenu(const TreeMenuState& menu) { openTreeMenu(menu); }

void frmMain::showSite(int site) {
  if (commands_) commands_->showSite(site);
}

void frmMain::showItem(int site, const QString& itemKey) {
  if (commands_) commands_->showItem(site, itemKey);
}

// Development aid: the shown page's body markup into "test.txt" in the
// current folder.
void frmMain::cmdMaxCon_Click() {
  if (!web_) return;
  web_->RequestBodyMarkup([](const QString& markup) { WriteTextFile(QStringLiteral("test.txt"), markup); });
}

QString frmMain::caption() const { return windowTitle(); }
void frmMain::setCaption(const QString& caption) { setWindowTitle(caption); }
bool frmMain::isVisible() const { return QMainWindow::isVisible(); }
bool frmMain::isMinimized() const { return QMainWindow::isMinimized(); }
void frmMain::installMinimumSizeHook() { InstallMinimumSize(*this); }
void frmMain::removeMinimumSizeHook() { RemoveMinimumSize(*this); }

void frmMain::applyProductIdentity(const QString& progTitle) {
  const QIcon icon = imgList_.icon(progTitle);
  setWindowIcon(icon);
  alerts_->setWindowIcon(icon);
  tray_->setOpenCaption(progTitle);
  tray_->ChangeTrayIcon(icon);
}

void frmMain::applyDisplaySettings(const Settings& settings, const AppIdentity& identity) {
  tv_->resize(TwipsToPixels(kTreeWidthTwips, TwipsPerPixelX(*this)), tv_->height());
  sBar_->setFixedHeight(StatusBarPanels::kHeightPx);
  sBar_->setPanelText(QStringLiteral("ver"), identity.VersionText);
  splMain_->setMinimumPaneWidth(kMinimumPaneTwips);
  pBarWeb_->setValue(0);
  pBarDL_->setValue(0);
  showStrips(settings);
}

void frmMain::showStrips(const Settings& settings) {
  picPbarWeb_->setVisible(settings.flag(setting::ShowWebProgress));
  picPbarDL_->setVisible(settings.flag(setting::ShowDownloadProgress));
  lvLog_->setVisible(settings.flag(setting::ShowActivityLog));
  RESIZE_Form();
  RESIZE_WebPanel();
  Q_EMIT pageViewChosen(settings.flag(setting::LightPageView));
}

void frmMain::showMinimized() { setWindowState(windowState() | Qt::WindowMinimized); }

void frmMain::showPlaced(bool show) {
  // Once the window manager has framed the window its frame is known: the
  // first time it is exposed in the normal state (now, or when it comes
  // back from the tray), the frame is kept on screen.
  create();
  windowHandle()->installEventFilter(this);
  if (show) QMainWindow::show();
}

WindowGeometry& frmMain::placement() { return *geometry_; }

void frmMain::setSplitterPosition(int twips) {
  // A window not shown yet (it may start in the tray) has not laid itself
  // out: its controls still have the toolkit's first sizes, which would
  // pull the bar back to fit them. Lay it out at its own size first.
  if (!QMainWindow::isVisible()) {
    if (QLayout* own = layout()) {
      own->invalidate();
      own->activate();
    }
    RESIZE_Form();
    RESIZE_WebPanel();
  }
  splMain_->setSplitterLeftTop(twips);
}
int frmMain::splitterPosition() const { return splMain_->SplitterLeftTop(); }

void frmMain::focusTree() { tv_->setFocus(); }

void frmMain::unloadWindows() {
  unloaded_ = true;
  alerts_->Clear_Popups();
  hide();
  Q_EMIT unloaded();
}

bool frmMain::isMainWindowVisible() const { return QMainWindow::isVisible(); }

void frmMain::showMainWindowNormal() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  QMainWindow::show();
  raise();
  activateWindow();
}

void frmMain::GetFromTray() { tray_->GetFromTray(); }

void frmMain::Clear_Popups() { alerts_->Clear_Popups(); }

}  // namespace tw
