// Writes many values into a store from a second process, to show that two
// processes sharing one store wait for each other instead of losing writes.
// store_writer <store file> <key> <count>
#include "core/Registry.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 4) return 2;
  int failures = 0;
  tw::Registry registry(args[1], args[1] + QStringLiteral(".unused"),
                        [&failures](const QString& message, tw::LogLevel) {
                          ++failures;
                          std::fprintf(stderr, "%s\n", qPrintable(message));
                        });
  const QString key = args[2];
  registry.CreateRegKey(tw::Hive::LocalMachine, key);
  const int count = args[3].toInt();
  for (int i = 0; i < count; ++i) {
    registry.SetRegValue(tw::Hive::LocalMachine, key, QStringLiteral("v%1").arg(i), i, tw::RegType::Dword);
  }
  return failures == 0 ? 0 : 1;
}
