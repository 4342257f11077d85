#include "options/frmOptions.h"

#include "core/AppCore.h"
#include "core/BuildFlags.h"
#include "core/Placement.h"
#include "core/TextFormat.h"
#include "options/XTreeOpt.h"
#include "widgets/AccessibleRole.h"
#include "widgets/FlagScope.h"
#include "widgets/ImageList.h"
#include "widgets/MessageBoxes.h"
#include "widgets/WidgetGeometry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tw {
namespace {

// The choice of page view is there only when there is a choice.
bool InTree(const option::ProgramCheck& check) {
  return WebEngineBuilt || QLatin1String(check.key) != QLatin1String(option::LightPageView);
}

constexpr int kWidthPx = 400;
constexpr int kHeightPx = 540;
constexpr int kInputWidthPx = 60;
// Room left on the screen for the window's frame and title.
constexpr int kFrameAllowancePx = 40;

// The dialog's size: smaller on a small screen (the tree scrolls), so that
// placement can keep all of it on the screen.
QSize DialogSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {kWidthPx, kHeightPx};
  const QRect area = screen->availableGeometry();
  return {std::min(kWidthPx, area.width() - kFrameAllowancePx), std::min(kHeightPx, area.height() - kFrameAllowancePx)};
}

QString Key(const char* key) { return QString::fromLatin1(key); }

}  // namespace

frmOptions::frmOptions(OptionSettings& options, const ImageList& images, const QIcon& icon, QWidget* parent)
    : QWidget(parent, Qt::Dialog), options_(options), boxes_(&MessageBoxes::standard()) {
  setObjectName(QStringLiteral("frmOptions"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Options"));
  // A dialog to screen readers, though not a QDialog: Enter and Escape keep
  // the rules the dialog sets itself.
  SetAccessibleRole(*this, QAccessible::Dialog);

  tvCfg_ = new XTreeOpt(this);
  tvCfg_->setObjectName(QStringLiteral("tvCfg"));
  tvCfg_->tree()->setAccessibleName(QStringLiteral("Options"));
  lblInput_ = new QLabel(QStringLiteral("Time in minutes "), this);
  lblInput_->setObjectName(QStringLiteral("lblInput"));
  txtInput_ = new QLineEdit(this);
  txtInput_->setObjectName(QStringLiteral("txtInput"));
  txtInput_->setFixedWidth(kInputWidthPx);
  lblInput_->setBuddy(txtInput_);
  cmdApply_ = new QPushButton(QStringLiteral("Apply"), this);
  cmdApply_->setObjectName(QStringLiteral("cmdApply"));
  cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
  // Buttons take Enter only in a dialog window of the toolkit's own: here
  // they are told to, and "Apply" shows that it is the default.
  cmdApply_->setAutoDefault(true);
  cmdCancel_->setAutoDefault(true);
  cmdApply_->setDefault(true);

  // The tree above; below it the prompt and the entry at the left, the
  // buttons at the right. The layout centres the prompt on the entry.
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblInput_, 0, Qt::AlignVCenter);
  bottom->addWidget(txtInput_, 0, Qt::AlignVCenter);
  bottom->addStretch(1);
  bottom->addWidget(cmdApply_);
  bottom->addWidget(cmdCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tvCfg_, 1);
  layout->addLayout(bottom);
  setTabOrder(tvCfg_, txtInput_);
  setTabOrder(txtInput_, cmdApply_);
  setTabOrder(cmdApply_, cmdCancel_);
  resize(DialogSize());

  connect(tvCfg_, &XTreeOpt::OptionClick, this, &frmOptions::tvCfg_OptionClick);
  connect(tvCfg_, &XTreeOpt::CheckClick, this, &frmOptions::tvCfg_CheckClick);
  // Captions are the program's own: never edited.
  connect(tvCfg_, &XTreeOpt::BeforeLabelEdit, this, [](bool& cancel) { cancel = true; }, Qt::DirectConnection);
  connect(
      tvCfg_, &XTreeOpt::AfterLabelEdit, this, [this](bool&, QString&) { tvCfg_->tree()->clearSelection(); },
      Qt::DirectConnection);
  // Enter in the entry is the entry's alone: a line edit passes it on, and
  // here it would go on to press "Apply" as well.
  txtInput_->installEventFilter(this);
  connect(cmdApply_, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
  connect(cmdCancel_, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
  // Escape is the Cancel button, while that button can be used.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
    if (cmdCancel_->isEnabled()) cmdCancel_->click();
  });

  geometry_ = std::make_unique<WidgetGeometry>(*this, objectName());
  Form_Load(images, icon);
}

frmOptions::~frmOptions() = default;

void frmOptions::setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes ? boxes : &MessageBoxes::standard(); }

