#include "FullFileSystem.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/mount.h>

namespace tw::test {

FullFileSystem::FullFileSystem(qint64 sizeBytes) {
  const QByteArray where = QFile::encodeName(dir_.path());
  const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0755";
  if (::mount("tidewire-test", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0) {
    mounted_ = true;
  } else {
    reason_ = QStringLiteral("cannot mount a tmpfs here (%1); the failing-write test covers the same path")
                  .arg(QString::fromLocal8Bit(std::strerror(errno)));
  }
}

FullFileSystem::~FullFileSystem() {
  if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

void FullFileSystem::fill(qint64 leaveFreeBytes) {
  QFile filler(path(QStringLiteral(".filler")));
  if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
  const QByteArray page(4096, 'f');
  while (filler.write(page) == page.size()) {
  }
  filler.resize(std::max<qint64>(0, filler.size() - leaveFreeBytes));
}

FileSizeLimit::FileSizeLimit(qint64 bytes) {
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  getrlimit(RLIMIT_FSIZE, &previous_);
  rlimit limit = previous_;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &previous_);
  std::signal(SIGXFSZ, previousHandler_);
}

}  // namespace tw::test
