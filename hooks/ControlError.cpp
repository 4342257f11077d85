#include "hooks/ControlError.h"

#include "core/AppIdentity.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tw {

ControlError::ControlError(std::uint32_t number, const QString& component, const QString& description)
    : number_(number), source_(ExecutableName() + u'.' + component), description_(description) {
  const QString hex = QString::number(number_, 16).toUpper().rightJustified(8, u'0');
  what_ = QString(source_ + QStringLiteral(": ") + description_ + QStringLiteral(" (0x") + hex + u')').toUtf8();
}

void ControlError::Raise(std::uint32_t number, const char* component, const char* description) {
  throw ControlError(number, QString::fromLatin1(component), QString::fromLatin1(description));
}

QString ExecutableName() {
  if (QCoreApplication::instance()) {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (!name.isEmpty()) return name;
  }
  return QString::fromLatin1(kProductTitle).toLower();
}

}  // namespace tw
