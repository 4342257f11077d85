// The options dialog in the assembled program, offscreen, driven as a user
// drives it: clicks and keys on the tree, the buttons and the interval entry,
// with the store and the main window checked afterwards.
#include "core/FileHelpers.h"
#include "core/Registry.h"
#include "mainwindow/Program.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TrayIcon.h"
#include "options/XTreeOpt.h"
#include "options/frmOptions.h"
#include "support/TempHome.h"
#include "widgets/ActivityListView.h"
#include "widgets/SiteTreeView.h"
#include "windows/RecordingMessageBoxes.h"

#include <QAction>
#include <QImage>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace tw {
namespace {

const QString kRoot = QStringLiteral("Software\\Tidewire");
const QString kRunKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

class frmOptionsTest : public ::testing::Test {
 protected:
  void preset(Hive hive, const QString& key, const QString& name, int value) {
    Registry registry(home.paths().machineStore, home.paths().userStore, {});
    registry.CreateRegKey(hive, key);
    registry.SetRegValue(hive, key, name, value, RegType::Dword);
  }
  RegValue stored(Hive hive, const QString& key, const QString& name) {
    return program->core().registry.QueryRegValue(hive, key, name);
  }
  void start() {
    program = std::make_unique<Program>(home.paths(), clock);
    program->Start();
    QApplication::processEvents();
  }
  // Opens the dialog from the main menu's "&Settings".
  frmOptions& open() {
    auto* settings = program->window().menuBar()->findChild<QAction*>(QStringLiteral("mnuSettings"));
    settings->trigger();
    frmOptions* dialog = program->optionsDialog();
    EXPECT_NE(dialog, nullptr);
    dialog->setMessageBoxes(&boxes);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
    return *dialog;
  }
  XTreeOpt& tree() { return program->optionsDialog()->tvCfg(); }
  OptNode* node(const QString& key) { return tree().Nodes(key); }
  QString siteKey(int site) const { return program->core().sites[site].Key; }
  void click(const QString& key) {
    QTreeWidget* view = tree().tree();
    view->scrollToItem(node(key));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(node(key)).center());
  }
  void clickButton(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // Clicks "User Defined", types into the entry and presses Enter.
  void enterInterval(const QString& text) {
    click(QStringLiteral("USER_TIME"));
    QLineEdit* entry = program->optionsDialog()->txtInput();
    ASSERT_TRUE(entry->isVisible());
    // Typing replaces the selected interval; an empty entry is a deletion.
    if (text.isEmpty()) QTest::keyClick(entry, Qt::Key_Backspace);
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
  }
  QString userTimeCaption() { return node(QStringLiteral("USER_TIME"))->Text(); }
  bool dialogOpen() {
    QApplication::processEvents();
    return program->optionsDialog() && program->optionsDialog()->isVisible();
  }

  test::TempHome home;
  test::FakeClock clock;
  test::RecordingMessageBoxes boxes;
  std::unique_ptr<Program> program;
};

TEST_F(frmOptionsTest, EverySettingsEntryOpensTheOneDialog) {
  start();
  frmOptions& dialog = open();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("  Tidewire Options - (Single User)"));
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(dialog.cmdApply()->isEnabled());
  EXPECT_TRUE(dialog.cmdCancel()->isEnabled());
  EXPECT_EQ(dialog.cmdApply()->text(), QStringLiteral("Apply"));
  EXPECT_EQ(dialog.cmdCancel()->text(), QStringLiteral("Cancel"));
  EXPECT_FALSE(dialog.txtInput()->isVisible());
  EXPECT_FALSE(dialog.lblInput()->isVisible());
  EXPECT_EQ(dialog.lblInput()->text(), QStringLiteral("Time in minutes "));

