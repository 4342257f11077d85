// The option tree on show: folders, checks, a check folder and an option
// group, plain and over a tiled background. With an output folder it saves
// option-tree-light.png and option-tree-dark.png there and exits; run it
// under an X server of its own (scripts/option-tree-screenshots).
#include "core/AppIdentity.h"
#include "options/XTreeOpt.h"
#include "tests/support/ScreenshotTools.h"
#include "widgets/ImageList.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyleFactory>
#include <QVBoxLayout>

namespace {

// A soft paper texture with a faint wave, in the palette's own shades.
QPixmap Paper(const QPalette& palette) {
  const QColor base = palette.color(QPalette::Base);
  const bool dark = base.lightness() < 128;
  QPixmap tile(48, 48);
  tile.fill(dark ? base.lighter(125) : base.darker(104));
  QPainter p(&tile);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath wave;
  wave.moveTo(0, 30);
  wave.cubicTo(12, 18, 36, 42, 48, 30);
  p.setPen(QPen(dark ? base.lighter(175) : base.darker(112), 2));
  p.drawPath(wave);
  p.setPen(Qt::NoPen);
  p.setBrush(dark ? base.lighter(160) : base.darker(108));
  p.drawEllipse(QPointF(12, 10), 2, 2);
  p.drawEllipse(QPointF(36, 14), 1.5, 1.5);
  return tile;
}

void Fill(tw::XTreeOpt& opt, const tw::ImageList& images, int iconSet) {
  using tw::XTreeOpt;
  const QString product = QString::fromLatin1(tw::kProductTitle);
  opt.setIndentation(250);
  opt.setStyle(3);
  opt.setIconSet(iconSet);
  for (const QString& key : {product, QStringLiteral("time"), QStringLiteral("xboxscene")}) {
    opt.AddFolderType(images.icon(key), QIcon(), key);
  }
  tw::OptNode* program = opt.AddFolder({}, nullptr, product + QStringLiteral(" program settings"), XTreeOpt::kCustomFolder, product, true);
  opt.AddCheck(QStringLiteral("AUTO_RUN"), program, QStringLiteral("Run Tidewire when the desktop starts"), 1);
  opt.AddCheck(QStringLiteral("AUTO_MIN"), program, QStringLiteral("Minimise when Tidewire starts"), 0);
  opt.AddCheck(QStringLiteral("CLOSE_TRAY"), program, QStringLiteral("Close/Minimise to system tray"), 1);
  tw::OptNode* display = opt.AddFolder({}, program, QStringLiteral("Display options"), XTreeOpt::kStandardFolder);
  opt.AddCheck(QStringLiteral("SHOW_WEB_PROGRESS"), display, QStringLiteral("Show browser progress"), 1);
  opt.AddCheck(QStringLiteral("SHOW_LOG"), display, QStringLiteral("Show activity log"), 0);
  tw::OptNode* alerts = opt.AddFolder(QStringLiteral("ALERTS"), program, QStringLiteral("Popup alerts"), XTreeOpt::kCheckFolder);
  opt.AddCheck(QStringLiteral("ALERT_NEW"), alerts, QStringLiteral("New items"), 1);
  opt.AddCheck(QStringLiteral("ALERT_FAILED"), alerts, QStringLiteral("Failed downloads"), 0);
  tw::OptNode* update = opt.AddFolder({}, program, QStringLiteral("Auto update news"), XTreeOpt::kCustomFolder, QStringLiteral("time"));
  opt.AddOption(QStringLiteral("MIN0"), update, QStringLiteral("Disabled"));
  opt.AddOption(QStringLiteral("USER_TIME"), update, QStringLiteral("User Defined (30 minutes)"));
  tw::OptNode* site = opt.AddFolder(QStringLiteral("SITE"), nullptr, QStringLiteral("Xbox-Scene"), XTreeOpt::kCustomFolder,
                                    QStringLiteral("xboxscene"), true);
  opt.AddCheck(QStringLiteral("SITE_DISABLE"), site, QStringLiteral("Disable Xbox-Scene news list"), 0);
  opt.AddCheck(QStringLiteral("SITE_AUTOITEM"), site, QStringLiteral("Auto display news item"), 1);
  opt.AddCheck(QStringLiteral("SITE_EXT"), site, QStringLiteral("Open news in external browser"), 0);
  opt.ExpandAll();
  opt.setValue(QStringLiteral("USER_TIME"), 1);
  // The keyboard focus on one node, nothing highlighted.
  opt.tree()->setCurrentItem(opt.Nodes(QStringLiteral("CLOSE_TRAY")));
  opt.tree()->clearSelection();
}

QPalette DarkPalette() {
  QPalette p;
  const QColor window(45, 47, 51), base(30, 31, 34), text(222, 224, 228), disabled(120, 122, 128);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, QColor(53, 132, 228));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(120, 180, 255));
  p.setColor(QPalette::ToolTipBase, window);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, disabled);
  p.setColor(QPalette::Light, window.lighter(150));
  p.setColor(QPalette::Midlight, window.lighter(125));
  p.setColor(QPalette::Mid, window.darker(120));
  p.setColor(QPalette::Dark, window.darker(160));
  p.setColor(QPalette::Shadow, Qt::black);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, disabled);
  }
  return p;
}

class DemoWindow : public QWidget {
 public:
  explicit DemoWindow(const tw::ImageList& images) {
    setWindowTitle(QStringLiteral("Option tree"));
    auto* row = new QHBoxLayout(this);
    for (const bool tiled : {false, true}) {
      auto* column = new QVBoxLayout;
      column->addWidget(new QLabel(tiled ? QStringLiteral("Tiled background, flat \"95\" pictures")
                                         : QStringLiteral("Plain, \"3D\" pictures")));
      auto* opt = new tw::XTreeOpt(this);
      Fill(*opt, images, tiled ? 1 : 0);
      column->addWidget(opt);
      row->addLayout(column);
      if (tiled) {
        tiledTree_ = opt;
      } else {
        plainTree_ = opt;
      }
    }
    resize(760, 420);
  }
  void applyPalette() { tiledTree_->setBackgroundPicture(Paper(QApplication::palette())); }
  // The keyboard focus in the plain tree, to show where it is.
  void focusPlainTree() {
    activateWindow();
    plainTree_->setFocus();
  }

 private:
  tw::XTreeOpt* plainTree_ = nullptr;
  tw::XTreeOpt* tiledTree_ = nullptr;
};

bool Shoot(QWidget& window, const QString& path) {
  QCursor::setPos(window.screen()->geometry().bottomRight());  // no node under the mouse
  tw::test::Settle(300);
  return tw::test::SavePicture(window.screen()->grabWindow(window.winId()), path);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QPalette light = QApplication::palette();
  tw::ImageList images;
  DemoWindow window(images);
  window.applyPalette();
  window.show();
  window.focusPlainTree();
  if (argc < 2) return app.exec();

  const QString outDir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(outDir);
  bool ok = Shoot(window, outDir + QStringLiteral("/option-tree-light.png"));
  QApplication::setPalette(DarkPalette());
  window.applyPalette();
  ok = Shoot(window, outDir + QStringLiteral("/option-tree-dark.png")) && ok;
  QApplication::setPalette(light);
  return ok ? 0 : 1;
}
