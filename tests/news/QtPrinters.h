#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <ostream>

// Readable Qt strings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(QStringView text, std::ostream* os) { *os << '"' << text.toString().toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < list.size(); ++i) *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
  *os << '}';
}
