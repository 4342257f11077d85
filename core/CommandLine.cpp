#include "CommandLine.h"

#include "AppIdentity.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <cstdio>

namespace tw {
namespace {

constexpr char kUsage[] =
    "Usage: tidewire [OPTION]...\n"
    "Follow the Xbox console scene's news sites from the notification area.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "Started while it already runs, Tidewire brings the running copy forward.\n"
    "Qt's own options (-platform, -style, -display ...) are taken as Qt takes\n"
    "them, and what follows --webEngineArgs goes to the web engine.\n"
    "See tidewire(1) for the environment and the files it uses.\n";

// Qt takes these with one dash or two. Kept to those of Qt's 6 options that
// reach a program on Linux: QGuiApplication's, QApplication's and those of
// the xcb platform.
const QByteArrayList kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "geometry", "title", "icon", "name", "style", "stylesheet",
};
const QByteArrayList kQtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
// Those Qt also reads as -name=value.
const QByteArrayList kQtJoinedOptions = {"style", "stylesheet", "qmljsdebugger"};

bool IsQtOption(const QByteArray& argument, bool* takesNext) {
  *takesNext = false;
  QByteArray name = argument.mid(argument.startsWith("--") ? 2 : 1);
  if (kQtFlags.contains(name)) return true;
  if (kQtOptionsWithValue.contains(name)) {
    *takesNext = true;
    return true;
  }
  const qsizetype equals = name.indexOf('=');
  return equals > 0 && kQtJoinedOptions.contains(name.left(equals));
}

// The window's version text, without its "v": "Tidewire 1.0 build 0311".
QString VersionLine() {
  const AppIdentity id;
  QString text = BuildVersionText(id.VersionMajor, id.VersionMinor, id.VersionRevision);
  if (text.startsWith(u'v')) text.remove(0, 1);
  return QString::fromLatin1(kProductTitle) + u' ' + text;
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    // The rest is the web engine's, or no option at all.
    if (argument == "--webEngineArgs" || argument == "--") break;
    if (argument == "-h" || argument == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument == "-v" || argument == "--version") {
      std::printf("%s\n", qPrintable(VersionLine()));
      return 0;
    }
    // Words that are not options were always left alone; so they stay.
    if (!argument.startsWith('-') || argument == "-") continue;
    bool takesNext = false;
    if (IsQtOption(argument, &takesNext)) {
      if (takesNext) ++i;
      continue;
    }
    std::fprintf(stderr, "tidewire: unknown option '%s'\n%s", argv[i], kUsage);
    return 2;
  }
  return std::nullopt;
}

}  // namespace tw
