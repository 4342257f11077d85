#include "ControlEventLog.h"

namespace tw::test {
namespace {

QString Mouse(const char* name, qint16 button, qint16 shift, float x, float y) {
  return QStringLiteral("%1 %2 %3 %4 %5").arg(QLatin1String(name)).arg(button).arg(shift).arg(x).arg(y);
}

}  // namespace

ControlEventLog::ControlEventLog(bkDLControl& control) : control_(control) {
  connect(&control, &bkDLControl::Click, this, [this] { add(QStringLiteral("Click")); });
  connect(&control, &bkDLControl::DblClick, this, [this] { add(QStringLiteral("DblClick")); });
  connect(&control, &bkDLControl::MouseDown, this,
          [this](qint16 b, qint16 s, float x, float y) { add(Mouse("MouseDown", b, s, x, y)); });
  connect(&control, &bkDLControl::MouseMove, this,
          [this](qint16 b, qint16 s, float x, float y) { add(Mouse("MouseMove", b, s, x, y)); });
  connect(&control, &bkDLControl::MouseUp, this,
          [this](qint16 b, qint16 s, float x, float y) { add(Mouse("MouseUp", b, s, x, y)); });
  connect(&control, &bkDLControl::DLProgress, this, [this](float percent, qint32 read, qint32 total) {
    add(QStringLiteral("DLProgress %1 %2 %3").arg(percent).arg(read).arg(total));
  });
  connect(&control, &bkDLControl::DLCanceled, this, [this] { add(QStringLiteral("DLCanceled")); });
  connect(&control, &bkDLControl::DLError, this,
          [this](qint32 code, const QString& text) { add(QStringLiteral("DLError %1 %2").arg(code).arg(text)); });
  connect(&control, &bkDLControl::DLComplete, this,
          [this](qint32 bytes) { add(QStringLiteral("DLComplete %1").arg(bytes)); });
  connect(&control, &bkDLControl::DLConnected, this,
          [this](const QString& address) { add(QStringLiteral("DLConnected ") + address); });
  connect(&control, &bkDLControl::DLRedirect, this,
          [this](const QString& target) { add(QStringLiteral("DLRedirect ") + target); });
  connect(&control, &bkDLControl::DLCacheFile, this,
          [this](const QString& file) { add(QStringLiteral("DLCacheFile ") + file); });
  connect(&control, &bkDLControl::DLMIMEType, this,
          [this](const QString& type) { add(QStringLiteral("DLMIMEType ") + type); });
  connect(&control, &bkDLControl::DLFileSize, this,
          [this](qint32 size) { add(QStringLiteral("DLFileSize %1").arg(size)); });
  connect(&control, &bkDLControl::DLBeginDownload, this, [this] { add(QStringLiteral("DLBeginDownload")); });
}

void ControlEventLog::add(const QString& event) {
  events << event;
  activeInside << control_.DownloadActive();
  saveFileNameInside << control_.SaveFileName();
  if (onEvent) onEvent(event);
}

QStringList ControlEventLog::names() const {
  QStringList out;
  for (const QString& e : events) out << e.section(u' ', 0, 0);
  return out;
}

bool ControlEventLog::activeDuring(const QString& name) const {
  const qsizetype i = names().indexOf(name);
  return i >= 0 && activeInside.at(i);
}

}  // namespace tw::test
