#include "mainwindow/StateReport.h"

#include "mainwindow/Program.h"
#include "mainwindow/StatusBarPanels.h"
#include "news/FetchCycle.h"
#include "options/frmOptions.h"
#include "widgets/SiteTreeView.h"

#include <QSaveFile>

namespace tw {
namespace {
constexpr int kLookMs = 200;
}

StateReport::StateReport(QString file, Program& program, QObject* parent)
    : QObject(parent), file_(std::move(file)), program_(program) {
  timer_.setInterval(kLookMs);
  connect(&timer_, &QTimer::timeout, this, &StateReport::update);
  timer_.start();
  connect(&program_.downloads().fetch, &FetchCycle::queueDrained, this, [this] { ++checksFinished_; });
}

QString StateReport::Report() const {
  frmMain& window = program_.window();
  QString report = QStringLiteral("caption: ") + window.windowTitle() + u'\n';
  for (const char* panel : {"user", "msg"}) {
    report += QLatin1String(panel) + QStringLiteral(": ") + window.statusPanels().panelText(QLatin1String(panel)) + u'\n';
  }
  const SiteTreeView& tv = window.tv();
  for (int i = 0; i < tv.topLevelItemCount(); ++i) report += QStringLiteral("site: ") + tv.topLevelItem(i)->text(0) + u'\n';
  const frmOptions* options = program_.optionsDialog();
  report += QStringLiteral("options: ") +
            (options && options->isVisible() ? options->windowTitle() : QStringLiteral("closed")) + u'\n';
  report += QStringLiteral("checks: ") + QString::number(checksFinished_) + u'\n';
  return report;
}

void StateReport::update() {
  const QString report = Report();
  if (report == written_) return;
  QSaveFile file(file_);
  if (file.open(QIODevice::WriteOnly) && file.write(report.toUtf8()) >= 0 && file.commit()) written_ = report;
}

}  // namespace tw
