#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tw {

DesktopOpener::DesktopOpener(QString launcher, QObject* parent) : QObject(parent), launcher_(std::move(launcher)) {}

// Launchers still running are left to run: on a plain desktop xdg-open waits
// for the browser it started, and ending it could end the browser.
DesktopOpener::~DesktopOpener() {
  for (QProcess* launch : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
    if (launch->state() == QProcess::NotRunning) continue;
    launch->disconnect();
    // Let go, not deleted: QProcess ends its child when it goes.
    launch->setParent(nullptr);
  }
}

void DesktopOpener::open(const QUrl& url) {
  const QString program =
      QFileInfo(launcher_).isAbsolute() ? launcher_ : QStandardPaths::findExecutable(launcher_);
  if (program.isEmpty()) {
    if (!QDesktopServices::openUrl(url)) Q_EMIT failed(url);
    return;
  }
  auto* launch = new QProcess(this);
  launch->setProgram(program);
  launch->setArguments({QString::fromUtf8(url.toEncoded())});
  // Its messages would only reach the terminal the program was started from.
  launch->setStandardOutputFile(QProcess::nullDevice());
  launch->setStandardErrorFile(QProcess::nullDevice());
  connect(launch, &QProcess::errorOccurred, this, [this, launch, url](QProcess::ProcessError error) {
    // A crash is answered by finished() as well.
    if (error != QProcess::FailedToStart) return;
    Q_EMIT failed(url);
    launch->deleteLater();
  });
  connect(launch, &QProcess::finished, this, [this, launch, url](int code, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit || code != 0) Q_EMIT failed(url);
    launch->deleteLater();
  });
  launch->start(QIODevice::NotOpen);
}

}  // namespace tw
