#include "options/XTreeOpt.h"

#include "options/OptImages.h"
#include "options/OptTreeView.h"
#include "widgets/FlagScope.h"
#include "widgets/Twips.h"
#include "widgets/cTVBackground.h"

#include <QTime>
#include <QVBoxLayout>

namespace tw {
namespace {

using namespace optimages;

// A folder made without pictures: a folder by its key, with no picture in the list.
const char* const kPicturelessFolder = "FOLDER";
const char* const kCustomFolderPrefix = "FOLDER@";

}  // namespace

XTreeOpt::XTreeOpt(QWidget* parent) : QWidget(parent), tvwOpt_(new OptTreeView(*this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tvwOpt_);
  setFocusProxy(tvwOpt_);

  for (const auto& [key, picture] : BuiltInPictures()) ilsIcons_.Add(key, picture);
  folderTypes_.append({QString(), QString::fromLatin1(kFolderOpen), QString::fromLatin1(kFolderClosed)});
  setIndentation(indentation_);
  setTrackSelect(true);

  connect(tvwOpt_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { folderExpanded(item, true); });
  connect(tvwOpt_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { folderExpanded(item, false); });
  connect(tvwOpt_, &QTreeWidget::currentItemChanged, this, &XTreeOpt::currentNodeChanged);
}

// The painter lets go of the tree before the tree goes.
XTreeOpt::~XTreeOpt() { background_.reset(); }

QTreeWidget* XTreeOpt::tree() const { return tvwOpt_; }

void XTreeOpt::Raise(std::uint32_t number, const char* description) { ControlError::Raise(number, "XTreeOpt", description); }

// --- Finding and adding nodes ---

OptNode* XTreeOpt::find(int index) const {
  if (index < 1 || index > nodes_.size()) Raise(kElementNotFound, "Element not found");
  return nodes_.at(index - 1);
}

OptNode* XTreeOpt::find(const QString& key) const {
  OptNode* node = keys_.value(key, nullptr);
  if (!node) Raise(kElementNotFound, "Element not found");
  return node;
}

OptNode* XTreeOpt::Nodes(int index) const { return find(index); }
OptNode* XTreeOpt::Nodes(const QString& key) const { return find(key); }

OptNode* XTreeOpt::insert(const QString& key, OptNode* parent, const QString& text, const QString& image) {
  if (parent && parent->treeWidget() != tvwOpt_) Raise(kElementNotFound, "Element not found");
  if (!key.isEmpty() && keys_.contains(key)) Raise(kKeyNotUnique, "Key is not unique in collection");
  auto* node = new OptNode(*this, key, text, image);
  if (parent) {
    parent->addChild(node);
  } else {
    tvwOpt_->addTopLevelItem(node);
  }
  nodes_.append(node);
  if (!key.isEmpty()) keys_.insert(key, node);
  return node;
}

void XTreeOpt::makeSelectedBold(OptNode* node) {
  tvwOpt_->setCurrentItem(node);
  node->setBold(true);
}

QList<OptNode*> XTreeOpt::group(OptNode* parent) const {
  QList<OptNode*> members;
  const int count = parent ? parent->childCount() : tvwOpt_->topLevelItemCount();
  for (int i = 0; i < count; ++i) {
    members.append(static_cast<OptNode*>(parent ? parent->child(i) : tvwOpt_->topLevelItem(i)));
  }
  return members;
}

QString XTreeOpt::optionImage(bool on) const {
  return QLatin1String(on ? kOptionYes : kOptionNo) + Suffix(iconSet_);
}

QString XTreeOpt::checkImage(int value) const {
  return QLatin1String(value == 1 ? kCheckYes : value == 2 ? kCheckPart : kCheckNo) + Suffix(iconSet_);
}

QString XTreeOpt::customFolderImage(const std::optional<QString>& folderIconsKey) const {
  if (!folderIconsKey) return QString::fromLatin1(kPicturelessFolder);
  for (const FolderTypeEntry& entry : folderTypes_) {
    if (entry.key == *folderIconsKey) return entry.closedImage;
  }
  return QString::fromLatin1(kFolderClosed);
}

OptNode* XTreeOpt::AddFolder(const QString& Key, OptNode* nodParent, const QString& Text, int FolderType,
                             const std::optional<QString>& FolderIconsKey, bool bBold, const QVariant& sTag) {
  QString image;
  switch (FolderType) {
    case kCheckFolder:
      if (!checkFits(nodParent)) return nullptr;
      image = checkImage(1);
      break;
    case kCustomFolder: image = customFolderImage(FolderIconsKey); break;
    default: image = QString::fromLatin1(kFolderClosed); break;
  }
  OptNode* node = insert(Key, nodParent, Text, image);
  node->setTag(sTag);
  if (node->Kind() == OptNodeKind::Check) refreshCheckAncestors(node);
  if (bBold) makeSelectedBold(node);
  return node;
}

bool XTreeOpt::AddFolderType(const QIcon& picClosed, const QIcon& picOpen, const QString& Key) {
  const QString base = QLatin1String(kCustomFolderPrefix) + QTime::currentTime().toString(QStringLiteral("hhmmss")) +
                       u'@' + QString::number(folderTypes_.size() + 1);
  const QString closed = base + QStringLiteral(":CLOSED");
  const QString open = base + QStringLiteral(":OPEN");
  if (!ilsIcons_.Add(closed, picClosed)) return false;
  if (!ilsIcons_.Add(open, picOpen.isNull() ? picClosed : picOpen)) {
    ilsIcons_.Remove(closed);
    return false;
  }
  folderTypes_.append({Key, open, closed});
  return true;
}

OptNode* XTreeOpt::AddOption(const QString& Key, OptNode* nodParent, const QString& Text, bool bBold) {
  if (nodParent && nodParent->Kind() == OptNodeKind::Check) Raise(kOptionUnderCheck, "Option cannot be added to the chosen item.");
  const QList<OptNode*> members = group(nodParent);
  bool anyOn = false;
  for (const OptNode* member : members) {
    if (member->Kind() == OptNodeKind::Check) {
      Raise(kOptionBesideChecks, "Option cannot be added to a folder containing check boxes.");
    }
    anyOn = anyOn || (member->Kind() == OptNodeKind::Option && ValueOfImage(member->Image()) == 1);
  }
  OptNode* node = insert(Key, nodParent, Text, optionImage(!anyOn));
  if (bBold) makeSelectedBold(node);
  return node;
}

bool XTreeOpt::checkFits(OptNode* parent) const {
  if (parent && parent->Kind() == OptNodeKind::Option) return false;
  for (const OptNode* member : group(parent)) {
    if (member->Kind() == OptNodeKind::Option) return false;
  }
  return true;
}

OptNode* XTreeOpt::AddCheck(const QString& Key, OptNode* nodParent, const QString& Text, int CheckType, bool bBold) {
  if (!checkFits(nodParent)) return nullptr;
  OptNode* node = insert(Key, nodParent, Text, checkImage(CheckType == 1 || CheckType == 2 ? CheckType : 0));
  refreshCheckAncestors(node);
  if (bBold) makeSelectedBold(node);
  return node;
}

void XTreeOpt::ChangeFolderIcon(const QString& Key, const std::optional<QString>& FolderIconsKey, bool) {
  OptNode* node = find(Key);
  // A check folder keeps its state picture: that is its value.
  if (node->Kind() == OptNodeKind::Folder) node->setImage(customFolderImage(FolderIconsKey));
}

void XTreeOpt::RemoveNode(const QString& Key) {
  OptNode* node = find(Key);
  QList<QTreeWidgetItem*> going{node};
  for (int i = 0; i < going.size(); ++i) {
    for (int c = 0; c < going[i]->childCount(); ++c) going.append(going[i]->child(c));
  }
  for (QTreeWidgetItem* item : going) {
    auto* gone = static_cast<OptNode*>(item);
    nodes_.removeOne(gone);
    if (!gone->Key().isEmpty()) keys_.remove(gone->Key());
  }
  delete node;
}

void XTreeOpt::Clear() {
  tvwOpt_->clear();
  nodes_.clear();
  keys_.clear();
}

void XTreeOpt::ExpandAll() {
  tvwOpt_->setUpdatesEnabled(false);
  for (OptNode* node : nodes_) {
    if (node->childCount() > 0 && !node->isExpanded()) node->setExpanded(true);
  }
  if (!nodes_.isEmpty()) tvwOpt_->scrollToItem(nodes_.first());
  tvwOpt_->setUpdatesEnabled(true);
}

void XTreeOpt::Refresh() { tvwOpt_->viewport()->repaint(); }

// --- Values ---

int XTreeOpt::valueOf(const OptNode* node) const {
  const OptNodeKind kind = node->Kind();
  if (kind != OptNodeKind::Check && kind != OptNodeKind::Option) Raise(kFolderHasNoValue, "Folder nodes do not have a value.");
  return ValueOfImage(node->Image());
}

void XTreeOpt::changeValue(OptNode* node, int value) {
  if (value == 2) Raise(kNoPartialValue, "You cannot set the value of a node to 'partial'.");
  const int current = valueOf(node);
  if (current == value || (value != 0 && value != 1)) return;
  // The program's change goes through even while the user's are locked out.
  FlagScope unlocked(locked_, false);
  FlagScope toggling(userToggle_, true);
  if (value == 0 && current == 2) NodeClick(node);  // partial, then checked, then unchecked
  NodeClick(node);
}

int XTreeOpt::Value(int index) const { return valueOf(find(index)); }
int XTreeOpt::Value(const QString& key) const { return valueOf(find(key)); }
void XTreeOpt::setValue(int index, int value) { changeValue(find(index), value); }
void XTreeOpt::setValue(const QString& key, int value) { changeValue(find(key), value); }

int XTreeOpt::checkTypeOf(const OptNode* node) {
  const QString& image = node->Image();
  if (image.contains(QLatin1String("YES"))) return 1;
  if (image.contains(QLatin1String("PART"))) return 2;
  return 0;
}

void XTreeOpt::changeCheckType(OptNode* node, int type) {
  if ((type == 0 || type == 1) && checkTypeOf(node) != type) changeValue(node, type);
}

int XTreeOpt::NodeCheckType(int index) const { return checkTypeOf(find(index)); }
int XTreeOpt::NodeCheckType(const QString& key) const { return checkTypeOf(find(key)); }
void XTreeOpt::setNodeCheckType(int index, int type) { changeCheckType(find(index), type); }
void XTreeOpt::setNodeCheckType(const QString& key, int type) { changeCheckType(find(key), type); }

int XTreeOpt::folderTypeOf(const OptNode* node) {
  switch (node->Kind()) {
    case OptNodeKind::Option: Raise(kOptionHasNoFolderType, "Option nodes do not have a folder type.");
    case OptNodeKind::Check: return kCheckFolder;
    default: return node->Image().startsWith(QLatin1String(kCustomFolderPrefix)) ? kCustomFolder : kStandardFolder;
  }
}

int XTreeOpt::FolderType(int index) const { return folderTypeOf(find(index)); }
int XTreeOpt::FolderType(const QString& key) const { return folderTypeOf(find(key)); }

OptNode* XTreeOpt::SelectedNode() const {
  const QList<QTreeWidgetItem*> selected = tvwOpt_->selectedItems();
  return selected.isEmpty() ? nullptr : static_cast<OptNode*>(selected.first());
}

// --- The node click ---

void XTreeOpt::NodeClick(OptNode* node) {
  nodeClicked_ = true;
  if (locked_ || !userToggle_) return;
  switch (node->Kind()) {
    case OptNodeKind::Folder: Q_EMIT FolderClick(node); break;
    case OptNodeKind::Check: {
      // Off or partial becomes checked, checked becomes unchecked, and so do
      // the checks inside; the checks around follow.
      const int value = node->Image() == checkImage(1) ? 0 : 1;
      const QString image = checkImage(value);
      node->setImage(image);
      setCheckDescendants(node, image);
      refreshCheckAncestors(node);
      Q_EMIT CheckClick(node, value);
      break;
    }
    case OptNodeKind::Option: {
      if (node->Image() != optionImage(false) && node->Key() != QLatin1String(kUserTimeKey)) return;
      node->setImage(optionImage(true));
      const QString off = optionImage(false);
      for (OptNode* member : group(node->Parent())) {
        if (member != node && member->Kind() == OptNodeKind::Option && member->Image() != off) member->setImage(off);
      }
      Q_EMIT OptionClick(node);
      break;
    }
    case OptNodeKind::Other: break;
  }
}

void XTreeOpt::setCheckDescendants(OptNode* node, const QString& image) {
  for (int i = 0; i < node->childCount(); ++i) {
    OptNode* child = node->Child(i);
    if (child->Kind() != OptNodeKind::Check) continue;
    child->setImage(image);
    setCheckDescendants(child, image);
  }
}

// A check holding checks is checked when all of them are, unchecked when
// none is, partial otherwise; up to the first node that is not a check.
void XTreeOpt::refreshCheckAncestors(OptNode* node) {
  const QString yes = checkImage(1);
  const QString no = checkImage(0);
  for (OptNode* parent = node->Parent(); parent && parent->Kind() == OptNodeKind::Check; parent = parent->Parent()) {
    bool allYes = true;
    bool allNo = true;
    for (const OptNode* child : group(parent)) {
      if (child->Kind() != OptNodeKind::Check) continue;
      allYes = allYes && child->Image() == yes;
      allNo = allNo && child->Image() == no;
    }
    parent->setImage(allYes ? yes : allNo ? no : checkImage(2));
  }
}

void XTreeOpt::folderExpanded(QTreeWidgetItem* item, bool expanded) {
  auto* node = static_cast<OptNode*>(item);
  for (const FolderTypeEntry& entry : folderTypes_) {
    if ((expanded ? entry.closedImage : entry.openImage) == node->Image()) {
      node->setImage(expanded ? entry.openImage : entry.closedImage);
      return;
    }
  }
}

void XTreeOpt::currentNodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
  if (!singleClickExpand_ || !current) return;
  current->setExpanded(true);
  // The branch left behind closes, unless the new node lies inside it.
  for (QTreeWidgetItem* up = current; up; up = up->parent()) {
    if (up == previous) return;
  }
  if (previous) previous->setExpanded(false);
}

