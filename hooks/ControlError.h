#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <exception>

namespace tw {

// What a reusable control raises when it is misused: a number, the source that
// raised it ("<program>.<component>") and a description for people. It is
// thrown by the call that was misused, never from inside event delivery.
class ControlError : public std::exception {
 public:
  // Numbers of application-defined object errors start here: code 1 is
  // 0x80040001.
  static constexpr std::uint32_t kObjectError = 0x80040000u;

  ControlError(std::uint32_t number, const QString& component, const QString& description);
  [[noreturn]] static void Raise(std::uint32_t number, const char* component, const char* description);

  std::uint32_t Number() const noexcept { return number_; }
  const QString& Source() const noexcept { return source_; }
  const QString& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.constData(); }

 private:
  std::uint32_t number_;
  QString source_;
  QString description_;
  QByteArray what_;
};

// The running program's file name without its folder: the first part of every
// error source.
QString ExecutableName();

}  // namespace tw
