#include "TerminationWatch.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tw {
namespace {

// The one thing a signal handler may safely do: write a byte to a socket
// that the event loop watches.
int gSignalPair[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gSignalPair[0], &byte, 1);
}

}  // namespace

TerminationWatch::TerminationWatch(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPair) != 0) return;
  notifier_ = new QSocketNotifier(gSignalPair[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationWatch::readSignal);
  struct sigaction action = {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

TerminationWatch::~TerminationWatch() {
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) std::signal(sig, SIG_DFL);
  for (int& fd : gSignalPair) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void TerminationWatch::readSignal() {
  char byte = 0;
  [[maybe_unused]] const ssize_t got = ::read(gSignalPair[1], &byte, 1);
  Q_EMIT terminationRequested();
}

}  // namespace tw
