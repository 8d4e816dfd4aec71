#include "ToolkitTestSupport.h"

#include "toolkit/Skin.h"

#include <QBuffer>
#include <QPainter>

namespace {

// A strip of four 10x10 states filled red, green, blue, white.
const QByteArray kSvgStrip = R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="10" viewBox="0 0 40 10">
  <rect x="0" y="0" width="10" height="10" fill="#ff0000"/>
  <rect x="10" y="0" width="10" height="10" fill="#00ff00"/>
  <rect x="20" y="0" width="10" height="10" fill="#0000ff"/>
  <rect x="30" y="0" width="10" height="10" fill="#ffffff"/>
</svg>)";

QByteArray pngStrip(bool vertical)
{
    QImage image(vertical ? QSize(10, 40) : QSize(40, 10), QImage::Format_ARGB32);
    const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int i = 0; i < 4; ++i) {
        QPainter p(&image);
        p.fillRect(vertical ? QRect(0, i * 10, 10, 10) : QRect(i * 10, 0, 10, 10), colors[i]);
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

QImage drawn(const ISkin& skin, QSize logical, int state, qreal ratio = 1.0)
{
    QImage image(logical * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    skin.draw(p, QRectF(QPointF(0, 0), QSizeF(logical)), state);
    return image;
}

struct StripCase {
    const char* label;
    QByteArray data;
    bool vertical;
};

class Strips : public testing::TestWithParam<StripCase> {};

TEST_P(Strips, CutIntoStatesAndClampTheState)
{
    const auto skin = ImageSkin::fromData(GetParam().data, ImageSkin::Options{4, GetParam().vertical, QMargins()});
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->states(), 4);
    EXPECT_EQ(skin->size(), QSize(10, 10));
    const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white, Qt::white, Qt::red};
    const int states[] = {0, 1, 2, 3, 9, -1};
    for (size_t i = 0; i < std::size(states); ++i) {
        // Stretched into a larger rectangle: the centre shows only that state.
        const QImage image = drawn(*skin, QSize(30, 20), states[i]);
        EXPECT_EQ(image.pixelColor(15, 10), expected[i]) << "state " << states[i];
        EXPECT_EQ(image.pixelColor(1, 1), expected[i]) << "state " << states[i];
        EXPECT_EQ(image.pixelColor(28, 18), expected[i]) << "state " << states[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Strips,
                         testing::Values(StripCase{"Svg", kSvgStrip, false}, StripCase{"PngHorizontal", pngStrip(false), false},
                                         StripCase{"PngVertical", pngStrip(true), true}),
                         [](const testing::TestParamInfo<StripCase>& info) { return std::string(info.param.label); });

TEST(Skins, SvgIsDrawnAtTheDevicePixelRatio)
{
    // Half of a 10-wide drawing plus half a pixel: 5.5 logical pixels, 11 device pixels at ratio 2.
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 10 10">
      <rect x="0" y="0" width="5.5" height="10" fill="#000000"/></svg>)";
    const auto skin = ImageSkin::fromData(svg, ImageSkin::Options{});
    ASSERT_NE(skin, nullptr);
    const QImage image = drawn(*skin, QSize(10, 10), 0, 2.0);
    ASSERT_EQ(image.width(), 20);
    // Drawn at 1x and scaled, device pixel 10 would be half covered.
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 255);
    EXPECT_EQ(qAlpha(image.pixel(11, 10)), 0);
}

TEST(Skins, FrameMarginsKeepTheCorners)
{
    // A 30x30 image: a 10-pixel red border around a green centre.
    QImage image(30, 30, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(QRect(10, 10, 10, 10), Qt::green);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const auto skin = ImageSkin::fromData(data, ImageSkin::Options{1, false, QMargins(10, 10, 10, 10)});
    ASSERT_NE(skin, nullptr);
    const QImage out = drawn(*skin, QSize(100, 60), 0);
    EXPECT_EQ(out.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(out.pixelColor(50, 5), QColor(Qt::red)) << "the top edge stretches";
    EXPECT_EQ(out.pixelColor(12, 30), QColor(Qt::green)) << "the centre starts 10 pixels in";
    EXPECT_EQ(out.pixelColor(88, 48), QColor(Qt::green));
    EXPECT_EQ(out.pixelColor(50, 52), QColor(Qt::red)) << "the bottom edge";
    EXPECT_EQ(out.pixelColor(95, 55), QColor(Qt::red));
}

TEST(Skins, UnreadableDataGivesNoSkin)
{
    EXPECT_EQ(ImageSkin::fromData("not an image", ImageSkin::Options{}), nullptr);
    EXPECT_EQ(ImageSkin::fromData(kSvgStrip, ImageSkin::Options{0, false, QMargins()}), nullptr);
}

TEST(Skins, ColorSkinsGiveOneColourPerState)
{
    const ColorSkin skin({Qt::red, Qt::green});
    EXPECT_EQ(skin.states(), 2);
    EXPECT_EQ(drawn(skin, QSize(8, 8), 0).pixelColor(4, 4), QColor(Qt::red));
    EXPECT_EQ(drawn(skin, QSize(8, 8), 1).pixelColor(4, 4), QColor(Qt::green));
    EXPECT_EQ(drawn(skin, QSize(8, 8), 5).pixelColor(4, 4), QColor(Qt::green)) << "beyond the last: the last";
}

}  // namespace
