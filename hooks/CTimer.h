#pragma once

#include "hooks/ControlError.h"

#include <QObject>

namespace tw {

// A timer object driven by the program's timer table (MTimer): ThatTime on
// every tick while Interval is above 0.
//
// Errors are thrown as ControlError with the source "<program>.WindowProc":
// "No more than 10 timers allowed per class" when every slot of the table is
// taken, "Can't create system timer" when Qt refuses the timer (the object is
// then stopped).
class CTimer : public QObject {
  Q_OBJECT

 public:
  static constexpr std::uint32_t kTooManyTimers = ControlError::kObjectError + 13651;  // 0x80043553
  static constexpr std::uint32_t kCantCreateTimer = ControlError::kObjectError + 13652;  // 0x80043554

  explicit CTimer(QObject* parent = nullptr);
  ~CTimer() override;

  // Milliseconds; 0 when stopped.
  int Interval() const { return interval_; }
  // Above 0 and different: (re)starts the timer. 0 or less: stops it.
  void setInterval(int milliseconds);
  // Raises ThatTime now.
  void PulseTimer();

 Q_SIGNALS:
  void ThatTime();

 private:
  void stop();

  int interval_ = 0;
  int timerId_ = 0;
};

}  // namespace tw
