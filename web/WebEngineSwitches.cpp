#include "web/WebEngineSwitches.h"

#include <QtGlobal>

namespace tw {
namespace {

constexpr const char* kEnvironmentSwitches = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr const char* kArgumentsMark = "--webEngineArgs";

// Whether a switch is among these, with or without a value.
bool Given(const QByteArrayList& switches, const QByteArray& wanted) {
  for (const QByteArray& given : switches) {
    if (given == wanted || given.startsWith(QByteArray(wanted).append('='))) return true;
  }
  return false;
}

}  // namespace

const QByteArrayList& WebEngineSwitches::Ours() {
  static const QByteArrayList ours{QByteArrayLiteral("--no-unsandboxed-zygote")};
  return ours;
}

QByteArray WebEngineSwitches::WithOurs(const QByteArray& environmentSwitches) {
  const QByteArrayList given = environmentSwitches.simplified().split(' ');
  QByteArray out = environmentSwitches;
  for (const QByteArray& ours : Ours()) {
    if (Given(given, ours)) continue;
    if (!out.trimmed().isEmpty()) out += ' ';
    out += ours;
  }
  return out;
}

QByteArrayList WebEngineSwitches::WithOurs(const QByteArrayList& arguments) {
  QByteArrayList out = arguments;
  const qsizetype mark = out.indexOf(kArgumentsMark);
  const QByteArrayList given = mark < 0 ? QByteArrayList() : out.mid(mark + 1);
  if (mark < 0) out << kArgumentsMark;
  for (const QByteArray& ours : Ours()) {
    if (!Given(given, ours)) out << ours;
  }
  return out;
}

WebEngineSwitches::WebEngineSwitches(int& argc, char**& argv) {
  if (!qEnvironmentVariableIsSet(kAccessibilityVariable)) qputenv(kAccessibilityVariable, "1");
  if (qEnvironmentVariableIsSet(kEnvironmentSwitches)) {
    qputenv(kEnvironmentSwitches, WithOurs(qgetenv(kEnvironmentSwitches)));
    return;
  }
  QByteArrayList arguments;
  for (int i = 0; i < argc; ++i) arguments << QByteArray(argv[i]);
  kept_ = WithOurs(arguments);
  for (QByteArray& argument : kept_) argv_.push_back(argument.data());
  argv_.push_back(nullptr);
  argc = static_cast<int>(kept_.size());
  argv = argv_.data();
}

}  // namespace tw
