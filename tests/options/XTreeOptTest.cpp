#include "options/XTreeOpt.h"
#include "hooks/GSubclass.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace tw {
namespace {

std::uint32_t ErrorOf(const std::function<void()>& call, QString* description = nullptr) {
  try {
    call();
  } catch (const ControlError& error) {
    EXPECT_TRUE(error.Source().endsWith(QStringLiteral(".XTreeOpt"))) << qPrintable(error.Source());
    if (description) *description = error.Description();
    return error.Number();
  }
  return 0;
}

QStringList Images(const QList<OptNode*>& nodes) {
  QStringList images;
  for (const OptNode* node : nodes) images << node->Image();
  return images;
}

class XTreeOptTest : public ::testing::Test {
 protected:
  XTreeOptTest() {
    opt.resize(320, 420);
    opt.show();
  }
  QPoint centreOf(OptNode* node) { return opt.tree()->visualItemRect(node).center(); }
  void click(OptNode* node, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(opt.tree()->viewport(), button, {}, centreOf(node));
  }
  // Settings, Updates (an option group), Alerts (a check folder with two
  // checks and a check folder of one check).
  void build() {
    settings = opt.AddFolder(QStringLiteral("SETTINGS"), nullptr, QStringLiteral("Settings"), 1, std::nullopt, true);
    autoRun = opt.AddCheck(QStringLiteral("AUTO_RUN"), settings, QStringLiteral("Run at login"), 0);
    updates = opt.AddFolder(QStringLiteral("UPDATES"), settings, QStringLiteral("Auto update news"), 1);
    min0 = opt.AddOption(QStringLiteral("MIN0"), updates, QStringLiteral("Disabled"));
    userTime = opt.AddOption(QStringLiteral("USER_TIME"), updates, QStringLiteral("User Defined (30 minutes)"));
    alerts = opt.AddFolder(QStringLiteral("ALERTS"), nullptr, QStringLiteral("Alerts"), XTreeOpt::kCheckFolder);
    news = opt.AddCheck(QStringLiteral("NEWS"), alerts, QStringLiteral("News"), 0);
    errors = opt.AddFolder(QStringLiteral("ERRORS"), alerts, QStringLiteral("Errors"), XTreeOpt::kCheckFolder);
    failed = opt.AddCheck(QStringLiteral("FAILED"), errors, QStringLiteral("Failed downloads"), 0);
    opt.ExpandAll();
  }

