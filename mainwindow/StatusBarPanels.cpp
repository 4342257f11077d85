#include "mainwindow/StatusBarPanels.h"

#include "widgets/ElidedLabel.h"
#include "widgets/ImageList.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tw {

StatusBarPanels::StatusBarPanels(const ImageList& images, QWidget* parent) : QStatusBar(parent), images_(images) {
  setObjectName(QStringLiteral("sBar"));
  setFixedHeight(kHeightPx);
  setSizeGripEnabled(true);
  for (const char* key : {"user", "msg", "dl", "ver"}) panel(QString::fromLatin1(key));
}

StatusBarPanels::Panel& StatusBarPanels::panel(const QString& key) {
  auto it = panels_.find(key);
  if (it != panels_.end()) return *it;
  auto* box = new QWidget(this);
  box->setObjectName(QStringLiteral("panel_") + key);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(4, 0, 4, 0);
  layout->setSpacing(4);
  // The message panels stretch and shorten what does not fit, so a long
  // message never pushes the version and mode panels out of sight; those
  // keep their size.
  const bool stretches = key == QLatin1String("msg") || key == QLatin1String("dl");
  Panel p{new QLabel(box), stretches ? new ElidedLabel(box) : new QLabel(box)};
  p.icon->setFixedSize(16, 16);
  p.icon->hide();
  layout->addWidget(p.icon);
  layout->addWidget(p.text, 1);
  if (key == QLatin1String("ver")) {
    addPermanentWidget(box);
  } else {
    addWidget(box, stretches ? 1 : 0);
  }
  return *panels_.insert(key, p);
}

void StatusBarPanels::setPanelText(const QString& key, const QString& text) { panel(key).text->setText(text); }

QString StatusBarPanels::panelText(const QString& key) const {
  const auto it = panels_.constFind(key);
  return it == panels_.constEnd() ? QString() : it->text->text();
}

void StatusBarPanels::setPanelImage(const QString& key, const QString& imageKey) {
  Panel& p = panel(key);
  if (imageKey.isEmpty()) {
    p.icon->clear();
    p.icon->hide();
    return;
  }
  p.icon->setPixmap(images_.icon(imageKey).pixmap(16, 16));
  p.icon->show();
}

void StatusBarPanels::addPanel(const QString& key, const QString& text) { setPanelText(key, text); }

}  // namespace tw
