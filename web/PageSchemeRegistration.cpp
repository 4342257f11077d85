#include "PageSchemeRegistration.h"

#include "web/PageScheme.h"

#include <QCoreApplication>
#include <QWebEngineUrlScheme>

namespace tw {

void RegisterPageScheme() {
  const QByteArray name(kPageScheme);
  if (QWebEngineUrlScheme::schemeByName(name).name() == name) return;
  QWebEngineUrlScheme scheme(name);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
  // Neither LocalScheme nor LocalAccessAllowed: pages of this scheme must
  // not reach file://. Not SecureScheme either: item pages show pictures
  // from plain http sites.
  scheme.setFlags({});
  QWebEngineUrlScheme::registerScheme(scheme);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace tw