  // The tree: the program's folder first, then one bold folder per site.
  const QTreeWidget* view = tree().tree();
  ASSERT_EQ(view->topLevelItemCount(), 18);
  const auto* first = static_cast<const OptNode*>(view->topLevelItem(0));
  EXPECT_EQ(first->Text(), QStringLiteral("Tidewire program settings"));
  EXPECT_TRUE(first->Bold());
  // Folders show the main window's pictures: the product's, "display", ...
  const ImageList& ils = tree().InternalImageList();
  const auto picture = [&ils](const OptNode* n) { return ils.icon(n->Image()).pixmap(16).toImage(); };
  const ImageList& main = program->window().imgList();
  EXPECT_EQ(picture(first), main.icon(QStringLiteral("Tidewire")).pixmap(16).toImage());
  EXPECT_EQ(picture(first->Child(8)), main.icon(QStringLiteral("display")).pixmap(16).toImage());
  EXPECT_EQ(picture(static_cast<const OptNode*>(view->topLevelItem(3))),
            main.icon(QStringLiteral("xboxscene")).pixmap(16).toImage());
  QStringList captions;
  for (int i = 0; i < first->childCount(); ++i) captions << first->Child(i)->Text();
  EXPECT_EQ(captions, (QStringList{"Run Tidewire when the desktop starts", "Minimise when Tidewire starts",
                                   "Close/Minimise to system tray", "Auto expand sites with new items",
                                   "Sort sites (A->Z)", "Check for new items when Tidewire starts",
                                   "Multi-User system", "Disable failed download popup alert's", "Display options",
                                   "New/Unread message control", "Auto update news"}));
  EXPECT_EQ(node(QStringLiteral("MIN0"))->Parent()->Text(), QStringLiteral("Auto update news"));
  EXPECT_EQ(tree().Value(QStringLiteral("MIN0")), 1);
  EXPECT_EQ(userTimeCaption(), QStringLiteral("User Defined (0 minute)"));
  const auto* xbins = static_cast<const OptNode*>(view->topLevelItem(2));
  EXPECT_EQ(xbins->Key(), siteKey(2));
  EXPECT_TRUE(xbins->Bold());
  EXPECT_EQ(xbins->Child(0)->Text(), QStringLiteral("Disable Xbins news list"));
  EXPECT_EQ(xbins->Child(0)->Key(), siteKey(2) + QStringLiteral("_DISABLE"));
  EXPECT_EQ(xbins->Child(1)->Text(), QStringLiteral("Auto display news item"));
  EXPECT_EQ(xbins->Child(2)->Text(), QStringLiteral("Open news in external browser"));
  dialog.resize(240, dialog.height());
  for (const OptNode* n : tree().NodesCollection()) {
    EXPECT_TRUE(n->childCount() == 0 || n->isExpanded()) << n->Text().toStdString();
    // Whole, however narrow the dialog: the tree scrolls sideways instead.
    EXPECT_LE(QFontMetrics(n->font(0)).horizontalAdvance(n->Text()), view->visualItemRect(n).width());
  }

  // The tree menu's and the tray menu's entries bring the same dialog forward.
  program->window().mnuPopup()->findChild<QAction*>(QStringLiteral("mnuSettings1"))->trigger();
  EXPECT_EQ(program->optionsDialog(), &dialog);
  Q_EMIT program->window().tray().settingsRequested();
  EXPECT_EQ(program->optionsDialog(), &dialog);

  // Closed, it remembers its place; opened again it comes back there.
  dialog.move(dialog.pos() + QPoint(40, 10));
  const QPoint place = dialog.geometry().topLeft();
  dialog.close();
  EXPECT_FALSE(dialogOpen());
  EXPECT_FALSE(stored(Hive::LocalMachine, kRoot, "frmOptionsTop").isEmpty());
  EXPECT_EQ(open().geometry().topLeft(), place);
}

