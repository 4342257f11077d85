#include "TextFormat.h"

#include "Placement.h"

#include <cmath>

namespace tw {
namespace {

// One decimal, halves away from zero, with an optional thousands separator.
QString OneDecimal(double value, bool grouped) {
  const double tenths = std::floor(std::fabs(value) * 10.0 + 0.5);
  const qint64 whole = static_cast<qint64>(tenths) / 10;
  const qint64 fraction = static_cast<qint64>(tenths) % 10;
  QString digits = QString::number(whole);
  if (grouped) {
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, u',');
  }
  return (value < 0 && tenths > 0 ? QStringLiteral("-") : QString()) + digits + u'.' + QString::number(fraction);
}

QString WithoutPointZero(QString text) { return text.remove(QStringLiteral(".0")); }

}  // namespace

QString FormatSize(qint32 bytes) {
  const double n = bytes;
  if (bytes < 1024) return QString::number(bytes) + QStringLiteral(" b");
  if (bytes < 1048576) return OneDecimal(n / 1024, false) + QStringLiteral(" kb");
  if (bytes < 536870912) return WithoutPointZero(OneDecimal(n / 1024 / 1024, false)) + QStringLiteral(" Mb");
  return WithoutPointZero(OneDecimal(n / (1024.0 * 1024.0) / 1024, true)) + QStringLiteral(" Gb");
}

QString FormatInterval(qint32& minutes) {
  qint32 hours = 0;
  if (minutes >= 60) {
    hours = minutes / 60;
    minutes -= 60 * hours;
  }
  const QString hourWord = hours > 1 ? QStringLiteral("hours") : QStringLiteral("hour");
  const QString minuteWord = minutes > 1 ? QStringLiteral("minutes") : QStringLiteral("minute");
  if (hours <= 0) return QString::number(minutes) + u' ' + minuteWord;
  if (minutes <= 0) return QString::number(hours) + u' ' + hourWord;
  return QString::number(hours) + u' ' + hourWord + u' ' + QString::number(minutes) + u' ' + minuteWord;
}

qint32 IntervalFromEntry(const QString& text) {
  constexpr qint32 kMinimum = 1;
  constexpr qint32 kMaximum = 1440;
  const QString head = text.left(4);
  const auto digitAt = [&head](qsizetype at) { return at < head.size() && head[at] >= u'0' && head[at] <= u'9'; };
  qsizetype i = 0;
  while (i < head.size() && (head[i] == u' ' || head[i] == u'\t')) ++i;
  const qsizetype start = i;
  if (i < head.size() && (head[i] == u'+' || head[i] == u'-')) ++i;
  while (digitAt(i)) ++i;
  if (i < head.size() && head[i] == u'.') {
    ++i;
    while (digitAt(i)) ++i;
  }
  bool ok = false;
  const double number = head.mid(start, i - start).toDouble(&ok);
  if (!ok || number <= 0) return 0;
  return ClampValue(static_cast<qint32>(std::nearbyint(number)), kMinimum, kMaximum);
}

}  // namespace tw
