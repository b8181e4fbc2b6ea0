// The artwork embedded in the program, found by the names the program asks
// for: the icon in every size it is drawn at, the background and the logo at
// their bitmap sizes, opaque where they stand behind or as a picture.
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <cmath>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"

namespace {

double linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb p) {
  return 0.2126 * linear(qRed(p)) + 0.7152 * linear(qGreen(p)) + 0.0722 * linear(qBlue(p));
}

class Artwork : public ::testing::Test {
 protected:
  void SetUp() override { EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, ""); }
  void TearDown() override { ezResetLayer(); }

  // The picture as the program's picture control shows it.
  static QImage shown(const std::string& name, int id) {
    const std::string picture = EZ_LOADPICTURE(name);
    EXPECT_FALSE(picture.empty()) << name;
    EZ_PICTURE("Morvane", id, picture, 0, 0, 10, 5, "R");
    auto* label = qobject_cast<QLabel*>(ezWidget("Morvane", id));
    EXPECT_NE(label, nullptr);
    return label ? label->pixmap().toImage() : QImage();
  }
};

}  // namespace

TEST_F(Artwork, IconHasEverySizeRoundOnATransparentSquare) {
  const int icon = EZ_LOADICON("$Prop1{T}");
  ASSERT_GT(icon, 0);
  EZ_SETFORMICON("Morvane", icon);
  const QIcon set = ezWidget("Morvane", 0)->windowIcon();
  const QList<QSize> sizes = set.availableSizes();
  ASSERT_EQ(sizes.size(), 4);
  for (int px : {16, 32, 48, 64}) {
    SCOPED_TRACE(px);
    EXPECT_TRUE(sizes.contains(QSize(px, px)));
    const QImage image = set.pixmap(px, px).toImage();
    ASSERT_EQ(image.size(), QSize(px, px));
    ASSERT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(px - 1, px - 1)), 0);
    EXPECT_EQ(qAlpha(image.pixel(px / 2, px / 2)), 255);
    EXPECT_EQ(qAlpha(image.pixel(px / 2, px - 2)), 255) << "the disc reaches the edge";
  }
}

TEST_F(Artwork, BackgroundKeepsWhiteLabelsReadableEverywhere) {
  const QImage bg = shown("$BG2", 230);
  ASSERT_EQ(bg.size(), QSize(1008, 756));
  EXPECT_FALSE(bg.hasAlphaChannel());
  // The window stretches the background, so a label may stand on any of it.
  double brightest = 0;
  for (int y = 0; y < bg.height(); ++y) {
    for (int x = 0; x < bg.width(); ++x) brightest = std::max(brightest, luminance(bg.pixel(x, y)));
  }
  EXPECT_GE(1.05 / (brightest + 0.05), 4.5) << "contrast of white text on the lightest spot";
}

TEST_F(Artwork, LogoIsItsBitmapSizeWithLightLettersOnADarkPlate) {
  const QImage logo = shown("$MORVANE1", 220);
  ASSERT_EQ(logo.size(), QSize(439, 76));
  EXPECT_FALSE(logo.hasAlphaChannel());
  int light = 0;
  int dark = 0;
  for (int y = 0; y < logo.height(); ++y) {
    for (int x = 0; x < logo.width(); ++x) {
      const double l = luminance(logo.pixel(x, y));
      light += l > 0.8;
      dark += l < 0.05;
    }
  }
  // The name's letters cover a few per cent of the plate; none means no text.
  EXPECT_GT(light, logo.width() * logo.height() / 50);
  EXPECT_GT(dark, logo.width() * logo.height() / 2);
}
