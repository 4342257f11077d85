#include "PreviewTitleStrip.h"

#include <QBoxLayout>
#include <QColor>
#include <QLabel>
#include <QPixmap>

namespace tw::test {
namespace {

QColor ColourOf(Rgb rgb) { return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb)); }

void Show(QLabel* label, const TitleLabel& text) {
  label->setText(text.text);
  label->setStyleSheet(QStringLiteral("color: %1;").arg(ColourOf(text.colour).name()));
  label->setVisible(text.visible);
}

}  // namespace

PreviewTitleStrip::PreviewTitleStrip(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  logo_ = new QLabel(this);
  title_ = new QLabel(this);
  linkTitle_ = new QLabel(this);
  link_ = new QLabel(this);
  for (QLabel* label : {title_, linkTitle_, link_}) label->setTextFormat(Qt::PlainText);
  QFont bold = title_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  title_->setFont(bold);

  texts_ = new QWidget(this);
  auto* linkRow = new QHBoxLayout;
  linkRow->setContentsMargins(0, 0, 0, 0);
  linkRow->setSpacing(4);
  linkRow->addWidget(linkTitle_);
  linkRow->addWidget(link_);
  linkRow->addStretch();
  auto* column = new QVBoxLayout(texts_);
  column->setContentsMargins(8, 0, 0, 0);
  column->addStretch();
  column->addWidget(title_);
  column->addLayout(linkRow);
  column->addStretch();

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(logo_);
  row->addWidget(texts_, 1);
}

void PreviewTitleStrip::setTitleStrip(const TitleStripContent& c) {
  QPalette p = palette();
  p.setColor(QPalette::Window, ColourOf(c.back));
  setPalette(p);
  const QPixmap picture(c.logoFile);
  logo_->setPixmap(picture);
  setFixedHeight(picture.isNull() ? 48 : picture.height());
  Show(title_, c.title);
  Show(linkTitle_, c.linkTitle);
  Show(link_, c.link);
  // A built-in page centres the program's logo; the labels are hidden.
  auto* row = static_cast<QHBoxLayout*>(layout());
  row->setAlignment(logo_, builtIn_ ? Qt::AlignHCenter : Qt::AlignLeft);
  texts_->setVisible(!builtIn_);
}

}  // namespace tw::test