  XTreeOpt opt;
  OptNode *settings{}, *autoRun{}, *updates{}, *min0{}, *userTime{}, *alerts{}, *news{}, *errors{}, *failed{};
};

TEST_F(XTreeOptTest, PicturesFolderTypesAndKinds) {
  const QStringList builtIn{QStringLiteral("FOLDERCLOSED"), QStringLiteral("FOLDEROPEN"), QStringLiteral("OPTIONYES3D"),
                            QStringLiteral("OPTIONNO3D"),   QStringLiteral("CHECK_YES3D"), QStringLiteral("CHECK_NO3D"),
                            QStringLiteral("CHECK_PART3D"), QStringLiteral("OPTIONYES95"), QStringLiteral("OPTIONNO95"),
                            QStringLiteral("CHECK_YES95"),  QStringLiteral("CHECK_NO95"),  QStringLiteral("CHECK_PART95")};
  EXPECT_EQ(opt.InternalImageList().Keys(), builtIn);
  EXPECT_EQ(opt.IconSet(), 1);

  QPixmap red(16, 16);
  red.fill(Qt::red);
  ASSERT_TRUE(opt.AddFolderType(QIcon(red), QIcon(), QStringLiteral("site")));
  EXPECT_FALSE(opt.AddFolderType(QIcon(), QIcon(), QStringLiteral("broken"))) << "no picture, no folder type";
  const QStringList keys = opt.InternalImageList().Keys();
  ASSERT_EQ(keys.size(), 14);
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^FOLDER@\\d{6}@2:CLOSED$")).match(keys[12]).hasMatch()) << qPrintable(keys[12]);
  EXPECT_EQ(keys[13], keys[12].chopped(6) + QStringLiteral("OPEN"));

  OptNode* site = opt.AddFolder(QStringLiteral("S"), nullptr, QStringLiteral("Site"), 3, QStringLiteral("site"));
  OptNode* unknown = opt.AddFolder(QStringLiteral("U"), nullptr, QStringLiteral("Unknown"), 3, QStringLiteral("broken"));
  OptNode* bare = opt.AddFolder(QStringLiteral("B"), nullptr, QStringLiteral("Bare"), 3);
  OptNode* plain = opt.AddFolder(QStringLiteral("P"), nullptr, QStringLiteral("Plain"), 99);
  EXPECT_EQ(site->Image(), keys[12]);
  EXPECT_EQ(unknown->Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_TRUE(opt.InternalImageList().icon(bare->Image()).isNull()) << "no picture";
  EXPECT_EQ(plain->Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_EQ(opt.FolderType(QStringLiteral("S")), 3);
  EXPECT_EQ(opt.FolderType(QStringLiteral("B")), 1) << "still a folder";
  EXPECT_EQ(opt.FolderType(QStringLiteral("P")), 1);

  // Opening and closing swap the pictures of every folder type.
  opt.AddCheck(QStringLiteral("S1"), site, QStringLiteral("In site"), 0);
  opt.AddCheck(QStringLiteral("P1"), plain, QStringLiteral("In plain"), 0);
  opt.ExpandAll();
  EXPECT_EQ(site->Image(), keys[13]);
  EXPECT_EQ(plain->Image(), QStringLiteral("FOLDEROPEN"));
  site->setExpanded(false);
  EXPECT_EQ(site->Image(), keys[12]);

  opt.ChangeFolderIcon(QStringLiteral("P"), QStringLiteral("site"));
  EXPECT_EQ(plain->Image(), keys[12]);
  OptNode* checkFolder = opt.AddFolder(QStringLiteral("C"), nullptr, QStringLiteral("Checks"), 2);
  opt.ChangeFolderIcon(QStringLiteral("C"), QStringLiteral("site"));
  EXPECT_EQ(checkFolder->Image(), QStringLiteral("CHECK_YES95")) << "a check folder keeps its state";
  EXPECT_EQ(opt.FolderType(QStringLiteral("C")), 2);

  // Clear keeps the folder types.
  opt.Clear();
  EXPECT_TRUE(opt.NodesCollection().isEmpty());
  EXPECT_EQ(opt.AddFolder(QStringLiteral("S"), nullptr, QStringLiteral("Site"), 3, QStringLiteral("site"))->Image(), keys[12]);
}

TEST_F(XTreeOptTest, OptionGroupsHaveOneSelectedOption) {
  build();
  QSignalSpy options(&opt, &XTreeOpt::OptionClick);
  EXPECT_EQ(opt.Value(QStringLiteral("MIN0")), 1) << "the first option of a group starts on";
  EXPECT_EQ(opt.Value(QStringLiteral("USER_TIME")), 0);

  // A folder and a nested group beside the options are not part of their group.
  OptNode* more = opt.AddFolder(QStringLiteral("MORE"), updates, QStringLiteral("More"), 1);
  OptNode* inner = opt.AddOption(QStringLiteral("INNER"), more, QStringLiteral("Disabled"));
  OptNode* twin = opt.AddOption(QStringLiteral("TWIN"), updates, QStringLiteral("Disabled"));
  EXPECT_EQ(opt.Value(QStringLiteral("TWIN")), 0);
  opt.ExpandAll();

  click(userTime);
  EXPECT_EQ(Images({min0, userTime, twin}), (QStringList{QStringLiteral("OPTIONNO95"), QStringLiteral("OPTIONYES95"), QStringLiteral("OPTIONNO95")}));
  ASSERT_EQ(options.count(), 1);
  EXPECT_EQ(options[0][0].value<OptNode*>(), userTime);
  EXPECT_EQ(more->Image(), QStringLiteral("FOLDEROPEN"));
  EXPECT_EQ(inner->Image(), QStringLiteral("OPTIONYES95"));

  // Clicking the selected option changes nothing, except "USER_TIME".
  click(userTime);
  EXPECT_EQ(options.count(), 2) << "USER_TIME is clicked again";
  click(twin);
  click(twin);
  EXPECT_EQ(options.count(), 3);
  EXPECT_EQ(Images({min0, userTime, twin}), (QStringList{QStringLiteral("OPTIONNO95"), QStringLiteral("OPTIONNO95"), QStringLiteral("OPTIONYES95")}));
  EXPECT_EQ(opt.Value(QStringLiteral("MIN0")), 0) << "same caption as TWIN, still its own option";

  // Switching an option off with the value setter leaves it on.
  opt.setValue(QStringLiteral("TWIN"), 0);
  EXPECT_EQ(opt.Value(QStringLiteral("TWIN")), 1);
  EXPECT_EQ(options.count(), 3);

  // Options at the top level form a group too.
  XTreeOpt top;
  top.AddOption(QStringLiteral("A"), nullptr, QStringLiteral("A"));
  top.AddOption(QStringLiteral("B"), nullptr, QStringLiteral("B"));
  EXPECT_EQ(top.Value(QStringLiteral("A")), 1);
  EXPECT_EQ(top.Value(QStringLiteral("B")), 0);
}

TEST_F(XTreeOptTest, ChecksShowTheStateOfTheChecksTheyHold) {
  build();
  QSignalSpy checks(&opt, &XTreeOpt::CheckClick);
  EXPECT_EQ(opt.Value(QStringLiteral("ALERTS")), 0) << "a check folder follows the unchecked checks added to it";
  EXPECT_EQ(opt.Value(QStringLiteral("ERRORS")), 0);

  click(news);
  EXPECT_EQ(opt.Value(QStringLiteral("ALERTS")), 2);
  click(failed);
  EXPECT_EQ(opt.Value(QStringLiteral("ERRORS")), 1);
  EXPECT_EQ(opt.Value(QStringLiteral("ALERTS")), 1);
  click(news);
  EXPECT_EQ(opt.Value(QStringLiteral("ALERTS")), 2);
  click(failed);
  EXPECT_EQ(Images({alerts, news, errors, failed}),
            (QStringList{QStringLiteral("CHECK_NO95"), QStringLiteral("CHECK_NO95"), QStringLiteral("CHECK_NO95"), QStringLiteral("CHECK_NO95")}));
  ASSERT_EQ(checks.count(), 4);
  EXPECT_EQ(checks[0][1].toInt(), 1);
  EXPECT_EQ(checks[3][0].value<OptNode*>(), failed);
  EXPECT_EQ(checks[3][1].toInt(), 0);

  // A partial check becomes checked with all it holds.
  click(failed);
  ASSERT_EQ(opt.Value(QStringLiteral("ALERTS")), 2);
  click(alerts);
  EXPECT_EQ(Images({alerts, news, errors, failed}),
            (QStringList{QStringLiteral("CHECK_YES95"), QStringLiteral("CHECK_YES95"), QStringLiteral("CHECK_YES95"), QStringLiteral("CHECK_YES95")}));
  EXPECT_EQ(checks.last()[1].toInt(), 1);
  click(alerts);
  EXPECT_EQ(opt.Value(QStringLiteral("FAILED")), 0);

  // From partial, setting 0 goes through checked: two events.
  click(news);
  checks.clear();
  opt.setValue(QStringLiteral("ALERTS"), 0);
  ASSERT_EQ(checks.count(), 2);
  EXPECT_EQ(checks[0][1].toInt(), 1);
  EXPECT_EQ(checks[1][1].toInt(), 0);

  // A plain folder ends the chain, and a folder inside a check stays a folder.
  OptNode* inside = opt.AddFolder(QStringLiteral("INSIDE"), alerts, QStringLiteral("More"), 1);
  click(alerts);
  EXPECT_EQ(inside->Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_EQ(opt.Value(QStringLiteral("ALERTS")), 1) << "checked: all its checks are";
  click(autoRun);
  EXPECT_EQ(settings->Image(), QStringLiteral("FOLDEROPEN"));
  EXPECT_EQ(opt.NodeCheckType(QStringLiteral("AUTO_RUN")), 1);
  opt.setNodeCheckType(QStringLiteral("AUTO_RUN"), 2);  // ignored
  opt.setNodeCheckType(QStringLiteral("AUTO_RUN"), 0);
  EXPECT_EQ(opt.Value(QStringLiteral("AUTO_RUN")), 0);
}

TEST_F(XTreeOptTest, MisuseRaisesTheNumberedErrors) {
  build();
  QString text;
  EXPECT_EQ(ErrorOf([&] { opt.AddOption(QStringLiteral("X"), news, QStringLiteral("x")); }, &text), 0x80040619u);
  EXPECT_EQ(text, QStringLiteral("Option cannot be added to the chosen item."));
  EXPECT_EQ(ErrorOf([&] { opt.AddOption(QStringLiteral("X"), alerts, QStringLiteral("x")); }, &text), 0x80040619u);
  EXPECT_EQ(ErrorOf([&] { opt.AddOption(QStringLiteral("X"), settings, QStringLiteral("x")); }, &text), 0x8004061Au);
  EXPECT_EQ(text, QStringLiteral("Option cannot be added to a folder containing check boxes."));
  EXPECT_EQ(ErrorOf([&] { opt.Value(QStringLiteral("SETTINGS")); }, &text), 0x8004061Bu);
  EXPECT_EQ(text, QStringLiteral("Folder nodes do not have a value."));
  EXPECT_EQ(ErrorOf([&] { opt.setValue(QStringLiteral("UPDATES"), 1); }), 0x8004061Bu);
  EXPECT_EQ(ErrorOf([&] { opt.setValue(QStringLiteral("NEWS"), 2); }, &text), 0x8004061Cu);
  EXPECT_EQ(text, QStringLiteral("You cannot set the value of a node to 'partial'."));
  EXPECT_EQ(ErrorOf([&] { opt.FolderType(QStringLiteral("MIN0")); }, &text), 0x8004061Du);
  EXPECT_EQ(text, QStringLiteral("Option nodes do not have a folder type."));
  EXPECT_EQ(ErrorOf([&] { opt.Value(QStringLiteral("NO SUCH KEY")); }), 35601u);
  EXPECT_EQ(ErrorOf([&] { opt.Nodes(0); }), 35601u);
  EXPECT_EQ(ErrorOf([&] { opt.AddCheck(QStringLiteral("NEWS"), nullptr, QStringLiteral("again"), 0); }), 35602u);
  EXPECT_FALSE(opt.NodesCollection().isEmpty());

  // Checks and options never share a group; refusing a check is no error.
  const int count = opt.NodesCollection().size();
  EXPECT_EQ(opt.AddCheck(QStringLiteral("X"), updates, QStringLiteral("x"), 1), nullptr);
  EXPECT_EQ(opt.AddCheck(QStringLiteral("X"), min0, QStringLiteral("x"), 1), nullptr);
  EXPECT_EQ(opt.AddFolder(QStringLiteral("X"), updates, QStringLiteral("x"), XTreeOpt::kCheckFolder), nullptr);
  EXPECT_EQ(opt.NodesCollection().size(), count);
  EXPECT_EQ(opt.Nodes(count), failed);
  EXPECT_EQ(failed->Index(), count);
}

TEST_F(XTreeOptTest, LockedStopsClicksButNotTheProgram) {
  build();
  opt.tree()->setCurrentItem(nullptr);
  const QImage normal = opt.grab().toImage();
  QSignalSpy checks(&opt, &XTreeOpt::CheckClick);
  QSignalSpy options(&opt, &XTreeOpt::OptionClick);
  QSignalSpy folders(&opt, &XTreeOpt::FolderClick);
  opt.setLocked(true);
  EXPECT_NE(opt.grab().toImage(), normal) << "drawn ghosted";
  click(news);
  click(userTime);
  click(settings);
  opt.tree()->setFocus();
  opt.tree()->setCurrentItem(news);
  QTest::keyClick(opt.tree(), Qt::Key_Space);
  EXPECT_EQ(opt.Value(QStringLiteral("NEWS")), 0);
  EXPECT_EQ(opt.Value(QStringLiteral("USER_TIME")), 0);
  EXPECT_EQ(checks.count() + options.count() + folders.count(), 0);

  opt.setValue(QStringLiteral("NEWS"), 1);
  opt.setValue(QStringLiteral("USER_TIME"), 1);
  EXPECT_EQ(checks.count(), 1);
  EXPECT_EQ(options.count(), 1);
  EXPECT_TRUE(opt.Locked());
  click(news);
  EXPECT_EQ(opt.Value(QStringLiteral("NEWS")), 1) << "still locked";

  opt.setLocked(false);
  opt.setValue(QStringLiteral("NEWS"), 0);
  opt.setValue(QStringLiteral("MIN0"), 1);
  opt.tree()->setCurrentItem(nullptr);
  opt.tree()->clearFocus();
  EXPECT_EQ(opt.grab().toImage(), normal);
  click(settings);
  EXPECT_EQ(folders.count(), 1);
}

TEST_F(XTreeOptTest, IconSetsRenameTheStatePictures) {
  build();
  click(news);
  opt.setIconSet(0);
  EXPECT_EQ(Images({settings, autoRun, min0, userTime, alerts, news}),
            (QStringList{QStringLiteral("FOLDEROPEN"), QStringLiteral("CHECK_NO3D"), QStringLiteral("OPTIONYES3D"),
                         QStringLiteral("OPTIONNO3D"), QStringLiteral("CHECK_PART3D"), QStringLiteral("CHECK_YES3D")}));
  opt.setIconSet(1);
  EXPECT_EQ(news->Image(), QStringLiteral("CHECK_YES95"));
  // Through a set without a suffix and back, the keys stay whole.
  opt.setIconSet(7);
  EXPECT_EQ(news->Image(), QStringLiteral("CHECK_YES"));
  opt.setIconSet(1);
  EXPECT_EQ(news->Image(), QStringLiteral("CHECK_YES95"));
  EXPECT_EQ(opt.NodeCheckType(QStringLiteral("NEWS")), 1);

  // A replaced picture is the one drawn.
  QPixmap green(16, 16);
  green.fill(Qt::green);
  opt.setCheckPicture(1, QIcon(green));
  EXPECT_EQ(news->data(0, Qt::DecorationRole).value<QIcon>().pixmap(16).toImage().pixel(8, 8), QColor(Qt::green).rgb());
  EXPECT_EQ(opt.CheckPicture(1).pixmap(16).toImage().pixel(8, 8), QColor(Qt::green).rgb());
}

TEST_F(XTreeOptTest, KeyboardAndMouse) {
  build();
  QSignalSpy checks(&opt, &XTreeOpt::CheckClick);
  QSignalSpy white(&opt, &XTreeOpt::WhiteAreaClicked);
  QSignalSpy downs(&opt, &XTreeOpt::MouseDown);
  QSignalSpy ups(&opt, &XTreeOpt::MouseUp);
  QTreeWidget* tree = opt.tree();
  tree->setFocus();
  tree->setCurrentItem(settings);

  // Down to the check, Space and Enter toggle it; a held key toggles once.
  QTest::keyClick(tree, Qt::Key_Down);
  ASSERT_EQ(opt.SelectedNode(), autoRun);
  QTest::keyClick(tree, Qt::Key_Space);
  EXPECT_EQ(opt.Value(QStringLiteral("AUTO_RUN")), 1);
  QTest::keyClick(tree, Qt::Key_Return);
  EXPECT_EQ(opt.Value(QStringLiteral("AUTO_RUN")), 0);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
  QApplication::sendEvent(tree, &repeat);
  EXPECT_EQ(checks.count(), 2);
  // Deselected, the focused node still takes the keys.
  autoRun->setSelected(false);
  QTest::keyClick(tree, Qt::Key_Enter);
  EXPECT_EQ(opt.Value(QStringLiteral("AUTO_RUN")), 1);
  QTest::keyClick(tree, Qt::Key_Down);
  QTest::keyClick(tree, Qt::Key_Down);
  QTest::keyClick(tree, Qt::Key_Down);
  ASSERT_EQ(tree->currentItem(), userTime);
  QTest::keyClick(tree, Qt::Key_Space);
  EXPECT_EQ(opt.Value(QStringLiteral("USER_TIME")), 1);

  // Mouse: a click on a node toggles it, a double click twice; the expander
  // toggles nothing; empty space is the white area.
  checks.clear();
  downs.clear();
  click(news);
  EXPECT_EQ(checks.count(), 1);
  EXPECT_EQ(white.count(), 0);
  ASSERT_EQ(downs.count(), 1);
  const QPoint atNews = tree->viewport()->mapTo(&opt, centreOf(news));
  EXPECT_EQ(downs[0][2].toInt(), atNews.x());
  EXPECT_EQ(downs[0][3].toInt(), atNews.y());
  EXPECT_EQ(ups.count(), 1);
  click(news);
  QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centreOf(news));
  QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, centreOf(news));
  EXPECT_EQ(checks.count(), 3);
  click(failed, Qt::RightButton);
  EXPECT_EQ(checks.count(), 3) << "only the left button toggles";
  const QRect errorsRow = tree->visualItemRect(errors);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(errorsRow.left() - tree->indentation() / 2, errorsRow.center().y()));
  EXPECT_FALSE(errors->isExpanded());
  EXPECT_EQ(checks.count(), 3);
  EXPECT_EQ(white.count(), 0);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(10, tree->viewport()->height() - 5));
  EXPECT_EQ(white.count(), 1);
}