TEST_F(frmOptionsTest, DisabledAndBackToTheSameIntervalRestoresTheFingerprint) {
  preset(Hive::LocalMachine, kRoot, QStringLiteral("Check Interval Minutes"), 30);
  start();
  frmOptions& dialog = open();
  EXPECT_EQ(tree().Value(QStringLiteral("USER_TIME")), 1);
  EXPECT_EQ(userTimeCaption(), QStringLiteral("User Defined (30 minutes)"));
  const QString atLoad = dialog.Cfg_List();

  click(QStringLiteral("MIN0"));
  EXPECT_TRUE(dialog.cmdApply()->isEnabled());
  EXPECT_EQ(tree().SelectedNode(), nullptr) << "no node stays highlighted";

  click(QStringLiteral("USER_TIME"));
  // The entry holds the interval, all of it selected; nothing else can be used.
  EXPECT_TRUE(dialog.txtInput()->isVisible());
  EXPECT_TRUE(dialog.lblInput()->isVisible());
  EXPECT_EQ(dialog.txtInput()->text(), QStringLiteral("30"));
  EXPECT_EQ(dialog.txtInput()->selectedText(), QStringLiteral("30"));
  EXPECT_FALSE(tree().isEnabled());
  EXPECT_FALSE(dialog.cmdApply()->isEnabled());
  EXPECT_FALSE(dialog.cmdCancel()->isEnabled());
  QTest::keyClick(dialog.txtInput(), Qt::Key_Return);

  EXPECT_FALSE(dialog.txtInput()->isVisible());
  EXPECT_TRUE(tree().isEnabled());
  EXPECT_TRUE(dialog.cmdCancel()->isEnabled());
  EXPECT_EQ(dialog.Cfg_List(), atLoad);
  EXPECT_FALSE(dialog.cmdApply()->isEnabled());
}

TEST_F(frmOptionsTest, TheIntervalEntryReadsWhatWasTyped) {
  start();
  frmOptions& dialog = open();
  struct Case {
    const char* typed;
    int option;  // USER_TIME's value afterwards
    const char* caption;
    int saved;
  };
  const Case cases[] = {
      {"0", 0, "User Defined (0 minute)", 0},          {"", 0, "User Defined (0 minute)", 0},
      {"abc", 0, "User Defined (0 minute)", 0},        {"99999", 1, "User Defined (24 hours)", 1440},
      {"0.4", 1, "User Defined (1 minute)", 1},        {"90", 1, "User Defined (1 hour 30 minutes)", 90},
  };
  for (const Case& c : cases) {
    enterInterval(QString::fromLatin1(c.typed));
    EXPECT_EQ(tree().Value(QStringLiteral("USER_TIME")), c.option) << c.typed;
    EXPECT_EQ(tree().Value(QStringLiteral("MIN0")), 1 - c.option) << c.typed;
    EXPECT_EQ(userTimeCaption(), QString::fromLatin1(c.caption)) << c.typed;
  }
  // The last one, 90 minutes, is saved and the timer runs with it at once;
  // the activity list shows as soon as it is asked for.
  click(QStringLiteral("SHOW_LOG"));
  clickButton(dialog.cmdApply());
  EXPECT_FALSE(dialogOpen());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 90);
  EXPECT_EQ(program->window().statusPanels().panelText(QStringLiteral("msg")),
            QStringLiteral("Checking for new items in 1 hour 30 minutes"));
  EXPECT_FALSE(program->window().lvLog().isHidden());

  // "abc" and Apply store 0: automatic checking off.
  open();
  enterInterval(QStringLiteral("abc"));
  clickButton(program->optionsDialog()->cmdApply());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Check Interval Minutes").toInt(), 0);
  EXPECT_EQ(program->window().statusPanels().panelText(QStringLiteral("msg")),
            QStringLiteral("Automatic news updating disabled"));
}

TEST_F(frmOptionsTest, AStoredIntervalOfNoneOrLessOpensOnDisabled) {
  for (const int minutes : {0, -5}) {
    preset(Hive::LocalMachine, kRoot, QStringLiteral("Check Interval Minutes"), minutes);
    start();
    open();
    EXPECT_EQ(tree().Value(QStringLiteral("MIN0")), 1) << minutes;
    EXPECT_EQ(tree().Value(QStringLiteral("USER_TIME")), 0) << minutes;
    program->optionsDialog()->close();
  }
}

