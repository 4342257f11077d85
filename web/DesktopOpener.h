#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

namespace tw {

// Hands addresses to the desktop's web browser or mail program and tells
// when that did not happen. Qt's own way (QDesktopServices) only says
// whether a launcher could be started: xdg-open on a desktop with no
// handler for the address starts, fails and exits with an error nobody
// hears. Here the launcher runs as a child whose end is watched: a launch
// that cannot start, crashes or exits with an error status is a failure.
class DesktopOpener : public QObject {
  Q_OBJECT

 public:
  // launcher: the program that takes an address as its one argument; found
  // on PATH when it is a bare name. Without one there, the desktop is asked
  // through QDesktopServices, whose answer is all there is to know.
  explicit DesktopOpener(QString launcher = QStringLiteral("xdg-open"), QObject* parent = nullptr);
  ~DesktopOpener() override;

  void open(const QUrl& url);

 Q_SIGNALS:
  // Nothing on the desktop took the address.
  void failed(const QUrl& url);

 private:
  QString launcher_;
};

}  // namespace tw