TEST_F(XTreeOptTest, PropertiesReachTheTree) {
  build();
  QTreeWidget* tree = opt.tree();
  opt.setBackColor(Qt::yellow);
  opt.setForeColor(Qt::blue);
  opt.setBackColor(QColor());
  EXPECT_EQ(opt.BackColor(), QApplication::palette().color(QPalette::Base)) << "back to the desktop's colour";
  EXPECT_EQ(opt.ForeColor(), QColor(Qt::blue));

  // Selecting a folder opens it and closes the branch left behind.
  tree->collapseAll();
  opt.setSingleClickExpand(true);
  tree->setCurrentItem(settings);
  tree->setCurrentItem(updates);
  EXPECT_TRUE(settings->isExpanded());
  EXPECT_TRUE(updates->isExpanded());
  tree->setCurrentItem(alerts);
  EXPECT_TRUE(alerts->isExpanded());
  EXPECT_FALSE(updates->isExpanded());

  opt.setSorted(true);
  EXPECT_EQ(tree->topLevelItem(0), alerts);
}

TEST_F(XTreeOptTest, ScreenReadersHearNamesKindsAndStates) {
  build();
  click(news);
  QAccessibleInterface* treeAccess = QAccessible::queryAccessibleInterface(opt.tree());
  ASSERT_NE(treeAccess, nullptr);
  QMap<QString, QAccessibleInterface*> cells;
  for (int i = 0; i < treeAccess->childCount(); ++i) {
    QAccessibleInterface* cell = treeAccess->child(i);
    if (cell) cells.insert(cell->text(QAccessible::Name), cell);
  }
  ASSERT_TRUE(cells.contains(QStringLiteral("News")));
  QAccessibleInterface* newsCell = cells[QStringLiteral("News")];
  EXPECT_EQ(newsCell->role(), QAccessible::CheckBox);
  EXPECT_TRUE(newsCell->state().checkable);
  EXPECT_TRUE(newsCell->state().checked);
  EXPECT_EQ(cells[QStringLiteral("Alerts")]->role(), QAccessible::CheckBox);
  EXPECT_TRUE(cells[QStringLiteral("Alerts")]->state().checkStateMixed);
  EXPECT_TRUE(cells[QStringLiteral("Disabled")]->state().checked);
  EXPECT_EQ(cells[QStringLiteral("Disabled")]->role(), QAccessible::RadioButton);
  EXPECT_FALSE(cells[QStringLiteral("User Defined (30 minutes)")]->state().checked);
  EXPECT_FALSE(cells[QStringLiteral("Settings")]->state().checkable);
  EXPECT_EQ(cells[QStringLiteral("Settings")]->role(), QAccessible::TreeItem);

  // "Toggle" toggles its own row, as Space on it would.
  opt.tree()->setCurrentItem(settings);
  newsCell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(opt.Value(QStringLiteral("NEWS")), 0);
  EXPECT_EQ(opt.tree()->currentItem(), news);
  EXPECT_FALSE(newsCell->state().checked);
}