// --- Control properties ---

void XTreeOpt::setIconSet(int iconSet) {
  iconSet_ = iconSet;
  const QString suffix = Suffix(iconSet);
  for (OptNode* node : nodes_) {
    const OptNodeKind kind = node->Kind();
    if (kind == OptNodeKind::Check || kind == OptNodeKind::Option) node->setImage(WithoutSuffix(node->Image()) + suffix);
  }
}

void XTreeOpt::setLocked(bool locked) {
  locked_ = locked;
  tvwOpt_->setGhosted(locked);
}

bool XTreeOpt::FullRowSelect() const { return tvwOpt_->fullRowSelect(); }
void XTreeOpt::setFullRowSelect(bool on) { tvwOpt_->setFullRowSelect(on); }
bool XTreeOpt::TrackSelect() const { return tvwOpt_->trackSelect(); }
void XTreeOpt::setTrackSelect(bool on) { tvwOpt_->setTrackSelect(on); }
bool XTreeOpt::HideSelection() const { return tvwOpt_->hideSelection(); }
void XTreeOpt::setHideSelection(bool on) { tvwOpt_->setHideSelection(on); }

void XTreeOpt::setSorted(bool sorted) {
  tvwOpt_->setSortingEnabled(sorted);
  if (sorted) tvwOpt_->sortItems(0, Qt::AscendingOrder);
}

