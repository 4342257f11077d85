#pragma once

#include <QDateTime>

namespace tw {

// The time as the program sees it; tests set their own.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

}  // namespace tw