void frmOptions::Form_Load(const ImageList& images, const QIcon& icon) {
  AppCore& core = options_.core();
  // Above other windows where the desktop honours the hint (X11 window
  // managers do; Wayland leaves stacking to the compositor).
  SetFormTopmost(*geometry_, true);
  txtInput_->hide();
  lblInput_->hide();
  RestoreFormPosition(core.settings, *geometry_);
  setWindowTitle(QStringLiteral("  ") + core.identity.ProgTitle + QStringLiteral(" Options"));
  setWindowIcon(icon);

  tvCfg_->setFullRowSelect(false);
  tvCfg_->setSingleClickExpand(false);
  tvCfg_->setIndentation(250);
  tvCfg_->setHideSelection(true);
  tvCfg_->setStyle(3);
  tvCfg_->setIconSet(0);
  // The folders show the main window's pictures, by their keys there.
  for (const QString& key : images.Keys()) tvCfg_->AddFolderType(images.icon(key), QIcon(), key);
  buildTree();
  tvCfg_->ExpandAll();

  setCheck(option::MultiUser, options_.StoredMultiUser());
  Read_Settings();
  tvCfg_->setEnabled(true);
  cmdCancel_->setEnabled(true);
  cmdApply_->setEnabled(false);
  txtInput_->hide();
  lblInput_->hide();
  // The keyboard starts at the top, where the view does.
  tvCfg_->tree()->setCurrentItem(tvCfg_->Nodes(1), 0, QItemSelectionModel::NoUpdate);
  // Setting the stored values raised change events against no snapshot.
  loadSnapshot_ = Cfg_List();
  cmdApply_->setEnabled(false);
}

void frmOptions::buildTree() {
  using namespace option;
  const QString& title = options_.core().identity.ProgTitle;
  XTreeOpt& t = *tvCfg_;
  constexpr int kCustom = XTreeOpt::kCustomFolder;
  const auto check = [&t](const char* key, OptNode* parent, const QString& text) {
    t.AddCheck(Key(key), parent, text, 0);
  };

  OptNode* program = t.AddFolder({}, nullptr, title + QStringLiteral(" program settings"), kCustom, title, true);
  check(AutoRun, program, QStringLiteral("Run ") + title + QStringLiteral(" when the desktop starts"));
  check(AutoMinimise, program, QStringLiteral("Minimise when ") + title + QStringLiteral(" starts"));
  check(CloseToTray, program, QStringLiteral("Close/Minimise to system tray"));
  check(AutoExpandNew, program, QStringLiteral("Auto expand sites with new items"));
  check(SortSites, program, QStringLiteral("Sort sites (A->Z)"));
  check(CheckAtStartup, program, QStringLiteral("Check for new items when ") + title + QStringLiteral(" starts"));
  check(MultiUser, program, QStringLiteral("Multi-User system"));
  check(DisableErrorAlert, program, QStringLiteral("Disable failed download popup alert's"));

  OptNode* display = t.AddFolder({}, program, QStringLiteral("Display options"), kCustom, QStringLiteral("display"));
  check(ShowWebProgress, display, QStringLiteral("Show browser progress"));
  check(ShowDownloadProgress, display, QStringLiteral("Show download progress"));
  check(ShowActivityLog, display, QStringLiteral("Show activity log"));
  // Without the web engine the light view is the only one.
  if (WebEngineBuilt) check(LightPageView, display, QStringLiteral("Light page view (uses less memory)"));

  OptNode* news =
      t.AddFolder({}, program, QStringLiteral("New/Unread message control"), kCustom, QStringLiteral("item_read"));
  check(ShowAlert, news, QStringLiteral("Popup alerts ONLY when hidden"));
  check(ColouredTitles, news, QStringLiteral("Change site colour"));
  check(ShortNewMessage, news, QStringLiteral("Only show NEW item total in site title"));
  check(PreserveNewStatus, news, QStringLiteral("Preserve NEW status after re-start"));

  OptNode* update = t.AddFolder({}, program, QStringLiteral("Auto update news"), kCustom, QStringLiteral("time"));
  t.AddOption(Key(IntervalDisabled), update, QStringLiteral("Disabled"));
  t.AddOption(Key(UserTime), update, QStringLiteral("User Defined ()"));

  const SiteTable& sites = options_.core().sites;
  for (int i = 1; i <= sites.LastIndex(); ++i) {
    const SiteRecord& site = sites[i];
    OptNode* folder = t.AddFolder(site.Key, nullptr, site.Title, kCustom, site.IconKey, true);
    const QString captions[] = {QStringLiteral("Disable ") + site.Title + QStringLiteral(" news list"),
                                QStringLiteral("Auto display news item"),
                                QStringLiteral("Open news in external browser")};
    for (int c = 0; c < 3; ++c) t.AddCheck(site.Key + QLatin1String(kSiteChecks[c].suffix), folder, captions[c], 0);
  }
}

OptNode* frmOptions::userTime() const { return tvCfg_->Nodes(Key(option::UserTime)); }

void frmOptions::setCheck(const char* key, bool on) { tvCfg_->setValue(Key(key), on ? 1 : 0); }

void frmOptions::showUserTimeCaption() {
  qint32 minutes = OptionValues::TagMinutes(userTime()->Tag().toString());
  userTime()->setText(0, QStringLiteral("User Defined (") + FormatInterval(minutes) + u')');
}

