#pragma once

#include <QString>

namespace tw {

// The keyed panels of the main window's status bar: "user", "msg", "ver",
// "dl" and, in debug builds, "sys". Images are image-list keys.
class StatusPanels {
 public:
  virtual ~StatusPanels() = default;
  virtual void setPanelText(const QString& key, const QString& text) = 0;
  virtual QString panelText(const QString& key) const = 0;
  virtual void setPanelImage(const QString& key, const QString& imageKey) = 0;
  // Adds a panel that is not there yet (the debug build's "sys").
  virtual void addPanel(const QString& key, const QString& text) = 0;
};

}  // namespace tw
