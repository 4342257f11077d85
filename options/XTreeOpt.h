#pragma once

#include "options/OptNode.h"
#include "hooks/ControlError.h"
#include "widgets/ImageList.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QWidget>

#include <memory>
#include <optional>

namespace tw {

class cTVBackground;
class OptTreeView;

// XTreeOpt: a settings tree of folders, option buttons (one of a group on)
// and check boxes (a check holding checks shows whether all, none or some of
// them are on). Every node's kind and state is its image key in the control's
// image list (InternalImageList), so the state is always what the user sees:
// "FOLDER..." folders, "OPTIONYES"/"OPTIONNO" options and
// "CHECK_YES"/"CHECK_NO"/"CHECK_PART" checks, the last two followed by the
// icon set's suffix ("3D" for IconSet 0, "95" for 1).
//
// Nodes are found by key or by index (their place in NodesCollection, from
// 1). Values: 0 off, 1 on, 2 partial (checks only). A user changes values by
// clicking a node or pressing Space or Enter on it; the program through
// setValue, which raises the same events. Events are raised synchronously.
//
// Misuse throws ControlError with the source "<program>.XTreeOpt".
class XTreeOpt : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int IconSet READ IconSet WRITE setIconSet)
  Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
  Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
  Q_PROPERTY(bool SingleClickExpand READ SingleClickExpand WRITE setSingleClickExpand)
  Q_PROPERTY(bool FullRowSelect READ FullRowSelect WRITE setFullRowSelect)
  Q_PROPERTY(bool TrackSelect READ TrackSelect WRITE setTrackSelect)
  Q_PROPERTY(bool HideSelection READ HideSelection WRITE setHideSelection)
  Q_PROPERTY(double Indentation READ Indentation WRITE setIndentation)
  Q_PROPERTY(int Style READ Style WRITE setStyle)
  Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
  Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
  Q_PROPERTY(QFont Font READ Font WRITE setFont)
  Q_PROPERTY(bool SelectedNodeIsBold READ SelectedNodeIsBold WRITE setSelectedNodeIsBold)
  Q_PROPERTY(QPixmap BackgroundPicture READ BackgroundPicture WRITE setBackgroundPicture)

 public:
  // Error numbers.
  static constexpr std::uint32_t kOptionUnderCheck = ControlError::kObjectError + 0x619;
  static constexpr std::uint32_t kOptionBesideChecks = ControlError::kObjectError + 0x61A;
  static constexpr std::uint32_t kFolderHasNoValue = ControlError::kObjectError + 0x61B;
  static constexpr std::uint32_t kNoPartialValue = ControlError::kObjectError + 0x61C;
  static constexpr std::uint32_t kOptionHasNoFolderType = ControlError::kObjectError + 0x61D;
  // The tree's own: no node with that key or index; a key given twice.
  static constexpr std::uint32_t kElementNotFound = 35601;
  static constexpr std::uint32_t kKeyNotUnique = 35602;

  // AddFolder's folder types (any other value gives a standard folder).
  static constexpr int kStandardFolder = 1;
  static constexpr int kCheckFolder = 2;
  static constexpr int kCustomFolder = 3;
  // The one option that raises OptionClick again when clicked while on.
  static constexpr const char* kUserTimeKey = "USER_TIME";

  explicit XTreeOpt(QWidget* parent = nullptr);
  ~XTreeOpt() override;

  // --- Methods ---
  // A folder under nodParent (the top level when null). Types: standard 1,
  // check folder 2 (a check node, initially checked), custom 3 (the closed
  // picture of the folder type keyed FolderIconsKey; the standard folder when
  // no type has that key; no picture when FolderIconsKey is not given).
  // bBold selects the node and makes it bold. Throws kKeyNotUnique for a key
  // already in the tree (an empty key may repeat). A check folder is refused
  // (null) where AddCheck refuses a check.
  OptNode* AddFolder(const QString& Key, OptNode* nodParent, const QString& Text, int FolderType,
                     const std::optional<QString>& FolderIconsKey = std::nullopt, bool bBold = false,
                     const QVariant& sTag = QVariant());
  // A custom folder type: its pictures (picClosed for both when picOpen is
  // null) go into the image list under "FOLDER@hhmmss@n:CLOSED" / ":OPEN".
  // False, and no folder type, when a picture cannot be added.
  bool AddFolderType(const QIcon& picClosed, const QIcon& picOpen, const QString& Key);
  // An option as the last child of nodParent. It starts on when no option of
  // its group is on yet, so the first option of a group is the selected one.
  // Throws kOptionUnderCheck under a check, kOptionBesideChecks where the
  // group holds checks.
  OptNode* AddOption(const QString& Key, OptNode* nodParent, const QString& Text, bool bBold = false);
  // A check: CheckType 0 unchecked, 1 checked, 2 partial. Refused (null, no
  // error) under an option or where the group holds options, so checks and
  // options never share a group.
  OptNode* AddCheck(const QString& Key, OptNode* nodParent, const QString& Text, int CheckType, bool bBold = false);
  // Gives a folder the closed picture of another folder type; bState has no
  // effect. Nodes that are not folders keep their picture.
  void ChangeFolderIcon(const QString& Key, const std::optional<QString>& FolderIconsKey, bool bState = false);
  void RemoveNode(const QString& Key);
  // Every node goes; the folder types stay.
  void Clear();
  void ExpandAll();
  void Refresh();

  // --- Node properties (by index from 1, or by key) ---
  // Throws kFolderHasNoValue for a folder.
  int Value(int index) const;
  int Value(const QString& key) const;
  // 0 or 1 acts like a user's click (events included), also while Locked;
  // from partial, 0 clicks twice. An option is switched off only by
  // switching another one on. Throws kNoPartialValue for 2,
  // kFolderHasNoValue for a folder.
  void setValue(int index, int value);
  void setValue(const QString& key, int value);
  // 1 "YES", 0 "NO", 2 "PART" in the image key (0 for a folder). Setting 0
  // or 1 works like setValue when the state differs; 2 is ignored.
  int NodeCheckType(int index) const;
  int NodeCheckType(const QString& key) const;
  void setNodeCheckType(int index, int type);
  void setNodeCheckType(const QString& key, int type);
  // Standard folder 1, custom folder 3, any check 2. Throws
  // kOptionHasNoFolderType for an option.
  int FolderType(int index) const;
  int FolderType(const QString& key) const;
  OptNode* Nodes(int index) const;
  OptNode* Nodes(const QString& key) const;
  const QList<OptNode*>& NodesCollection() const { return nodes_; }
  OptNode* SelectedNode() const;
  ImageList& InternalImageList() { return ilsIcons_; }
  const ImageList& InternalImageList() const { return ilsIcons_; }
  // tvwOpt, the inner tree.
  QTreeWidget* tree() const;

  // --- Control properties ---
  int IconSet() const { return iconSet_; }
  void setIconSet(int iconSet);
  // While locked no click changes a value (setValue still does) and every
  // node is drawn ghosted, in the disabled text colour.
  bool Locked() const { return locked_; }
  void setLocked(bool locked);
  bool SingleClickExpand() const { return singleClickExpand_; }
  void setSingleClickExpand(bool on) { singleClickExpand_ = on; }
  bool FullRowSelect() const;
  void setFullRowSelect(bool on);
  // Hot tracking: the node under the mouse is underlined.
  bool TrackSelect() const;
  void setTrackSelect(bool on);
  // The selection shows only while the tree has the focus.
  bool HideSelection() const;
  void setHideSelection(bool on);
  void setSorted(bool sorted);
  // In twips.
  double Indentation() const { return indentation_; }
  void setIndentation(double twips);
  // Tree-view style 0 to 7: pictures (1), expand buttons (2), lines (4).
  int Style() const;
  void setStyle(int style);
  using QWidget::setStyle;
  // An invalid colour stands for the desktop's own (window, window text).
  QColor BackColor() const;
  void setBackColor(const QColor& color);
  QColor ForeColor() const;
  void setForeColor(const QColor& color);
  QFont Font() const { return font(); }
  bool SelectedNodeIsBold() const;
  void setSelectedNodeIsBold(bool bold);
  // The pictures of the current icon set.
  QIcon OptionPicture(bool on) const;
  void setOptionPicture(bool on, const QIcon& picture);
  QIcon CheckPicture(int value) const;
  void setCheckPicture(int value, const QIcon& picture);
  // Tiled behind the nodes, fixed to the tree's content; null for none.
  QPixmap BackgroundPicture() const { return backgroundPicture_; }
  void setBackgroundPicture(const QPixmap& picture);
  cTVBackground* backgroundPainter() const { return background_.get(); }

 Q_SIGNALS:
  void OptionClick(tw::OptNode* ItemNode);
  void FolderClick(tw::OptNode* ItemNode);
  void CheckClick(tw::OptNode* ItemNode, int Value);
  // Label editing (F2): set Cancel to refuse; NewString may be changed.
  void AfterLabelEdit(bool& Cancel, QString& NewString);
  void BeforeLabelEdit(bool& Cancel);
  // Button(s), modifier keys and the pointer in the control's coordinates.
  void MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseDown(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, int X, int Y);
  void MouseUp(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, int X, int Y);
  // A click on no node at all.
  void WhiteAreaClicked();

 private:
  friend class OptTreeView;
  friend class OptItemDelegate;

  struct FolderTypeEntry {
    QString key;
    QString openImage;
    QString closedImage;
  };

  [[noreturn]] static void Raise(std::uint32_t number, const char* description);
  OptNode* find(int index) const;
  OptNode* find(const QString& key) const;
  OptNode* insert(const QString& key, OptNode* parent, const QString& text, const QString& image);
  void makeSelectedBold(OptNode* node);
  QString customFolderImage(const std::optional<QString>& folderIconsKey) const;
  QList<OptNode*> group(OptNode* parent) const;
  // Whether a check may go under parent: not under an option, nor beside one.
  bool checkFits(OptNode* parent) const;
  QString optionImage(bool on) const;
  QString checkImage(int value) const;

  int valueOf(const OptNode* node) const;
  void changeValue(OptNode* node, int value);
  static int checkTypeOf(const OptNode* node);
  void changeCheckType(OptNode* node, int type);
  static int folderTypeOf(const OptNode* node);

  // The node click, from a user or from setValue.
  void NodeClick(OptNode* node);
  void setCheckDescendants(OptNode* node, const QString& image);
  void refreshCheckAncestors(OptNode* node);
  void folderExpanded(QTreeWidgetItem* item, bool expanded);
  void currentNodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  void applyColours();

  // From tvwOpt.
  void treeMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void treeMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void treeMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
  void treeNodeClick(OptNode* node);
  void treeClick(bool onNode);
  void treeToggleKey(OptNode* current);
  void treeOtherKey();
  bool labelEditStarting();
  void labelEdited(bool& cancel, QString& text);

  OptTreeView* tvwOpt_;
  ImageList ilsIcons_{ImageList::Fallback::None};
  QList<FolderTypeEntry> folderTypes_;
  QList<OptNode*> nodes_;
  QHash<QString, OptNode*> keys_;
  int iconSet_ = 1;
  bool locked_ = false;
  bool singleClickExpand_ = false;
  double indentation_ = 256.25;
  QColor backColor_;
  QColor foreColor_;
  // Set by a button press and by Space or Enter, cleared by any other key:
  // a node click changes values only while it is set.
  bool userToggle_ = false;
  // Set by every node click; the tree's plain click clears it.
  bool nodeClicked_ = false;
  QPixmap backgroundPicture_;
  std::unique_ptr<cTVBackground> background_;
};

}  // namespace tw