void XTreeOpt::setIndentation(double twips) {
  indentation_ = twips;
  tvwOpt_->setIndentation(std::max(0, TwipsToPixels(twips, TwipsPerPixelX(*this))));
}

int XTreeOpt::Style() const { return tvwOpt_->treeStyle(); }

void XTreeOpt::setStyle(int style) {
  if (style >= 0 && style <= 7 && style != Style()) tvwOpt_->setTreeStyle(style);
}

QColor XTreeOpt::BackColor() const { return tvwOpt_->palette().color(QPalette::Base); }
QColor XTreeOpt::ForeColor() const { return tvwOpt_->palette().color(QPalette::Text); }

void XTreeOpt::setBackColor(const QColor& color) {
  backColor_ = color;
  applyColours();
}

void XTreeOpt::setForeColor(const QColor& color) {
  foreColor_ = color;
  applyColours();
}

void XTreeOpt::applyColours() {
  // Only the colours given are set; the rest follow the desktop's theme.
  QPalette palette;
  if (backColor_.isValid()) palette.setColor(QPalette::Base, backColor_);
  if (foreColor_.isValid()) palette.setColor(QPalette::Text, foreColor_);
  tvwOpt_->setPalette(palette);
}

bool XTreeOpt::SelectedNodeIsBold() const {
  const OptNode* node = SelectedNode();
  return node && node->Bold();
}

