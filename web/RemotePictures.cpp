#include "RemotePictures.h"

namespace tw {

void RemotePictures::CreateReaders() {
  for (int i = 0; i < kAtOnce; ++i) {
    auto* reader = new NetworkReader(limits_, this);
    slots_.append(Slot{reader, {}});
    connect(reader, &UrlReader::readCompleted, this, [this, i](qint64, const QByteArray& body) {
      const QUrl url = std::exchange(slots_[i].url, QUrl());
      Q_EMIT arrived(url, body);
      StartNext(slots_[i]);
    });
    connect(reader, &UrlReader::statusReport, this, [this, i](const StatusReport& report) {
      if (report.code != bindstatus::Failure) return;
      // A picture that does not come stays missing; the page goes on.
      slots_[i].url.clear();
      StartNext(slots_[i]);
    });
  }
}

bool RemotePictures::Fetch(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || url.host().isEmpty()) return false;
  if (asked_.contains(url)) return true;
  if (slots_.isEmpty()) CreateReaders();
  asked_.insert(url);
  queue_.append(url);
  for (Slot& slot : slots_) {
    if (slot.url.isEmpty()) {
      StartNext(slot);
      break;
    }
  }
  return true;
}

void RemotePictures::Clear() {
  queue_.clear();
  asked_.clear();
  for (Slot& slot : slots_) {
    slot.reader->cancelRead();
    slot.url.clear();
  }
}

void RemotePictures::StartNext(Slot& slot) {
  while (!queue_.isEmpty()) {
    const QUrl url = queue_.takeFirst();
    UrlReader::StartError error;
    if (slot.reader->startRead(QString::fromUtf8(url.toEncoded()), &error)) {
      slot.url = url;
      return;
    }
  }
}

}  // namespace tw
