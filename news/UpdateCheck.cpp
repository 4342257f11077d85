#include "news/UpdateCheck.h"

#include "core/AppCore.h"
#include "core/BuildFlags.h"
#include "core/Clock.h"
#include "core/Windows1252.h"
#include "core/WindowPorts.h"
#include "download/bkDLControl.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <limits>
#include <tuple>

namespace tw {
namespace {

// Only the first line matters; a huge file is not read whole.
constexpr qint64 kFirstLineLimit = 4096;

// The leading decimal digits of the text as a number, 0 when there are none.
int LeadingNumber(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text.at(i).isSpace()) ++i;
  qint64 value = 0;
  for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
    value = value * 10 + (text.at(i).unicode() - u'0');
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  }
  return static_cast<int>(value);
}

// Takes the number up to and including the next "." and moves past it; with
// no "." the number is 0 and the text stays as it is.
int TakePart(QString& text) {
  const qsizetype dot = text.indexOf(u'.');
  if (dot < 0) return 0;
  const int value = LeadingNumber(text.left(dot + 1));
  text = text.mid(dot + 1);
  return value;
}

QString ReadFirstField(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = DecodeWindows1252(file.read(kFirstLineLimit));
  file.close();
  const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[,\r\n]")));
  return end < 0 ? text : text.left(end);
}

}  // namespace

FileVersion ParseVersionField(const QString& field) {
  QString text = field;
  FileVersion v;
  v.major = TakePart(text);
  v.minor = TakePart(text);
  v.revision = LeadingNumber(text);
  return v;
}

bool IsNewerVersion(const FileVersion& available, const FileVersion& running) {
  return std::tie(available.major, available.minor, available.revision) >
         std::tie(running.major, running.minor, running.revision);
}

UpdateCheck::UpdateCheck(AppCore& core, bkDLControl& dlSys) : core_(core), dlSys_(dlSys) {}

void UpdateCheck::StartUpdateCheck() {
  const QDate today = core_.clock.now().date();
  if (today != lastCheckDate_) {
    updateAnnouncedToday_ = false;
    lastCheckDate_ = today;
    lastCheckWeekday_ = QLocale::c().toString(today, QStringLiteral("dddd"));
  }
  if (updateAnnouncedToday_) return;
  // The previous round's version download is still running: let it finish
  // rather than redirect it.
  if (dlSys_.DownloadActive()) return;

  const QString message = QStringLiteral("Checking for update...");
  core_.activity.LogActivity(message, LogLevel::Info, false);
  core_.debugLog.WriteDebugLog(message);
  const QString folder = core_.programFolder.AppFolder();
  EnsureFolder(folder);
  dlSys_.setFileURL(core_.identity.VersionFileUrl);
  dlSys_.setSaveFilePath(folder);
  dlSys_.setTag(QString::number(kVersionFileTag));
  dlSys_.BeginDownload();
}

void UpdateCheck::CompareVersionFile(const QString& path) {
  const QString field = ReadFirstField(path);
  if (!DebugBuild) DeleteFileIfPresent(path);

  const FileVersion available = ParseVersionField(field);
  const AppIdentity& id = core_.identity;
  const QString text = QStringLiteral("Your version: ") + id.VersionText + QStringLiteral("    Available version: v") +
                       QString::number(available.major) + u'.' + QString::number(available.minor) +
                       QStringLiteral(" build ") + QString::number(available.revision).rightJustified(4, u'0');
  core_.activity.LogActivity(text, LogLevel::Info, false);
  core_.debugLog.WriteDebugLog(text);

  if (!IsNewerVersion(available, FileVersion{id.VersionMajor, id.VersionMinor, id.VersionRevision})) return;
  if (alerts_) {
    alerts_->ShowAlert(id.ProgTitle + QStringLiteral(" v") + QString::number(available.major) + u'.' +
                           QString::number(available.minor) + QStringLiteral(" build ") +
                           QString::number(available.revision) + QStringLiteral("\r\n is available for download"),
                       QStringLiteral("Update available..."), 0, false);
  }
  updateAnnouncedToday_ = true;
}

}  // namespace tw
