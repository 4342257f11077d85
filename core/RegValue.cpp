#include "RegValue.h"

#include <cmath>
#include <limits>

namespace tw {

RegValue RegValue::Text(QString text) {
  RegValue v;
  v.value_ = std::move(text);
  return v;
}

RegValue RegValue::Number(qint32 number) {
  RegValue v;
  v.value_ = number;
  return v;
}

QString RegValue::toText() const {
  if (const auto* text = std::get_if<QString>(&value_)) return *text;
  if (const auto* number = std::get_if<qint32>(&value_)) return QString::number(*number);
  return {};
}

qint32 RegValue::toInt() const {
  if (const auto* number = std::get_if<qint32>(&value_)) return *number;
  if (const auto* text = std::get_if<QString>(&value_)) {
    bool ok = false;
    const double d = text->trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d)) return 0;
    const double r = std::nearbyint(d);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max()) return 0;
    return static_cast<qint32>(r);
  }
  return 0;
}

}  // namespace tw