TEST_F(frmOptionsTest, CancelAsksOnlyAboutChangesAndOtherWaysOutSaveNothing) {
  start();
  frmOptions& dialog = open();
  // A check clicked on and off again is no change: Cancel asks nothing.
  click(QStringLiteral("SORT_SITES"));
  EXPECT_TRUE(dialog.cmdApply()->isEnabled());
  click(QStringLiteral("SORT_SITES"));
  EXPECT_FALSE(dialog.cmdApply()->isEnabled());
  clickButton(dialog.cmdCancel());
  EXPECT_TRUE(boxes.asked.isEmpty());
  EXPECT_FALSE(dialogOpen());

  open();
  click(QStringLiteral("CLOSE_TRAY"));
  click(siteKey(3) + QStringLiteral("_AUTOITEM"));
  boxes.answer = false;
  clickButton(program->optionsDialog()->cmdCancel());
  ASSERT_EQ(boxes.asked, (QStringList{"Settings changed...|You have made changes to the program settings.\n\n"
                                      "Would you like to save them now?"}));
  EXPECT_FALSE(dialogOpen());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Close To Tray").toInt(), 0);

  open();
  click(QStringLiteral("CLOSE_TRAY"));
  boxes.answer = true;
  clickButton(program->optionsDialog()->cmdCancel());
  EXPECT_FALSE(dialogOpen());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Close To Tray").toInt(), 1);

  // Any other way out saves nothing and asks nothing: the window's close,
  // or the main window going.
  boxes.asked.clear();
  open();
  click(QStringLiteral("CLOSE_TRAY"));
  program->optionsDialog()->close();
  open();
  click(QStringLiteral("SHOW_LOG"));
  program->window().exitProgram();
  EXPECT_FALSE(dialogOpen());
  EXPECT_TRUE(boxes.asked.isEmpty());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Close To Tray").toInt(), 1);
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Show Activity Log").toInt(), 0);
}

