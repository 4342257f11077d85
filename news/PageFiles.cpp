#include "PageFiles.h"

#include "core/FileHelpers.h"

#include <QDir>

namespace tw {

QString PageFilePath(const QString& folder, const char* name) {
  return folder + u'/' + QString::fromLatin1(name);
}

void CleanPageFiles(const QString& folder, bool keepFiles) {
  if (keepFiles) return;
  const QDir dir(folder);
  const QStringList patterns = {QStringLiteral("*.htm"), QStringLiteral("*.jpg"), QStringLiteral("*.gif")};
  for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden)) {
    DeleteFileIfPresent(dir.filePath(name));
  }
}

}  // namespace tw
