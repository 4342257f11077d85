#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace tw::test {

// A small tmpfs mounted for one test and filled up, so writes meet a real
// "No space left on device". Mounting needs root (or a user namespace); when
// the system refuses, isMounted() is false and reason() says why.
class FullFileSystem {
 public:
  explicit FullFileSystem(qint64 sizeBytes = 64 * 1024);
  ~FullFileSystem();
  FullFileSystem(const FullFileSystem&) = delete;
  FullFileSystem& operator=(const FullFileSystem&) = delete;

  bool isMounted() const { return mounted_; }
  const QString& reason() const { return reason_; }
  QString path(const QString& name) const { return dir_.filePath(name); }
  // Fills what is left, then frees this many bytes again.
  void fill(qint64 leaveFreeBytes = 0);

 private:
  QTemporaryDir dir_;
  bool mounted_ = false;
  QString reason_;
};

// While it lives, no file of this process may grow past the given size: the
// kernel fails the write that would (EFBIG), on any file system and without
// mounting anything. Only the soft limit moves; SIGXFSZ is ignored meanwhile.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(qint64 bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace tw::test
