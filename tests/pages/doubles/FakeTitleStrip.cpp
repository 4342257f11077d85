#include "FakeTitleStrip.h"

#include <QFileInfo>

namespace tw::test {

void FakeTitleStrip::setBuiltInPageShown(bool on) {
  shown = on;
  calls << QStringLiteral("builtInPageShown %1").arg(on ? 1 : 0);
}

void FakeTitleStrip::setTitleStrip(const TitleStripContent& content) {
  calls << QStringLiteral("setTitleStrip ") + content.title.text;
  contents << content;
  logoFileExisted << (!content.logoFile.isEmpty() && QFileInfo(content.logoFile).isFile());
}

}  // namespace tw::test