TEST_F(XTreeOptTest, NodesLabelsAndTheBackground) {
  build();
  // Removing a node takes its children out of the collection too.
  opt.RemoveNode(QStringLiteral("ERRORS"));
  EXPECT_EQ(opt.NodesCollection().size(), 7);
  EXPECT_EQ(ErrorOf([&] { opt.Nodes(QStringLiteral("FAILED")); }), 35601u);
  EXPECT_EQ(news->Index(), 7);

  // Labels are edited with F2 unless BeforeLabelEdit cancels.
  bool refuse = true;
  QObject::connect(&opt, &XTreeOpt::BeforeLabelEdit, &opt, [&](bool& cancel) { cancel = refuse; });
  QObject::connect(&opt, &XTreeOpt::AfterLabelEdit, &opt, [](bool&, QString& text) { text = text.trimmed(); });
  QTreeWidget* tree = opt.tree();
  tree->setFocus();
  tree->setCurrentItem(news);
  QTest::keyClick(tree, Qt::Key_F2);
  EXPECT_EQ(tree->findChild<QLineEdit*>(), nullptr);
  refuse = false;
  QTest::keyClick(tree, Qt::Key_F2);
  auto* editor = tree->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QApplication::processEvents();  // the tree's own layout after the removal
  editor->setText(QStringLiteral("  Breaking news "));
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the edit is committed from the event loop
  EXPECT_EQ(news->Text(), QStringLiteral("Breaking news"));
  EXPECT_EQ(opt.Value(QStringLiteral("NEWS")), 0) << "Enter in the editor toggles nothing";

  // Bold and tags.
  EXPECT_EQ(opt.SelectedNode(), news);
  opt.setSelectedNodeIsBold(true);
  EXPECT_TRUE(news->Bold());
  EXPECT_TRUE(opt.SelectedNodeIsBold());
  userTime->setTag(30);
  EXPECT_EQ(opt.Nodes(QStringLiteral("USER_TIME"))->Tag().toInt(), 30);

  // The background painter comes and goes with the picture.
  QPixmap tile(8, 8);
  tile.fill(Qt::yellow);
  opt.setBackgroundPicture(tile);
  ASSERT_NE(opt.backgroundPainter(), nullptr);
  EXPECT_TRUE(GSubclass::IsSubclassed(tree->viewport()));
  EXPECT_EQ(opt.grab().toImage().pixel(opt.width() - 30, opt.height() - 10), QColor(Qt::yellow).rgb());
  opt.setBackgroundPicture(QPixmap());
  EXPECT_EQ(opt.backgroundPainter(), nullptr);
  EXPECT_FALSE(GSubclass::IsSubclassed(tree->viewport()));
}

}  // namespace
}  // namespace tw
