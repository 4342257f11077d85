#pragma once

#include <QByteArrayView>
#include <QString>

namespace tw {

// The program's own folder, without a trailing separator: callers append
// "/" + name.
class ProgramFolder {
 public:
  explicit ProgramFolder(QString path);
  QString AppFolder() const { return path_; }

 private:
  QString path_;
};

// Creates the folder if it is missing and makes a file in it (and removes
// it again). Empty when that works; otherwise why not ("Read-only file
// system", "No space left on device", ...).
QString FolderWriteProblem(const QString& folder);
// FolderWriteProblem for the program's own folder, worded for the user who
// cannot start the program without it.
QString ProgramFolderProblem(const QString& path);

// Creates the folder (one level) if it is missing; a trailing separator is
// ignored, errors are ignored.
void EnsureFolder(const QString& path);
// Deletes the file when it exists; errors are ignored.
void DeleteFileIfPresent(const QString& path);
// True when the file exists and can be opened for reading.
bool FileExists(const QString& path);
// Replaces the file with exactly these bytes, or leaves the previous file
// whole and says why in error (may be null). The bytes go to a temporary
// file beside it, which replaces the old one only when every write has
// landed in full, the size on disk matches and the data is synced.
bool SaveFileWhole(const QString& path, QByteArrayView bytes, QString* error = nullptr);
// The same for a file that is read at once and made again if lost (a
// download on its way to the parser): whole or not at all, sizes checked,
// but not synced to the disk, which would cost two disk flushes per feed
// and protect nothing a new download would not.
bool SaveTransientFile(const QString& path, QByteArrayView bytes, QString* error = nullptr);
// Replaces the file with the text plus CR LF in the single-byte code page,
// through SaveFileWhole. Returns false when the write failed.
bool WriteTextFile(const QString& path, const QString& text);

// Result of SaveResourceFile.
enum class ResourceFileResult { Written, FileExists /* error 58 */, NoSuchResource, WriteFailed };
// Writes the bytes of the built-in resource type/name (":/type/name") to the
// file unchanged. An existing file is replaced when replace is true (and
// kept whole when the write fails); otherwise the call fails with FileExists.
ResourceFileResult SaveResourceFile(const QString& path, const QString& name, const QString& type, bool replace);

// The user's login name; empty when it cannot be found.
QString GetLoginName();

}  // namespace tw
