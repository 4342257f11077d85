// The floor of a program that shows web pages: what a process still holds
// once it has created one web-engine page, shown a small page in a view and
// deleted the view, the page and its profile again: Qt's own classes only.
// Prints the memory of the whole process tree (this process and the web
// engine's helper processes, see TreeMemory.h) with the page shown, and
// again a while after it was deleted:
//   bench_webengine_floor [seconds to wait after the delete, default 30]
// Run it as the program runs (scripts/measure: Xvfb, no window manager,
// QT_QUICK_BACKEND=software; QTWEBENGINE_DISABLE_SANDBOX=1 as root). Like
// the program, it loads no GL stack when Qt Quick draws in software.
#include "TreeMemory.h"

#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstdio>
#include <cstdlib>

namespace {

void Report(const char* what) {
  const tw::TreeMemory memory = tw::MeasureTreeMemory(QCoreApplication::applicationPid());
  std::printf("%s %.1f (PSS %.1f)\n", what, memory.quietPssMiB, memory.pssMiB);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  const QByteArray backend = qgetenv("QT_QUICK_BACKEND");
  if ((backend == "software" || backend == "softwarecontext") && !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
    qputenv("QT_XCB_GL_INTEGRATION", "none");
  }
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
      Report("page-shown-mib");
      delete view;
      delete page;
      delete profile;
      QTimer::singleShot(waitSeconds * 1000, &app, [] {
        Report("floor-mib");
        QCoreApplication::quit();
      });
    });
  });
  page->setHtml(QStringLiteral("<html><body><h1>Floor</h1><p>One small page.</p></body></html>"));
  return app.exec();
}
