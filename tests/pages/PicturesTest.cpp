#include "core/FileHelpers.h"
#include "support/TempHome.h"

#include <QFile>
#include <QSize>
#include <QtEndian>

#include <gtest/gtest.h>

namespace tw {
namespace {

QByteArray Resource(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool IsJpeg(const QByteArray& b) { return b.startsWith("\xFF\xD8\xFF") && b.endsWith("\xFF\xD9"); }
bool IsGif(const QByteArray& b) { return b.startsWith("GIF87a") || b.startsWith("GIF89a"); }
bool IsPng(const QByteArray& b) { return b.startsWith("\x89PNG\r\n\x1a\n"); }

QSize GifSize(const QByteArray& b) {
  return {qFromLittleEndian<quint16>(b.constData() + 6), qFromLittleEndian<quint16>(b.constData() + 8)};
}
QSize PngSize(const QByteArray& b) {
  return {static_cast<int>(qFromBigEndian<quint32>(b.constData() + 16)),
          static_cast<int>(qFromBigEndian<quint32>(b.constData() + 20))};
}

TEST(Pictures, EveryLogoAndBackgroundTheCatalogueNamesIsThere) {
  for (const char* name : {"ALLXBOXSKINS", "DAILYGAME", "DEFAULT", "GUEUX", "MAXCONSOLE", "MEDIAXBOX", "XBINS",
                           "XBOXSCENE"}) {
    EXPECT_TRUE(IsJpeg(Resource(QStringLiteral(":/LOGO/") + QLatin1String(name)))) << name;
  }
  for (const char* name : {"ALLXBOXSKINS", "XBOXSCENE"}) {
    EXPECT_TRUE(IsGif(Resource(QStringLiteral(":/BGND/") + QLatin1String(name)))) << name;
  }
}

TEST(Pictures, TheBuiltInPagesPicturesHaveTheirFormatsAndButtonSizes) {
  EXPECT_TRUE(IsGif(Resource(QStringLiteral(":/Tidewire/MAN-READING"))));
  EXPECT_TRUE(IsJpeg(Resource(QStringLiteral(":/Tidewire/PROG-LOGO"))));
  EXPECT_TRUE(IsJpeg(Resource(QStringLiteral(":/Tidewire/CONSOLE-LOGO"))));
  const QByteArray paypal = Resource(QStringLiteral(":/Tidewire/PAYPAL"));
  const QByteArray nochex = Resource(QStringLiteral(":/Tidewire/NOCHEX"));
  ASSERT_TRUE(IsGif(paypal));
  ASSERT_TRUE(IsGif(nochex));
  EXPECT_EQ(GifSize(paypal), QSize(62, 31));
  EXPECT_EQ(GifSize(nochex), QSize(88, 33));
  // The pages show the newspaper at 96 x 80.
  EXPECT_EQ(GifSize(Resource(QStringLiteral(":/Tidewire/MAN-READING"))), QSize(96, 80));
}

TEST(Pictures, EveryImageListIconIsA16PixelPng) {
  for (const char* key : {"new", "item_unread", "item_read", "site", "site1", "info", "warning", "error", "time",
                          "display", "single_user", "multi_user", "sys_read", "sys_unread", "prog_read", "prog_unread",
                          "Tidewire", "xboxscene", "mediaxbox", "gueux", "allxboxskins"}) {
    const QByteArray icon = Resource(QStringLiteral(":/icons/") + QLatin1String(key) + QStringLiteral(".png"));
    ASSERT_TRUE(IsPng(icon)) << key;
    EXPECT_EQ(PngSize(icon), QSize(16, 16)) << key;
  }
}

TEST(Pictures, TheProgramIconComesInEverySize) {
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QByteArray icon = Resource(QStringLiteral(":/app/tidewire-%1.png").arg(size));
    ASSERT_TRUE(IsPng(icon)) << size;
    EXPECT_EQ(PngSize(icon), QSize(size, size));
  }
  EXPECT_TRUE(Resource(QStringLiteral(":/app/tidewire.svg")).contains("<svg"));
}

TEST(Pictures, SaveResourceFileWritesTheCommittedBytesUnchanged) {
  test::TempHome home;
  const struct {
    const char* type;
    const char* name;
    const char* source;
  } pictures[] = {
      {"LOGO", "XBINS", "pictures/logo/xbins.jpg"},
      {"BGND", "XBOXSCENE", "pictures/bgnd/xboxscene.gif"},
      {"Tidewire", "PAYPAL", "pictures/pages/paypal.gif"},
      {"Tidewire", "PROG-LOGO", "pictures/pages/prog-logo.jpg"},
  };
  for (const auto& p : pictures) {
    QFile source(QStringLiteral(TIDEWIRE_RESOURCES_DIR "/") + QLatin1String(p.source));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << p.source;
    const QString path = home.path(QStringLiteral("out.bin"));
    ASSERT_EQ(SaveResourceFile(path, QLatin1String(p.name), QLatin1String(p.type), true), ResourceFileResult::Written);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), source.readAll()) << p.name;
  }
}

}  // namespace
}  // namespace tw
