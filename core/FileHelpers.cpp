#include "FileHelpers.h"

#include "Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <pwd.h>
#include <unistd.h>

namespace tw {

ProgramFolder::ProgramFolder(QString path) : path_(std::move(path)) {
  while (path_.size() > 1 && path_.endsWith(u'/')) path_.chop(1);
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

bool WriteTextFile(const QString& path, const QString& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(EncodeWindows1252(text));
  file.write("\r\n", 2);
  return file.commit();
}

ResourceFileResult SaveResourceFile(const QString& path, const QString& name, const QString& type, bool replace) {
  if (QFileInfo::exists(path)) {
    if (!replace) return ResourceFileResult::FileExists;
    QFile::remove(path);
  }
  QFile resource(QStringLiteral(":/") + type + u'/' + name);
  if (name.isEmpty() || !resource.open(QIODevice::ReadOnly)) return ResourceFileResult::NoSuchResource;
  const QByteArray bytes = resource.readAll();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    return ResourceFileResult::WriteFailed;
  }
  return ResourceFileResult::Written;
}

QString GetLoginName() {
  if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name) {
    return QString::fromLocal8Bit(entry->pw_name);
  }
  return qEnvironmentVariable("USER");
}

}  // namespace tw