void XTreeOpt::setSelectedNodeIsBold(bool bold) {
  if (OptNode* node = SelectedNode()) node->setBold(bold);
}

QIcon XTreeOpt::OptionPicture(bool on) const { return ilsIcons_.icon(optionImage(on)); }

void XTreeOpt::setOptionPicture(bool on, const QIcon& picture) {
  const QString key = optionImage(on);
  if (!ilsIcons_.Replace(key, picture)) ilsIcons_.Add(key, picture);
  tvwOpt_->viewport()->update();
}

QIcon XTreeOpt::CheckPicture(int value) const { return ilsIcons_.icon(checkImage(value)); }

void XTreeOpt::setCheckPicture(int value, const QIcon& picture) {
  if (value < 0 || value > 2) return;
  const QString key = checkImage(value);
  if (!ilsIcons_.Replace(key, picture)) ilsIcons_.Add(key, picture);
  tvwOpt_->viewport()->update();
}

void XTreeOpt::setBackgroundPicture(const QPixmap& picture) {
  backgroundPicture_ = picture;
  if (picture.isNull()) {
    background_.reset();
    tvwOpt_->viewport()->update();
    return;
  }
  if (!background_) background_ = std::make_unique<cTVBackground>();
  background_->Tile().setPicture(picture);
  background_->Attach(tvwOpt_, window());
}

