#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace tw {
namespace {
constexpr char kActivate[] = "activate\n";
}

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
  if (!lock_->tryLock(0)) {
    lock_.reset();
    return false;
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(serverName_);
  server_->listen(serverName_);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
  return true;
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
