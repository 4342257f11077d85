#pragma once

#include "core/LogLevel.h"
#include "core/RegistryStore.h"

#include <QList>
#include <QStringList>

namespace tw::test {

// What a settings store reported, line by line.
struct ReportedProblems {
  QStringList lines;
  QList<LogLevel> levels;
  RegistryStore::Reporter reporter() {
    return [this](const QString& message, LogLevel level) {
      lines << message;
      levels << level;
    };
  }
};

}  // namespace tw::test
