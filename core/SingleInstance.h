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
//
// Only a copy that answers counts as running. When the lock cannot be taken
// and no copy answers (a runtime folder that cannot be written, a full disk,
// a lock held by a copy that is stuck), this copy runs anyway, without the
// guard, and still listens so that later copies find it.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    RunningCopy,  // this process holds the lock
    Unguarded,    // no copy answers and the lock could not be taken: run anyway
    Forwarded,    // a running copy answered and was asked to come forward: end
  };

  explicit SingleInstance(const QString& runtimeFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  Claim claim();
  // Why the copy runs unguarded, for the activity list.
  const QString& problem() const { return problem_; }
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
  void listen();
  void acceptConnections();
  QString lockFailure() const;

  QString lockPath_;
  QString serverName_;
  QString problem_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace tw
