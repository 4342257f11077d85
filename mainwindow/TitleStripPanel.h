#pragma once

#include "news/TitleStrip.h"

#include <QWidget>

class QLabel;

namespace tw {

class ElidedLabel;

// `picTitle`: the strip above the web panel with the site's logo
// (`picTitleLogo`), the page's title (`lblTitle`) and its link
// (`lblLinkTitle`, `lblLink`). The labels sit right of the logo and the strip
// is as high as the logo; while a built-in page is shown the logo is centred
// and the labels are hidden. Texts too long for the strip are shortened,
// never run into each other, and show whole in their tooltips. The link is
// reached with Tab and opened with Enter.
class TitleStripPanel : public QWidget, public TitleStrip {
  Q_OBJECT

 public:
  explicit TitleStripPanel(QWidget* parent = nullptr);

  void setBuiltInPageShown(bool shown) override;
  bool builtInPageShown() const override { return builtInPageShown_; }
  void setTitleStrip(const TitleStripContent& content) override;

  QLabel* picTitleLogo() const { return picTitleLogo_; }
  ElidedLabel* lblTitle() const { return lblTitle_; }
  ElidedLabel* lblLinkTitle() const { return lblLinkTitle_; }
  ElidedLabel* lblLink() const { return lblLink_; }
  QString linkTag() const { return linkTag_; }
  int LastMouseButton() const { return lastMouseButton_; }

 Q_SIGNALS:
  // A click on the link: a left click opens it with the link's tag as target
  // window name (empty: in the panel); any other button opens it in a window
  // of its own.
  void linkClicked(const QString& address, const QString& targetWindowName);
  // The strip's height changed; the web panel lays itself out again.
  void heightChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place();
  void colourLink(Rgb colour);

  QLabel* picTitleLogo_;
  ElidedLabel* lblTitle_;
  ElidedLabel* lblLinkTitle_;
  ElidedLabel* lblLink_;
  QString linkTag_;
  Rgb linkColour_ = 0;
  Rgb linkHoverColour_ = 0;
  int lastMouseButton_ = 1;
  bool builtInPageShown_ = false;
};

}  // namespace tw