TEST_F(frmOptionsTest, MultiUserShowsTheOtherModeAndSavingSwitchesTheProgram) {
  const QString site4 = kRoot + QStringLiteral("\\Max Console");
  preset(Hive::CurrentUser, kRoot, QStringLiteral("Close To Tray"), 1);
  preset(Hive::CurrentUser, site4, QStringLiteral("Disabled"), 1);
  start();
  SiteTreeView& tv = program->window().tv();
  ASSERT_NE(tv.itemForKey(siteKey(4)), nullptr);
  frmOptions& dialog = open();
  EXPECT_EQ(tree().Value(QStringLiteral("CLOSE_TRAY")), 0);

  click(QStringLiteral("MULTI_USER"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("  Tidewire Options - (User:  ") + GetLoginName() + u')');
  EXPECT_EQ(tree().Value(QStringLiteral("CLOSE_TRAY")), 1);
  EXPECT_EQ(tree().Value(siteKey(4) + QStringLiteral("_DISABLE")), 1);
  // Only shown, not switched: the program still works in single-user mode.
  EXPECT_EQ(program->core().identity.SettingsHive, Hive::LocalMachine);

  click(QStringLiteral("MULTI_USER"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("  Tidewire Options - (Single User)"));
  EXPECT_EQ(tree().Value(QStringLiteral("CLOSE_TRAY")), 0);

  // Switching and cancelling leaves the program where it was, and the
  // dialog's place goes to the program's own settings.
  click(QStringLiteral("MULTI_USER"));
  boxes.answer = false;
  clickButton(dialog.cmdCancel());
  ASSERT_FALSE(dialogOpen());
  EXPECT_EQ(program->core().identity.SettingsHive, Hive::LocalMachine);
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Multi User").toInt(), 0);
  EXPECT_FALSE(stored(Hive::LocalMachine, kRoot, "frmOptionsLeft").isEmpty());
  EXPECT_TRUE(stored(Hive::CurrentUser, kRoot, "frmOptionsLeft").isEmpty());

  // Switching and applying: the program reads the user's settings from now on.
  open();
  click(QStringLiteral("MULTI_USER"));
  clickButton(program->optionsDialog()->cmdApply());
  ASSERT_FALSE(dialogOpen());
  EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Multi User").toInt(), 1);
  EXPECT_EQ(program->core().identity.SettingsHive, Hive::CurrentUser);
  EXPECT_EQ(program->window().statusPanels().panelText(QStringLiteral("user")),
            QStringLiteral("Multi user settings (") + GetLoginName() + QStringLiteral(")  "));
  EXPECT_EQ(tv.itemForKey(siteKey(4)), nullptr) << "the tree was built again from the user's settings";
  EXPECT_NE(tv.itemForKey(siteKey(5)), nullptr);
  EXPECT_EQ(program->core().settings.number(setting::CheckIntervalMinutes), 0);
  open();
  EXPECT_EQ(tree().Value(QStringLiteral("MULTI_USER")), 1);
  EXPECT_EQ(tree().Value(QStringLiteral("CLOSE_TRAY")), 1);
}

TEST_F(frmOptionsTest, RunAtDesktopStartLeavesExactlyOneEntryOrNone) {
  start();
  const QString system = home.paths().systemAutostartFolder + QStringLiteral("/app.tidewire.Tidewire.desktop");
  const QString user = home.paths().userAutostartFolder + QStringLiteral("/app.tidewire.Tidewire.desktop");
  open();
  click(QStringLiteral("AUTO_RUN"));
  clickButton(program->optionsDialog()->cmdApply());
  EXPECT_TRUE(QFileInfo::exists(system));
  EXPECT_FALSE(QFileInfo::exists(user));
  EXPECT_EQ(stored(Hive::LocalMachine, kRunKey, "Tidewire").toText(), QCoreApplication::applicationFilePath());

  open();
  EXPECT_EQ(tree().Value(QStringLiteral("AUTO_RUN")), 1);
  click(QStringLiteral("AUTO_RUN"));
  clickButton(program->optionsDialog()->cmdApply());
  EXPECT_FALSE(QFileInfo::exists(system));
  EXPECT_FALSE(QFileInfo::exists(user));
  EXPECT_TRUE(stored(Hive::LocalMachine, kRunKey, "Tidewire").isEmpty());
}

#if TIDEWIRE_WEB_ENGINE
// The page view is a display setting like the others: stored, and the window
// shows the chosen view (with a page in it) as soon as Apply is pressed.
TEST_F(frmOptionsTest, TheLightPageViewIsChosenAndDroppedAtOnce) {
  start();
  EXPECT_EQ(program->lightWeb(), nullptr) << "the web engine is the default";
  const auto shownView = [this] { return program->window().findChild<QWidget*>(QStringLiteral("Web")); };
  for (const bool light : {true, false}) {
    frmOptions& dialog = open();
    click(QStringLiteral("LIGHT_PAGE_VIEW"));
    clickButton(dialog.cmdApply());
    EXPECT_EQ(stored(Hive::LocalMachine, kRoot, "Light Page View").toInt(), light ? 1 : 0);
    EXPECT_EQ(program->lightWeb() != nullptr, light);
    EXPECT_EQ(program->web().ReadyState(), WebView::kReadyStateLoading) << "the About page comes again";
    ASSERT_TRUE(QTest::qWaitFor([&] { return program->web().ReadyState() == WebView::kReadyStateComplete; }, 30000));
    QWidget* view = shownView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(qobject_cast<QTextBrowser*>(view) != nullptr, light) << view->metaObject()->className();
    if (light) {
      EXPECT_EQ(view->accessibleName(), QStringLiteral("Page"));
      EXPECT_TRUE(qobject_cast<QTextBrowser*>(view)->toPlainText().contains(QStringLiteral("Tidewire")));
    }
  }
}
#endif

}  // namespace
}  // namespace tw
