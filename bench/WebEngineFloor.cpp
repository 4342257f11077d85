// The floor of a program that shows web pages: what a process still holds
// once it has created one web-engine page, shown a small page in a view and
// deleted the view, the page and its profile again. Nothing of Tidewire's,
// Qt's own classes only. Prints the PSS of the whole process tree (this
// process and the web engine's helper processes) with the page shown, and
// again a while after it was deleted:
//   bench_webengine_floor [seconds to wait after the delete, default 30]
// Run it as the program runs (scripts/measure: Xvfb, no window manager;
// QTWEBENGINE_DISABLE_SANDBOX=1 as root).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstdio>
#include <cstdlib>

namespace {

// Kibibytes of PSS of a process and every process below it.
qint64 TreePssKiB(const QString& pid) {
  qint64 total = 0;
  QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
  if (rollup.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : rollup.readAll().split('\n')) {
      if (line.startsWith("Pss:")) total += line.mid(4).trimmed().split(' ').first().toLongLong();
    }
  }
  const QStringList tasks = QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& task : tasks) {
    QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(pid, task));
    if (!children.open(QIODevice::ReadOnly)) continue;
    for (const QByteArray& child : children.readAll().split(' ')) {
      if (!child.trimmed().isEmpty()) total += TreePssKiB(QString::fromLatin1(child.trimmed()));
    }
  }
  return total;
}

void Report(const char* what) {
  std::printf("%s %.1f\n", what, TreePssKiB(QString::number(QCoreApplication::applicationPid())) / 1024.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  const int waitSeconds = argc > 1 ? std::atoi(argv[1]) : 30;

  auto* profile = new QWebEngineProfile();  // off the record, as the program's
  auto* page = new QWebEnginePage(profile);
  auto* view = new QWebEngineView();
  view->setPage(page);
  view->resize(800, 600);
  view->show();

  QObject::connect(page, &QWebEnginePage::loadFinished, &app, [&] {
    // Painted and settled.
    QTimer::singleShot(2000, &app, [&] {
      Report("page-shown-pss-mib");
      delete view;
      delete page;
      delete profile;
      QTimer::singleShot(waitSeconds * 1000, &app, [] {
        Report("floor-pss-mib");
        QCoreApplication::quit();
      });
    });
  });
  page->setHtml(QStringLiteral("<html><body><h1>Floor</h1><p>One small page.</p></body></html>"));
  return app.exec();
}
