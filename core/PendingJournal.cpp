#include "PendingJournal.h"

#include "Crc32.h"
#include "FileHelpers.h"
#include "RegistryStore.h"

#include <QDataStream>
#include <QDateTime>
#include <QFile>
#include <QtEndian>

namespace tw {
namespace {

const QByteArray kMagic = QByteArrayLiteral("TIDEWIRE PENDING CHANGES\n");
constexpr quint32 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
constexpr int kCrcSize = 4;

}  // namespace

PendingJournal::PendingJournal(const QString& storePath) : filePath_(storePath + QStringLiteral(".pending")) {}

bool PendingJournal::exists() const { return QFile::exists(filePath_); }

QByteArray PendingJournal::Encode(const StoreChangeGroups& groups) {
  QByteArray bytes = kMagic;
  {
    QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(kStreamVersion);
    out << kVersion << static_cast<quint32>(groups.size());
    for (const auto& group : groups) {
      out << static_cast<quint32>(group.size());
      for (const StoreChange& change : group) {
        out << static_cast<quint8>(change.kind) << change.path << change.name << static_cast<qint32>(change.valueKind)
            << change.data;
      }
    }
  }
  char crc[kCrcSize];
  qToBigEndian(cCRC::Compute(bytes), crc);
  bytes.append(crc, kCrcSize);
  return bytes;
}

bool PendingJournal::Decode(const QByteArray& bytes, StoreChangeGroups* groups, QString* error) {
  groups->clear();
  const auto fail = [&](const QString& why) {
    groups->clear();
    *error = why;
    return false;
  };
  if (!bytes.startsWith(kMagic)) return fail(QStringLiteral("it is not a file of kept changes"));
  if (bytes.size() < kMagic.size() + kCrcSize) return fail(QStringLiteral("it is cut short"));
  const QByteArray body = bytes.first(bytes.size() - kCrcSize);
  if (qFromBigEndian<quint32>(bytes.constData() + body.size()) != cCRC::Compute(body)) {
    return fail(QStringLiteral("it is damaged or cut short"));
  }
  QDataStream in(body);
  in.setVersion(kStreamVersion);
  in.skipRawData(static_cast<int>(kMagic.size()));
  quint32 version = 0;
  quint32 groupCount = 0;
  in >> version;
  if (in.status() == QDataStream::Ok && version != kVersion) {
    return fail(QStringLiteral("it was written by another version of Tidewire"));
  }
  in >> groupCount;
  // Counts are checked against the stream as it is read, never trusted for
  // allocations: a damaged count only runs the stream dry.
  for (quint32 g = 0; g < groupCount && in.status() == QDataStream::Ok; ++g) {
    quint32 changeCount = 0;
    in >> changeCount;
    std::vector<StoreChange> group;
    for (quint32 c = 0; c < changeCount && in.status() == QDataStream::Ok; ++c) {
      quint8 kind = 0;
      qint32 valueKind = 0;
      StoreChange change;
      in >> kind >> change.path >> change.name >> valueKind >> change.data;
      if (kind > static_cast<quint8>(StoreChange::Kind::DeleteValue)) return fail(QStringLiteral("it is damaged"));
      change.kind = static_cast<StoreChange::Kind>(kind);
      change.path = NormaliseKeyPath(change.path);
      change.valueKind = valueKind;
      change.pathFold = FoldName(change.path);
      change.nameFold = FoldName(change.name);
      group.push_back(std::move(change));
    }
    if (!group.empty()) groups->push_back(std::move(group));
  }
  if (in.status() != QDataStream::Ok || !in.atEnd()) return fail(QStringLiteral("it is damaged"));
  return true;
}

bool PendingJournal::write(const StoreChangeGroups& groups, bool shared, QString* error) const {
  if (!SaveFileWhole(filePath_, Encode(groups), error)) return false;
  // Written anew each time, so its mode is set each time.
  if (shared) {
    QFile::setPermissions(filePath_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                                         QFile::ReadOther);
  }
  return true;
}

PendingJournal::Read PendingJournal::read(StoreChangeGroups* groups, QString* error) const {
  groups->clear();
  QFile file(filePath_);
  if (!file.exists()) return Read::Missing;
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return Read::Unreadable;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFile::NoError) {
    *error = file.errorString();
    return Read::Unreadable;
  }
  return Decode(bytes, groups, error) ? Read::Read : Read::Unreadable;
}

QString PendingJournal::keepAside() const {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
  QString aside = filePath_ + QStringLiteral(".corrupt-") + stamp;
  for (int n = 2; QFile::exists(aside); ++n) aside = filePath_ + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
  return QFile::rename(filePath_, aside) ? aside : QString();
}

bool PendingJournal::remove() const { return QFile::remove(filePath_) || !exists(); }

}  // namespace tw
