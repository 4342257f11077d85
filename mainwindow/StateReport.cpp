#include "mainwindow/StateReport.h"

#include "mainwindow/Program.h"
#include "mainwindow/StatusBarPanels.h"
#include "mainwindow/TitleStripPanel.h"
#include "news/FetchCycle.h"
#include "options/frmOptions.h"
#include "widgets/ElidedLabel.h"
#include "widgets/SiteTreeView.h"

#include <QAction>
#include <QFile>
#include <QMenu>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tw {
namespace {
constexpr int kLookMs = 200;
constexpr qsizetype kActivityLines = 10;
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
  for (int i = 0; i < tv.topLevelItemCount(); ++i) {
    if (tv.topLevelItem(i)->isExpanded()) report += QStringLiteral("open: ") + tv.topLevelItem(i)->text(0) + u'\n';
  }
  report += QStringLiteral("selected: ") + (tv.currentItem() ? tv.currentItem()->text(0) : QString()) + u'\n';
  const TitleStripPanel& strip = window.titleStrip();
  report += QStringLiteral("page: ") +
            (strip.builtInPageShown() ? QStringLiteral("built-in") : strip.lblTitle()->text()) + u'\n';
  QStringList entries;
  if (window.mnuPopup()->isVisible()) {
    for (const QAction* action : window.mnuPopup()->actions()) {
      if (action->isVisible() && !action->isSeparator()) entries << action->text();
    }
  }
  report += QStringLiteral("menu: ") + (entries.isEmpty() ? QStringLiteral("closed") : entries.join(QStringLiteral(", "))) + u'\n';
  const frmOptions* options = program_.optionsDialog();
  report += QStringLiteral("options: ") +
            (options && options->isVisible() ? options->windowTitle() : QStringLiteral("closed")) + u'\n';
  report += QStringLiteral("checks: ") + QString::number(checksFinished_) + u'\n';
  const QVector<ActivityLine>& lines = program_.core().activity.lines();
  for (qsizetype i = std::max<qsizetype>(0, lines.size() - kActivityLines); i < lines.size(); ++i) {
    report += QStringLiteral("activity: ") + lines.at(i).text + u'\n';
  }
  return report;
}

void StateReport::update() {
  QString report = Report();
  if (report != seen_) {
    seen_ = std::move(report);
    return;
  }
  if (report == written_) return;
  // Written aside and renamed over, so a reader never sees half a report;
  // not synced to the disk, which a report for a watching test has no need
  // of and which would cost the program being watched a disk flush a change.
  const QString aside = file_ + QStringLiteral(".new");
  QFile file(aside);
  const QByteArray bytes = report.toUtf8();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
    return;
  }
  file.close();
  if (std::rename(QFile::encodeName(aside).constData(), QFile::encodeName(file_).constData()) == 0) written_ = report;
}

}  // namespace tw
