// tidewire-demo-server: serves the demo feeds on 127.0.0.1 so Tidewire can
// run without the network. scripts/run starts it and points the program at it
// through TIDEWIRE_FEED_BASE.
#include "DemoFeedServer.h"
#include "DemoHome.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTimer>

#include <cerrno>
#include <cstdio>

#include <signal.h>

namespace {

using tw::demo::Behaviour;

// "file" or "file:number".
bool SplitOption(const QString& value, QString* file, int* number) {
  const qsizetype colon = value.lastIndexOf(u':');
  if (colon < 0) {
    *file = value;
    return true;
  }
  bool ok = false;
  *file = value.left(colon);
  *number = value.mid(colon + 1).toInt(&ok);
  return ok && !file->isEmpty();
}

bool ParentGone(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tidewire-demo-server"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Serves Tidewire's 17 demo feeds and its version file over HTTP on 127.0.0.1."));
  parser.addHelpOption();
  const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")}, QStringLiteral("Port (0: any free one)."),
                                QStringLiteral("port"), QStringLiteral("0"));
  const QCommandLineOption base(QStringLiteral("base"), QStringLiteral("Base path of the feeds."), QStringLiteral("path"),
                                QStringLiteral("/feeds"));
  const QCommandLineOption urlFile(QStringLiteral("url-file"),
                                   QStringLiteral("Write the base URL to this file once listening."), QStringLiteral("file"));
  const QCommandLineOption every(QStringLiteral("new-item-every"),
                                 QStringLiteral("Add a new item to the next site every so many seconds."),
                                 QStringLiteral("seconds"), QStringLiteral("0"));
  const QCommandLineOption version(QStringLiteral("version-file"), QStringLiteral("Version the version file names."),
                                   QStringLiteral("major.minor.revision"), QStringLiteral("1.00.0311"));
  const QCommandLineOption fail(QStringLiteral("fail"), QStringLiteral("Answer the file with an HTTP error (default 500)."),
                                QStringLiteral("file[:status]"));
  const QCommandLineOption redirect(QStringLiteral("redirect"), QStringLiteral("Redirect the file to a copy under moved/."),
                                    QStringLiteral("file"));
  const QCommandLineOption stall(QStringLiteral("stall"), QStringLiteral("Accept requests for the file, never answer."),
                                 QStringLiteral("file"));
  const QCommandLineOption trickle(QStringLiteral("trickle"),
                                   QStringLiteral("Send the file one byte every ms milliseconds (default 200)."),
                                   QStringLiteral("file[:ms]"));
  const QCommandLineOption empty(QStringLiteral("empty"), QStringLiteral("Answer the file with an empty body."),
                                 QStringLiteral("file"));
  const QCommandLineOption parent(QStringLiteral("exit-with"), QStringLiteral("Exit when this process has ended."),
                                  QStringLiteral("pid"));
  const QCommandLineOption seed(QStringLiteral("seed-home"),
                                QStringLiteral("Make this Tidewire home check at start-up and every few minutes "
                                               "(values already set are kept)."),
                                QStringLiteral("dir"));
  const QCommandLineOption seedInterval(QStringLiteral("seed-interval"),
                                        QStringLiteral("Check interval for --seed-home, in minutes (default 5)."),
                                        QStringLiteral("minutes"), QStringLiteral("5"));
  parser.addOptions({port, base, urlFile, every, version, fail, redirect, stall, trickle, empty, parent, seed,
                     seedInterval});
  parser.process(app);

  if (parser.isSet(seed) && !tw::demo::SeedDemoHome(parser.value(seed), parser.value(seedInterval).toInt())) {
    std::fprintf(stderr, "Cannot prepare the demo home %s\n", qPrintable(parser.value(seed)));
    return 1;
  }

  tw::demo::DemoFeedServer server(parser.value(base));
  server.setVersion(parser.value(version));
  const auto apply = [&](const QCommandLineOption& option, Behaviour::Kind kind, int fallback) {
    for (const QString& value : parser.values(option)) {
      QString file;
      int number = fallback;
      if (!SplitOption(value, &file, &number)) {
        std::fprintf(stderr, "Bad value for --%s: %s\n", qPrintable(option.names().constLast()), qPrintable(value));
        return false;
      }
      switch (kind) {
        case Behaviour::Kind::Fail:
          server.setBehaviour(file, Behaviour::Fail(number));
          break;
        case Behaviour::Kind::Trickle:
          server.setBehaviour(file, Behaviour::Trickle(number));
          break;
        case Behaviour::Kind::Redirect:
          server.setBehaviour(file, Behaviour::Redirect());
          break;
        case Behaviour::Kind::Stall:
          server.setBehaviour(file, Behaviour::Stall());
          break;
        default:
          server.setBehaviour(file, Behaviour::Empty());
          break;
      }
    }
    return true;
  };
  if (!apply(fail, Behaviour::Kind::Fail, 500) || !apply(redirect, Behaviour::Kind::Redirect, 0) ||
      !apply(stall, Behaviour::Kind::Stall, 0) || !apply(trickle, Behaviour::Kind::Trickle, 200) ||
      !apply(empty, Behaviour::Kind::Empty, 0)) {
    return 2;
  }

  if (!server.listen(static_cast<quint16>(parser.value(port).toUInt()))) {
    std::fprintf(stderr, "Cannot listen on 127.0.0.1:%s\n", qPrintable(parser.value(port)));
    return 1;
  }
  server.addItemsEvery(parser.value(every).toInt() * 1000);
  QObject::connect(&server, &tw::demo::DemoFeedServer::itemsAdded, [](int site, int count) {
    std::printf("demo server: site %d now has %d items\n", site, count);
    std::fflush(stdout);
  });

  if (parser.isSet(urlFile)) {
    QSaveFile file(parser.value(urlFile));
    if (!file.open(QIODevice::WriteOnly) || file.write(server.baseUrl().toUtf8() + '\n') < 0 || !file.commit()) {
      std::fprintf(stderr, "Cannot write %s\n", qPrintable(parser.value(urlFile)));
      return 1;
    }
  }
  std::printf("demo server: feeds at %s\n", qPrintable(server.baseUrl()));
  std::fflush(stdout);

  QTimer watch;
  if (parser.isSet(parent)) {
    const qint64 pid = parser.value(parent).toLongLong();
    QObject::connect(&watch, &QTimer::timeout, &app, [pid] {
      if (ParentGone(pid)) QCoreApplication::quit();
    });
    watch.start(1000);
  }
  return app.exec();
}
