#pragma once

#include "core/OptionSettings.h"

#include <QIcon>
#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tw {

class ImageList;
class MessageBoxes;
class OptNode;
class WidgetGeometry;
class XTreeOpt;

// The options dialog: every setting in one tree of folders, checks and
// options (tvCfg), read from the store when it opens. "Apply" saves and
// applies at once; "Cancel" offers to save what changed; closing it any
// other way saves nothing. Modeless, kept above other windows, at its
// remembered place. Deletes itself when closed. Enter presses the focused
// button, and "Apply" where nothing else takes Enter.
class frmOptions : public QWidget {
  Q_OBJECT

 public:
  // images: the main window's image list, whose pictures the folders show.
  frmOptions(OptionSettings& options, const ImageList& images, const QIcon& icon, QWidget* parent = nullptr);
  ~frmOptions() override;

  // Where the "Settings changed..." question goes (the real message box
  // when null).
  void setMessageBoxes(MessageBoxes* boxes);

  // The settings fingerprint of what the tree shows now.
  QString Cfg_List() const;
  // Fills the tree from the store, for the mode the "Multi-User system"
  // check shows.
  void Read_Settings();
  // Writes the tree to the store and applies it.
  void Save_Settings();

  XTreeOpt& tvCfg() const { return *tvCfg_; }
  QPushButton* cmdApply() const { return cmdApply_; }
  QPushButton* cmdCancel() const { return cmdCancel_; }
  QLineEdit* txtInput() const { return txtInput_; }
  QLabel* lblInput() const { return lblInput_; }

 Q_SIGNALS:
  // The dialog is closing; it is deleted right after.
  void unloaded();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load(const ImageList& images, const QIcon& icon);
  void buildTree();
  OptionValues valuesFromTree() const;
  void setCheck(const char* key, bool on);
  OptNode* userTime() const;
  void showUserTimeCaption();
  // After every change: "Apply" is enabled exactly when the fingerprint
  // differs from the one taken at load, and no node stays highlighted.
  void settingsChanged();

  void tvCfg_OptionClick(OptNode* node);
  void tvCfg_CheckClick(OptNode* node, int value);
  void openIntervalEntry();
  void txtInput_Enter();
  void cmdApply_Click();
  void cmdCancel_Click();

  OptionSettings& options_;
  MessageBoxes* boxes_;
  std::unique_ptr<WidgetGeometry> geometry_;
  XTreeOpt* tvCfg_ = nullptr;
  QPushButton* cmdApply_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;
  QLineEdit* txtInput_ = nullptr;
  QLabel* lblInput_ = nullptr;

  QString loadSnapshot_;
  bool applyWasEnabled_ = false;
  bool loading_ = false;
};

}  // namespace tw
