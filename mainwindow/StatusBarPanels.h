#pragma once

#include "core/StatusPanels.h"

#include <QHash>
#include <QStatusBar>

class QLabel;

namespace tw {

class ImageList;

// The main window's status bar: keyed panels, each an icon and a text.
// "user", "msg", "ver" and "dl" exist from the start; "sys" is added by
// debug builds.
class StatusBarPanels : public QStatusBar, public StatusPanels {
  Q_OBJECT

 public:
  static constexpr int kHeightPx = 20;

  StatusBarPanels(const ImageList& images, QWidget* parent = nullptr);

  void setPanelText(const QString& key, const QString& text) override;
  QString panelText(const QString& key) const override;
  void setPanelImage(const QString& key, const QString& imageKey) override;
  void addPanel(const QString& key, const QString& text) override;

 private:
  struct Panel {
    QLabel* icon;
    QLabel* text;
  };
  Panel& panel(const QString& key);

  const ImageList& images_;
  QHash<QString, Panel> panels_;
};

}  // namespace tw