// --- From the inner tree ---

void XTreeOpt::treeMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos) {
  userToggle_ = true;
  nodeClicked_ = false;  // a new click begins
  Q_EMIT MouseDown(button, modifiers, pos.x(), pos.y());
}

void XTreeOpt::treeMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos) {
  Q_EMIT MouseMove(buttons, modifiers, pos.x(), pos.y());
}

void XTreeOpt::treeMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos) {
  Q_EMIT MouseUp(button, modifiers, pos.x(), pos.y());
}

void XTreeOpt::treeNodeClick(OptNode* node) { NodeClick(node); }

void XTreeOpt::treeClick(bool onNode) {
  const bool nodeClicked = nodeClicked_;
  nodeClicked_ = false;
  if (!nodeClicked && !onNode) Q_EMIT WhiteAreaClicked();
}

void XTreeOpt::treeToggleKey(OptNode* current) {
  userToggle_ = true;
  if (current) NodeClick(current);
}

void XTreeOpt::treeOtherKey() { userToggle_ = false; }

bool XTreeOpt::labelEditStarting() {
  bool cancel = false;
  Q_EMIT BeforeLabelEdit(cancel);
  return !cancel;
}

void XTreeOpt::labelEdited(bool& cancel, QString& text) { Q_EMIT AfterLabelEdit(cancel, text); }

}  // namespace tw
