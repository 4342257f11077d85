#include "SingleInstance.h"

#include "FileHelpers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

namespace tw {
namespace {
constexpr char kActivate[] = "activate\n";
// A copy that has just taken the lock listens a moment later: it is given
// this long to answer before the lock is taken as a stuck copy's.
constexpr int kStartingCopyMs = 3000;
constexpr int kAttemptMs = 250;
}  // namespace

SingleInstance::SingleInstance(const QString& runtimeFolder, QObject* parent) : QObject(parent) {
  const QString folder = QDir(runtimeFolder).absolutePath();
  lockPath_ = folder + QStringLiteral("/tidewire.lock");
  // Socket names are per user and per folder, so copies run with different
  // TIDEWIRE_HOME folders (tests, the demo) never meet.
  const QByteArray digest =
      QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
  serverName_ = QStringLiteral("tidewire-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryBecomeRunningCopy() {
  QDir().mkpath(QFileInfo(lockPath_).absolutePath());
  lock_ = std::make_unique<QLockFile>(lockPath_);
  // A lock left by a crashed copy is recognised by its process id, not by age.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) return false;
  listen();
  return true;
}

SingleInstance::Claim SingleInstance::claim() {
  if (tryBecomeRunningCopy()) return Claim::RunningCopy;
  const bool heldByAnother = lock_->error() == QLockFile::LockFailedError;
  lock_.reset();
  QElapsedTimer waited;
  waited.start();
  do {
    if (ActivatePreviousInstance(kAttemptMs)) return Claim::Forwarded;
    QThread::msleep(kAttemptMs);
  } while (heldByAnother && waited.elapsed() < kStartingCopyMs);

  problem_ = heldByAnother ? QStringLiteral("The lock file %1 is held by a copy of Tidewire that does not answer; "
                                            "this copy runs anyway.")
                                 .arg(QDir::toNativeSeparators(lockPath_))
                           : lockFailure();
  listen();
  return Claim::Unguarded;
}

QString SingleInstance::lockFailure() const {
  // QLockFile does not say why; a file of our own beside it does.
  QString reason = FolderWriteProblem(QFileInfo(lockPath_).absolutePath());
  if (reason.isEmpty()) reason = QStringLiteral("unknown error");
  return QStringLiteral("The lock file %1 cannot be created (%2), so Tidewire cannot tell whether another copy "
                        "starts; this copy runs anyway.")
      .arg(QDir::toNativeSeparators(lockPath_), reason);
}

void SingleInstance::listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(serverName_);
  server_->listen(serverName_);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().contains("activate")) Q_EMIT activationRequested();
      socket->disconnectFromServer();
    });
  }
}

bool SingleInstance::ActivatePreviousInstance(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivate, sizeof kActivate - 1);
  const bool sent = socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  return sent;
}

}  // namespace tw
