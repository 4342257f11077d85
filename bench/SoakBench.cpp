// Months in the tray, in minutes: the whole program (its main window
// offscreen, the web engine included) checks the 17 demo feeds over and over
// as fast as it can, new items arriving at a few sites each time (every feed
// keeps its length, so the oldest items leave it), its alerts raised and
// cleared, and an item's page shown every few checks. Prints the resident
// memory of the program after check 100 and after the last one, and
//   rss-growth-mib N
// their difference. Whatever a check or a page leaves behind shows there.
//   bench_soak [checks, default 1000] [a page every so many checks, default 5]
// Each check is the program's own: FetchCycle fetches from the in-process
// demo server, the parser, the item store (its writes synchronous as
// always), the tree, the alerts. Only the pause of 200 ms between two
// feeds, which the program spends idle, is cut short: the bench runs the
// queue's next step as soon as a transfer has ended.
#include "DemoFeedServer.h"
#include "DemoFeeds.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "mainwindow/AlertManager.h"
#include "mainwindow/Program.h"
#if TIDEWIRE_WEB_ENGINE
#include "web/PageSchemeRegistration.h"
#include "web/WebEngineStart.h"
#endif

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int kSampleCheck = 100;
constexpr int kCheckTimeoutMs = 120000;
constexpr int kPageTimeoutMs = 60000;

double ResidentMiB(long pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
  }
  return 0;
}

// The web engine's helper processes (the zygote, the page's process) below
// this one.
double HelpersResidentMiB() {
  QList<long> tree{QCoreApplication::applicationPid()};
  double mib = 0;
  for (qsizetype i = 0; i < tree.size(); ++i) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(tree[i]));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      QFile children(tasks.filePath(task + QStringLiteral("/children")));
      if (!children.open(QIODevice::ReadOnly)) continue;
      for (const QByteArray& child : children.readAll().split(' ')) {
        if (const long pid = child.trimmed().toLong(); pid > 0) {
          tree << pid;
          mib += ResidentMiB(pid);
        }
      }
    }
  }
  return mib;
}

// Runs the event loop until the signal comes, or gives up after ms.
template <typename Sender, typename Signal>
bool WaitFor(Sender* sender, Signal signal, int ms, const std::function<void()>& start) {
  QEventLoop loop;
  bool came = false;
  const auto connection = QObject::connect(sender, signal, &loop, [&] {
    came = true;
    loop.quit();
  });
  // A timer of its own, gone with the wait: a single shot would stay queued.
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(ms);
  start();
  if (!came) loop.exec();
  QObject::disconnect(connection);
  return came;
}

struct Sample {
  double rssMiB;
  double helpersRssMiB;
  qsizetype widgets;
  qsizetype windowObjects;
  qsizetype files;
  qsizetype activityLines;
};

Sample Take(tw::Program& program) {
  return {ResidentMiB(QCoreApplication::applicationPid()),
          HelpersResidentMiB(),
          QApplication::allWidgets().size(),
          program.window().findChildren<QObject*>().size(),
          QDir(program.core().programFolder.AppFolder()).entryList(QDir::Files | QDir::Hidden).size(),
          program.core().activity.lines().size()};
}

void Print(const char* when, const Sample& s) {
  std::printf("%s: rss %.1f MiB, web engine helpers' rss %.1f MiB, widgets %lld, objects under the window %lld, "
              "files in the program folder %lld, activity lines %lld\n",
              when, s.rssMiB, s.helpersRssMiB, static_cast<long long>(s.widgets),
              static_cast<long long>(s.windowObjects), static_cast<long long>(s.files),
              static_cast<long long>(s.activityLines));
  std::fflush(stdout);
}

