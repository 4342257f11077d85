#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

namespace tw {

// The stages of one URL read, numbered as the download control expects them.
// Any other number is ignored by the control.
namespace bindstatus {
inline constexpr int Failure = 0;
inline constexpr int Connecting = 2;
inline constexpr int Redirecting = 3;
inline constexpr int BeginDownloadData = 4;
inline constexpr int DownloadingData = 5;
inline constexpr int EndDownloadData = 6;
inline constexpr int MimeTypeAvailable = 13;
inline constexpr int CacheFileNameAvailable = 14;
}  // namespace bindstatus

// One status report of a running read. totalBytes is 0 or less when the
// server announced no size; value carries the failure text of a Failure.
struct StatusReport {
  int code = 0;
  QString text;
  qint64 bytesRead = 0;
  qint64 totalBytes = 0;
  QString value;
};

}  // namespace tw

Q_DECLARE_METATYPE(tw::StatusReport)
