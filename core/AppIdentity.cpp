#include "AppIdentity.h"

namespace tw {

QString BuildVersionText(int major, int minor, int revision) {
  const QString padded = QStringLiteral("0000") + QString::number(revision);
  return QStringLiteral("v%1.%2 build %3").arg(major).arg(minor).arg(padded.right(4));
}

}  // namespace tw