OptionValues frmOptions::valuesFromTree() const {
  const auto on = [this](const QString& key) { return tvCfg_->Value(key) == 1; };
  OptionValues values;
  values.multiUser = on(Key(option::MultiUser));
  values.autoRun = on(Key(option::AutoRun));
  for (const option::ProgramCheck& check : option::kProgramChecks) {
    if (InTree(check)) values.checks.insert(Key(check.key), on(Key(check.key)));
  }
  values.userDefined = on(Key(option::UserTime));
  values.intervalTag = userTime()->Tag().toString();
  const SiteTable& sites = options_.core().sites;
  for (int i = 1; i <= sites.LastIndex(); ++i) {
    for (const option::SiteCheck& check : option::kSiteChecks) {
      const QString key = sites[i].Key + QLatin1String(check.suffix);
      values.checks.insert(key, on(key));
    }
  }
  return values;
}

QString frmOptions::Cfg_List() const { return options_.Cfg_List(valuesFromTree()); }

void frmOptions::Read_Settings() {
  FlagScope loading(loading_, true);
  const bool multiUser = tvCfg_->Value(Key(option::MultiUser)) == 1;
  const QString mode = multiUser ? QString(QStringLiteral("(User:  ") + options_.LoginName() + u')')
                                 : QStringLiteral("(Single User)");
  setWindowTitle(QStringLiteral("  ") + options_.core().identity.ProgTitle + QStringLiteral(" Options - ") + mode);

  const OptionValues values = options_.Read(multiUser);
  setCheck(option::AutoRun, values.autoRun);
  for (const option::ProgramCheck& check : option::kProgramChecks) {
    if (InTree(check)) setCheck(check.key, values.checks.value(Key(check.key)));
  }
  userTime()->setTag(values.intervalTag);
  showUserTimeCaption();
  // Through the value setter, so the change is tracked like a click.
  tvCfg_->setValue(Key(values.userDefined ? option::UserTime : option::IntervalDisabled), 1);
  const SiteTable& sites = options_.core().sites;
  for (int i = 1; i <= sites.LastIndex(); ++i) {
    for (const option::SiteCheck& check : option::kSiteChecks) {
      const QString key = sites[i].Key + QLatin1String(check.suffix);
      tvCfg_->setValue(key, values.checks.value(key) ? 1 : 0);
    }
  }
  tvCfg_->tree()->scrollToTop();
}

void frmOptions::Save_Settings() { options_.Save(valuesFromTree()); }

void frmOptions::settingsChanged() {
  cmdApply_->setEnabled(Cfg_List() != loadSnapshot_);
  tvCfg_->tree()->clearSelection();
}

void frmOptions::tvCfg_OptionClick(OptNode* node) {
  settingsChanged();
  if (node->Key() == QLatin1String(option::UserTime) && !loading_) openIntervalEntry();
}

void frmOptions::tvCfg_CheckClick(OptNode* node, int) {
  // The other mode's values show at once.
  if (node->Key() == QLatin1String(option::MultiUser)) Read_Settings();
  settingsChanged();
}

void frmOptions::openIntervalEntry() {
  applyWasEnabled_ = cmdApply_->isEnabled();
  tvCfg_->setEnabled(false);
  cmdCancel_->setEnabled(false);
  cmdApply_->setEnabled(false);
  txtInput_->setText(userTime()->Tag().toString());
  txtInput_->selectAll();
  txtInput_->show();
  lblInput_->show();
  txtInput_->setFocus();
}

void frmOptions::txtInput_Enter() {
  tvCfg_->setEnabled(true);
  cmdCancel_->setEnabled(true);
  cmdApply_->setEnabled(applyWasEnabled_);
  txtInput_->hide();
  lblInput_->hide();
  const qint32 minutes = IntervalFromEntry(txtInput_->text());
  if (minutes <= 0) tvCfg_->setValue(Key(option::IntervalDisabled), 1);
  userTime()->setTag(QString::number(minutes));
  showUserTimeCaption();
  settingsChanged();
  tvCfg_->setFocus();
}

void frmOptions::cmdApply_Click() {
  Save_Settings();
  close();
}

void frmOptions::cmdCancel_Click() {
  if (Cfg_List() == loadSnapshot_) {
    close();
    return;
  }
  boxes_->question(this, QStringLiteral("Settings changed..."),
                   QStringLiteral("You have made changes to the program settings.\n\nWould you like to save them now?"),
                   [dialog = QPointer<frmOptions>(this)](bool yes) {
                     if (!dialog) return;
                     if (yes) dialog->Save_Settings();
                     dialog->close();
                   });
}

void frmOptions::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) tvCfg_->setFocus();
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtInput_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      txtInput_Enter();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void frmOptions::keyPressEvent(QKeyEvent* event) {
  // Only Enter that nothing focused has taken comes here.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
    event->accept();
    if (cmdApply_->isEnabled()) cmdApply_->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void frmOptions::closeEvent(QCloseEvent* event) {
  SaveFormPosition(options_.core().settings, *geometry_);
  Q_EMIT unloaded();
  event->accept();
}

}  // namespace tw
