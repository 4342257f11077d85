#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace tw {

// One running copy per user. The first copy holds a lock file and listens on
// a local socket; a later copy finds the lock taken, asks the running copy
// through the socket to come forward, and ends before it touches any setting
// or file. The request does not depend on the running window's caption.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(const QString& runtimeFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this process is now the running copy.
  bool tryBecomeRunningCopy();
  // From a later copy: asks the running copy to come forward. False when it
  // could not be reached.
  bool ActivatePreviousInstance(int timeoutMs = 3000) const;

  const QString& serverName() const { return serverName_; }

 Q_SIGNALS:
  // A later copy asked this one to come forward.
  void activationRequested();

 private:
  void acceptConnections();

  QString lockPath_;
  QString serverName_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace tw
