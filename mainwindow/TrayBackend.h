#pragma once

#include <QIcon>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>

class QMenu;

namespace tw {

// The notification-area icon as the platform keeps it: add, change, remove.
class TrayBackend {
 public:
  virtual ~TrayBackend() = default;
  virtual void add(const QIcon& icon, const QString& tip) = 0;
  virtual void setIcon(const QIcon& icon) = 0;
  virtual void setTip(const QString& tip) = 0;
  virtual void remove() = 0;
};

// The real one, over QSystemTrayIcon. Its right-button menu is shown by the
// platform; every activation is handed to `activated`.
class SystemTrayBackend : public TrayBackend {
 public:
  SystemTrayBackend(QMenu* menu, std::function<void(QSystemTrayIcon::ActivationReason)> activated);
  ~SystemTrayBackend() override;

  void add(const QIcon& icon, const QString& tip) override;
  void setIcon(const QIcon& icon) override;
  void setTip(const QString& tip) override;
  void remove() override;

 private:
  QSystemTrayIcon icon_;
};

}  // namespace tw
