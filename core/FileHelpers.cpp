#include "FileHelpers.h"

#include "Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

ProgramFolder::ProgramFolder(QString path) : path_(std::move(path)) {
  while (path_.size() > 1 && path_.endsWith(u'/')) path_.chop(1);
}

QString FolderWriteProblem(const QString& folder) {
  if (!QDir().mkpath(folder)) return QStringLiteral("the folder cannot be created");
  QTemporaryFile probe(folder + QStringLiteral("/.tidewire-probe-XXXXXX"));
  return probe.open() ? QString() : probe.errorString();
}

QString ProgramFolderProblem(const QString& path) {
  const QString reason = FolderWriteProblem(path);
  if (reason.isEmpty()) return {};
  return QStringLiteral("Tidewire cannot start: its folder %1 cannot be written (%2), and every feed and page "
                        "goes through it. Make the folder writable or free some space, or set TIDEWIRE_HOME to a "
                        "folder of your own.")
      .arg(QDir::toNativeSeparators(path), reason);
}

void EnsureFolder(const QString& path) {
  QString folder = path;
  while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\'))) folder.chop(1);
  if (!QFileInfo(folder).isDir()) QDir().mkdir(folder);
}

void DeleteFileIfPresent(const QString& path) {
  if (QFileInfo(path).isFile()) QFile::remove(path);
}

bool FileExists(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return false;
  QFile file(path);
  return file.open(QIODevice::ReadOnly);
}

namespace {

// Writes the bytes to the descriptor, each write's result checked, then
// checks that the file is as long as they are. Empty when all of it landed,
// else why not.
QString WriteWhole(int fd, QByteArrayView bytes) {
  for (qsizetype done = 0; done < bytes.size();) {
    const ssize_t written = ::write(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return QString::fromLocal8Bit(std::strerror(errno));
    done += written;
  }
  struct stat landed {};
  if (::fstat(fd, &landed) != 0 || landed.st_size != bytes.size()) {
    return QStringLiteral("only %1 of %2 bytes reached the disk").arg(landed.st_size).arg(bytes.size());
  }
  return {};
}

}  // namespace

bool SaveFileWhole(const QString& path, QByteArrayView bytes, QString* error) {
  // QSaveFile alone is not enough on a full disk: commit() ignores a failed
  // final flush of its buffer and a failed sync, and then renames a short
  // file over the good one. Unbuffered, every write reports its own result.
  QSaveFile file(path);
  const auto fail = [&](const QString& why) {
    if (error) *error = why;
    file.cancelWriting();
    return false;
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
  if (const QString why = WriteWhole(file.handle(), bytes); !why.isEmpty()) return fail(why);
  if (::fsync(file.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  if (!file.commit()) return fail(file.errorString());
  return true;
}

bool SaveTransientFile(const QString& path, QByteArrayView bytes, QString* error) {
  QTemporaryFile file(path + QStringLiteral(".XXXXXX.part"));
  const auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;  // the temporary file goes with `file`
  };
  if (!file.open()) return fail(file.errorString());
  if (const QString why = WriteWhole(file.handle(), bytes); !why.isEmpty()) return fail(why);
  file.close();
  if (file.error() != QFileDevice::NoError) return fail(file.errorString());
  if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
    return fail(QString::fromLocal8Bit(std::strerror(errno)));
  }
  file.setAutoRemove(false);
  return true;
}

bool WriteTextFile(const QString& path, const QString& text) {
  return SaveFileWhole(path, EncodeWindows1252(text).append("\r\n"));
}

ResourceFileResult SaveResourceFile(const QString& path, const QString& name, const QString& type, bool replace) {
  if (QFileInfo::exists(path) && !replace) return ResourceFileResult::FileExists;
  QFile resource(QStringLiteral(":/") + type + u'/' + name);
  if (name.isEmpty() || !resource.open(QIODevice::ReadOnly)) {
    QFile::remove(path);  // the file being replaced goes even so
    return ResourceFileResult::NoSuchResource;
  }
  return SaveFileWhole(path, resource.readAll()) ? ResourceFileResult::Written : ResourceFileResult::WriteFailed;
}

QString GetLoginName() {
  if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name) {
    return QString::fromLocal8Bit(entry->pw_name);
  }
  return qEnvironmentVariable("USER");
}

}  // namespace tw
