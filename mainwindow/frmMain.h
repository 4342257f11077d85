#pragma once

#include "core/WindowPorts.h"
#include "mainwindow/AlertHost.h"
#include "mainwindow/TrayHost.h"
#include "mainwindow/TreeClickHandler.h"
#include "widgets/ImageList.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;
class QProgressBar;
class QStyle;
class QPushButton;

namespace tw {

struct AppCore;
class ActivityListView;
class AlertManager;
class SiteTreeView;
class Split;
class StatusBarPanels;
class TitleStripPanel;
class TrayIcon;
class WebView;
class WidgetGeometry;

// What the main window's commands do beyond the window itself; the program
// connects them to the engine.
class MainWindowCommands {
 public:
  virtual ~MainWindowCommands() = default;
  virtual void updateNewsLists() = 0;
  virtual void showSettings() = 0;
  virtual void showHelpPage() = 0;
  virtual void showAboutPage() = 0;
  virtual void showDonationsPage() = 0;
  virtual void setReadStatus(bool markRead) = 0;
  virtual void showSite(int site) = 0;
  virtual void showItem(int site, const QString& itemKey) = 0;
  // The window is closing for good: save what must be saved.
  virtual void shutdown() = 0;
  // The user's close: true when it was turned into going to the tray.
  virtual bool queryClose() = 0;
};

// The program's one main window: the site tree beside the web panel, the
// download strip, the activity list and the status bar, the three menus, the
// tray icon and the popup alerts.
class frmMain : public QMainWindow,
                public MainWindowPort,
                public AlertHost,
                public TrayHost,
                private TreeClickActions {
  Q_OBJECT

 public:
  explicit frmMain(AppCore& core, QWidget* parent = nullptr);
  ~frmMain() override;

  void setCommands(MainWindowCommands* commands) { commands_ = commands; }

  // Parts the program hands to the engine.
  StatusBarPanels& statusPanels() { return *sBar_; }
  TrayIcon& tray() { return *tray_; }
  AlertManager& alerts() { return *alerts_; }
  const ImageList& imgList() const { return imgList_; }
  QWidget* webPanel() const { return webPanel_; }
  QProgressBar* pBarDL() const { return pBarDL_; }
  QProgressBar* pBarWeb() const { return pBarWeb_; }
  // The web panel's browser (`Web`), placed by RESIZE_WebPanel: the
  // engine's view of it and the widget that shows it (none yet: a blank
  // stands in).
  void setWebView(WebView* web, QWidget* widget);
  // Puts the browser's widget in place; null puts a blank there while the
  // browser has none. The widget replaced is deleted only if it was a blank.
  void placeWebWidget(QWidget* widget);
  TitleStripPanel& titleStrip() { return *picTitle_; }
  SiteTreeView& tv() { return *tv_; }
  Split& splMain() { return *splMain_; }
  ActivityListView& lvLog() { return *lvLog_; }
  QMenu* mnuPopup() const { return mnuPopup_; }
  TreeClickHandler& treeClicks() { return treeClicks_; }
  bool SkipTrayOnMinimise() const { return skipTrayOnMinimise_; }

  void RESIZE_Form();
  void RESIZE_WebPanel();
  bool BuiltInPageShown() const;
  // Shows the window's progress in the browser strip: max at least 1, value
  // kept within 0..max.
  void showWebProgress(int progress, int maximum);
  // Closes the window for good, as the Exit commands do.
  void exitProgram();
  // The same when the program cannot wait (the session ends, it is told to
  // terminate): nothing is asked, and what a busy store has not saved yet
  // is kept beside it.
  void exitAtOnce();
  bool exitingAtOnce() const { return exitingAtOnce_; }
  // The user chose not to quit after all.
  void exitCancelled();

  // WindowPresence / MainWindowPort
  QString caption() const override;
  void setCaption(const QString& caption) override;
  bool isVisible() const override;
  bool isMinimized() const override;
  void installMinimumSizeHook() override;
  void removeMinimumSizeHook() override;
  void applyProductIdentity(const QString& progTitle) override;
  void applyDisplaySettings(const Settings& settings, const AppIdentity& identity) override;
  void showStrips(const Settings& settings) override;
  void showMinimized() override;
  void showPlaced(bool show) override;
  WindowGeometry& placement() override;
  void setSplitterPosition(int twips) override;
  int splitterPosition() const override;
  void focusTree() override;
  void unloadWindows() override;

  // AlertHost
  bool isMainWindowVisible() const override;
  void showMainWindowNormal() override;
  void GetFromTray() override;
  // TrayHost
  void Clear_Popups() override;
  void setSkipTrayOnMinimise() override { skipTrayOnMinimise_ = true; }

 Q_SIGNALS:
  // Sent once the window has unloaded; the program then ends.
  void unloaded();
  // The display settings were applied, at start-up or from the options:
  // which page view they ask for.
  void pageViewChosen(bool light);

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void buildMenus();
  void windowResized();
  void openTreeMenu(const TreeMenuState& menu);
  void cmdMaxCon_Click();

  // TreeClickActions
  void showSite(int site) override;
  void showItem(int site, const QString& itemKey) override;
  void popupTreeMenu(const TreeMenuState& menu) override;
  void clearPopups() override { Clear_Popups(); }

  AppCore& core_;
  MainWindowCommands* commands_ = nullptr;
  ImageList imgList_;
  StatusBarPanels* sBar_ = nullptr;
  QWidget* client_ = nullptr;
  SiteTreeView* tv_ = nullptr;
  Split* splMain_ = nullptr;
  QWidget* webPanel_ = nullptr;
  TitleStripPanel* picTitle_ = nullptr;
  WebView* web_ = nullptr;
  QWidget* Web_ = nullptr;
  bool webBlank_ = true;  // Web_ stands in for the browser's widget
  QWidget* picPbarWeb_ = nullptr;
  QProgressBar* pBarWeb_ = nullptr;
  QPushButton* cmdMaxCon_ = nullptr;
  QWidget* picPbarDL_ = nullptr;
  QProgressBar* pBarDL_ = nullptr;
  // The download bar's: it goes back and forth between the same looks.
  QStyle* progressStyle_ = nullptr;
  ActivityListView* lvLog_ = nullptr;
  QMenu* mnuPopup_ = nullptr;
  QAction* mnuMarkRead_ = nullptr;
  QAction* mnuMarkUnread_ = nullptr;
  QAction* mnuSplit2_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  std::unique_ptr<AlertManager> alerts_;
  std::unique_ptr<WidgetGeometry> geometry_;
  TreeClickHandler treeClicks_;

  Qt::WindowStates lastWindowState_ = Qt::WindowNoState;
  bool skipTrayOnMinimise_ = false;
  bool exiting_ = false;
  bool exitingAtOnce_ = false;
  bool unloaded_ = false;
  bool frameChecked_ = false;  // the frame was kept on screen once it was known
};

}  // namespace tw
