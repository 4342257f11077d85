#pragma once

#include "PendingWrites.h"

#include <QString>

#include <vector>

namespace tw {

using StoreChangeGroups = std::vector<std::vector<StoreChange>>;

// Changes a settings store could not save before the program ended, kept in
// a file beside it (the store's name plus ".pending") until the next run
// saves them. The groups stay groups and keep their order. The file starts
// with a versioned header and ends with a checksum, so a damaged or cut-off
// file is told from a good one.
class PendingJournal {
 public:
  explicit PendingJournal(const QString& storePath);

  const QString& filePath() const { return filePath_; }
  bool exists() const;

  // Replaces the file with these groups, whole or not at all. shared: the
  // file is made writable for the owning group, like the store beside it.
  bool write(const StoreChangeGroups& groups, bool shared, QString* error) const;

  enum class Read { Missing, Read, Unreadable };
  // The groups in the file; why not in error when it is unreadable.
  Read read(StoreChangeGroups* groups, QString* error) const;

  // Renames an unreadable file out of the way, so the next start does not
  // trip over it and nobody loses it. The name it now has; empty when it
  // could not be moved.
  QString keepAside() const;
  bool remove() const;

  static QByteArray Encode(const StoreChangeGroups& groups);
  static bool Decode(const QByteArray& bytes, StoreChangeGroups* groups, QString* error);

 private:
  QString filePath_;
};

}  // namespace tw
