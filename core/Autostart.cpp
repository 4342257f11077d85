#include "Autostart.h"

#include "ActivityLog.h"
#include "AppIdentity.h"
#include "AppPaths.h"
#include "Registry.h"
#include "SettingDefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace tw {
namespace {

const QString kRunKey = QString::fromLatin1(setting::RunKeyPath);

// One argument of an Exec line: '%' doubled (it starts a field code), quoted
// when it holds a character the line reserves, with '"', '`', '$' and '\'
// escaped inside the quotes.
QString ExecArgument(const QString& argument) {
  static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  QString text = argument;
  text.replace(u'%', QStringLiteral("%%"));
  const bool quote = text.isEmpty() || std::any_of(text.begin(), text.end(), [](QChar c) { return kReserved.contains(c); });
  if (!quote) return text;
  QString quoted = QStringLiteral("\"");
  for (const QChar c : text) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c;
  }
  return quoted + u'"';
}

// A string value of the entry: backslashes and control characters escaped
// (readers undo this before they split an Exec line).
QString EntryValue(QString value) {
  value.replace(u'\\', QStringLiteral("\\\\"));
  value.replace(u'\n', QStringLiteral("\\n"));
  value.replace(u'\t', QStringLiteral("\\t"));
  value.replace(u'\r', QStringLiteral("\\r"));
  return value;
}

}  // namespace

Autostart::Autostart(Registry& registry, const AppIdentity& identity, const AppPaths& paths, QString executablePath,
                     ActivityLog& log)
    : registry_(registry),
      identity_(identity),
      userFolder_(paths.userAutostartFolder),
      systemFolder_(paths.systemAutostartFolder),
      home_(paths.home),
      executablePath_(std::move(executablePath)),
      log_(log) {}

QString Autostart::entryPath(Hive hive) const {
  const QString& folder = hive == Hive::CurrentUser ? userFolder_ : systemFolder_;
  return QDir(folder).filePath(QStringLiteral(TIDEWIRE_APP_ID ".desktop"));
}

QString Autostart::DesktopEntry(const QString& progTitle, const QString& executablePath, const QString& home) {
  QString exec = ExecArgument(executablePath);
  // Started without it, a program kept under TIDEWIRE_HOME would open other stores.
  if (!home.isEmpty()) {
    exec = QStringLiteral("env ") + ExecArgument(QString::fromLatin1(AppPaths::kHomeVariable) + u'=' + home) + u' ' + exec;
  }
  return QStringLiteral("[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=%1\n"
                        "Comment=Starts %1 when the desktop starts\n"
                        "Exec=%2\n"
                        "TryExec=%3\n"
                        "Icon=tidewire\n"
                        "Terminal=false\n")
      .arg(EntryValue(progTitle), EntryValue(exec), EntryValue(executablePath));
}

QString Autostart::storedPath(Hive hive) const {
  return registry_.QueryRegValue(hive, kRunKey, identity_.ProgTitle).toText();
}

bool Autostart::IsOn(Hive hive) const {
  return storedPath(hive) == executablePath_ && QFileInfo::exists(entryPath(hive));
}

void Autostart::Apply(bool on, Hive hive) {
  for (const Hive each : {Hive::LocalMachine, Hive::CurrentUser}) {
    registry_.DeleteRegValue(each, kRunKey, identity_.ProgTitle);
    removeEntry(each);
  }
  if (!on || !writeEntry(hive)) return;
  registry_.CreateRegKey(hive, kRunKey);
  registry_.SetRegValue(hive, kRunKey, identity_.ProgTitle, executablePath_, RegType::String);
  if (storedPath(hive) != executablePath_) {
    // Without the value the options would show the start as off while the
    // entry goes on starting the program.
    removeEntry(hive);
    log_.LogActivity(identity_.ProgTitle + QStringLiteral(" cannot start with the desktop: the settings store did not "
                                                           "keep the program's path ") +
                         executablePath_,
                     LogLevel::Error, true);
  }
}

bool Autostart::writeEntry(Hive hive) {
  const QString path = entryPath(hive);
  const QString folder = QFileInfo(path).absolutePath();
  QString problem;
  if (!QDir().mkpath(folder)) {
    problem = QStringLiteral("the folder cannot be created");
  } else {
    QSaveFile file(path);
    const QByteArray entry = DesktopEntry(identity_.ProgTitle, executablePath_, home_).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit()) {
      problem = file.errorString();
    }
  }
  if (problem.isEmpty()) return true;
  log_.LogActivity(identity_.ProgTitle + QStringLiteral(" cannot start with the desktop: no autostart entry could be "
                                                        "written in ") +
                       folder + QStringLiteral(" (") + problem + u')',
                   LogLevel::Error, true);
  return false;
}

void Autostart::removeEntry(Hive hive) {
  QFile entry(entryPath(hive));
  if (!entry.exists() || entry.remove()) return;
  log_.LogActivity(QStringLiteral("The autostart entry in ") + QFileInfo(entry).absolutePath() +
                       QStringLiteral(" could not be removed (") + entry.errorString() +
                       QStringLiteral("); the desktop will still start ") + identity_.ProgTitle,
                   LogLevel::Error, true);
}

}  // namespace tw
