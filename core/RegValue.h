#pragma once

#include <QString>
#include <QtGlobal>

#include <variant>

namespace tw {

// Value kinds as the registry numbers them. Only text and 32-bit numbers are
// ever written; any other kind found in a store reads as empty.
enum class RegType : int {
  None = 0,
  String = 1,  // REG_SZ
  Binary = 3,  // REG_BINARY (only ever met in foreign data)
  Dword = 4,   // REG_DWORD
};

// What QueryRegValue gives back: nothing, a text or a 32-bit number. Readers
// take "nothing" as off / 0 / empty text.
class RegValue {
 public:
  RegValue() = default;
  static RegValue Text(QString text);
  static RegValue Number(qint32 number);

  bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool isText() const { return std::holds_alternative<QString>(value_); }
  bool isNumber() const { return std::holds_alternative<qint32>(value_); }

  // Numbers in decimal; empty as "".
  QString toText() const;
  // Text that reads as a number gives that number (rounded half to even);
  // other text and empty give 0.
  qint32 toInt() const;
  // The program's reading rule for flags: any non-zero value is on.
  bool isNonZero() const { return toInt() != 0; }

  friend bool operator==(const RegValue&, const RegValue&) = default;

 private:
  std::variant<std::monostate, QString, qint32> value_;
};

}  // namespace tw