// The offscreen platform cannot cut or raise a window; an alert asks for
// both each time it shows.
QtMessageHandler gQtMessages = nullptr;
void DropPlatformLimits(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (!message.startsWith(QLatin1String("This plugin does not support"))) gQtMessages(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  const int checks = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int pageEvery = argc > 2 ? std::atoi(argv[2]) : 5;
  if (checks <= kSampleCheck || pageEvery <= 0) {
    std::fprintf(stderr, "usage: bench_soak [checks > %d] [a page every so many checks]\n", kSampleCheck);
    return 2;
  }

  // As the program's main() sets itself up.
#if TIDEWIRE_WEB_ENGINE
  tw::RegisterPageScheme();
  tw::WebEngineStart engineStart(argc, argv);
#endif
  QApplication app(argc, argv);
#if TIDEWIRE_WEB_ENGINE
  engineStart.applicationMade();
#endif
  gQtMessages = qInstallMessageHandler(&DropPlatformLimits);
  app.setQuitOnLastWindowClosed(false);

  QTemporaryDir home;
  tw::demo::DemoFeedServer server;
  server.setFixedLength(true);
  if (!home.isValid() || !server.listen()) {
    std::fprintf(stderr, "No home folder or no demo server\n");
    return 1;
  }
  qputenv(tw::FeedEndpoints::kBaseVariable, server.baseUrl().toUtf8());
  const tw::Clock clock;
  auto program = std::make_unique<tw::Program>(tw::AppPaths::UnderHome(home.path()), clock);
  tw::FetchCycle& fetch = program->downloads().fetch;
  tw::bkDLControl& DL = program->downloads().DL;
  // The queue's next step at once instead of 200 ms later.
  QObject::connect(&DL, &tw::bkDLControl::transferEnded, &fetch, [&] {
    if (fetch.tmrCheckQueue().isActive() && !DL.DownloadActive()) fetch.StartNextDownload();
  }, Qt::QueuedConnection);
  program->Start();

  tw::AppCore& core = program->core();
  std::optional<Sample> atSample;
  QElapsedTimer timer;
  timer.start();
  qint64 sampledAtMs = 0;
  int pagesShown = 0;
  for (int check = 1; check <= checks; ++check) {
    // News for three sites in turn, one or two items each.
    for (int i = 0; i < 3; ++i) server.addItems((check * 3 + i) % tw::demo::kDemoSiteCount + 1, 1 + (check + i) % 2);
    if (!WaitFor(&fetch, &tw::FetchCycle::queueDrained, kCheckTimeoutMs, [&] { program->updateNewsLists(); })) {
      std::fprintf(stderr, "Check %d did not end within %d s\n", check, kCheckTimeoutMs / 1000);
      return 1;
    }
    program->window().Clear_Popups();
    // The server is the bench's, not the program's: what it remembers is left out.
    server.clearRequests();

    if (check % pageEvery == 0) {
      // A click on the newest item of the next site, as the tree reports it.
      const int site = (check / pageEvery) % core.sites.LastIndex() + 1;
      const QStringList items = core.tv.childKeys(core.sites[site].Key);
      if (!items.isEmpty()) {
        tw::TreeClickHandler& clicks = program->window().treeClicks();
        const bool loaded = WaitFor(&program->web(), &tw::WebView::loadFinished, kPageTimeoutMs, [&] {
          core.tv.select(items.first());
          clicks.mouseDown(tw::TreeClickHandler::kLeftButton);
          clicks.NodeClick(items.first());
          clicks.Click();
        });
        if (!loaded) std::fprintf(stderr, "The page of check %d did not load within %d s\n", check, kPageTimeoutMs / 1000);
        pagesShown += loaded;
      }
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    if (check == kSampleCheck) {
      atSample = Take(*program);
      sampledAtMs = timer.elapsed();
      Print("after check 100", *atSample);
    } else if (check % 100 == 0) {
      std::printf("after check %d: rss %.1f MiB\n", check, ResidentMiB(QCoreApplication::applicationPid()));
      std::fflush(stdout);
    }
  }
  const Sample atEnd = Take(*program);
  const qint64 totalMs = timer.elapsed();
  Print(qPrintable(QStringLiteral("after check %1").arg(checks)), atEnd);
  std::printf("checks %d, pages shown %d, %.1f s in all, %.0f ms a check after check 100\n", checks, pagesShown,
              totalMs / 1000.0, static_cast<double>(totalMs - sampledAtMs) / (checks - kSampleCheck));
  std::printf("helpers-rss-growth-mib %.1f\n", atEnd.helpersRssMiB - atSample->helpersRssMiB);
  std::printf("rss-growth-mib %.1f\n", atEnd.rssMiB - atSample->rssMiB);
  std::fflush(stdout);
  // The program is left standing: under a heap profiler (heaptrack) whatever
  // it holds at the end shows as never freed, and two runs of different
  // lengths tell what grows.
  home.remove();
  std::_Exit(0);
}
