#pragma once

#include "download/NetworkReader.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUrl>

namespace tw {

// Fetches the web pictures a page's markup names, through the program's own
// network access with the limits of a feed download (deadline, no-progress
// timeout, size cap while reading, http and https only, redirects that stay
// there), a few at a time, on this thread and never waiting for one. Each
// page starts afresh: what an earlier page asked for and has not got is
// dropped.
class RemotePictures : public QObject {
  Q_OBJECT

 public:
  static constexpr int kAtOnce = 4;

  explicit RemotePictures(TransferLimits limits = {}, QObject* parent = nullptr)
      : QObject(parent), limits_(limits) {}

  // Asked for once per page: false for an address that cannot be fetched.
  bool Fetch(const QUrl& url);
  // A new page: nothing asked for so far is wanted any more.
  void Clear();

 Q_SIGNALS:
  void arrived(const QUrl& url, const QByteArray& bytes);

 private:
  struct Slot {
    NetworkReader* reader = nullptr;
    QUrl url;
  };
  // The readers come with the first picture: most pages have none.
  void CreateReaders();
  void StartNext(Slot& slot);

  TransferLimits limits_;
  QList<Slot> slots_;
  QList<QUrl> queue_;
  QSet<QUrl> asked_;
};

}  // namespace tw
