#include "WidgetTestSupport.h"

#include "ui/widgets/SAnimImg.h"
#include "ui/widgets/STabCtrl2.h"
#include "ui/widgets/STabPage2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace widgettest;

class AnimatedImage : public WidgetsApp {
protected:
    void SetUp() override
    {
        WidgetsApp::SetUp();
        in = stateColours(3, 6);
        out = stateColours(2, 7);
        addSkin(L"in", solidStrip(QSize(30, 20), in));
        addSkin(L"out", solidStrip(QSize(30, 20), out));
    }
    // The colour in the middle of the image after `ticks` ticks.
    std::string after(SAnimImg& image, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            image.onNextFrame();
        return hexAt(picture(image, QSize(30, 20)), 15, 10);
    }
    std::vector<QColor> in;
    std::vector<QColor> out;
};

TEST_F(AnimatedImage, StaysOnTheTimelineFromCreationToDestruction)
{
    auto* image = built<SAnimImg>("<anmimg name='a' ani_in='in'/>", L"a");
    ASSERT_TRUE(image);
    EXPECT_TRUE(app->timeline().contains(image));
    delete image;
    EXPECT_FALSE(app->timeline().contains(image));
}

TEST_F(AnimatedImage, HoverPlaysInHoldsItThenPlaysOutAfterLeaving)
{
    auto* image = built<SAnimImg>("<anmimg name='a' ani_in='in' ani_out='out' interval='0x14'/>", L"a");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->player().intervalMs(), 20);
    EXPECT_EQ(after(*image, 0), hex(in[0]));
    enter(*image);
    EXPECT_EQ(after(*image, 2), hex(in[1]));
    EXPECT_EQ(after(*image, 2), hex(in[2]));
    EXPECT_EQ(after(*image, 10), hex(in[2]));
    leave(*image);
    EXPECT_EQ(after(*image, 2), hex(out[0]));
    EXPECT_EQ(after(*image, 2), hex(out[1]));
    EXPECT_EQ(after(*image, 2), hex(in[0]));
}

TEST_F(AnimatedImage, AutorunZeroPlaysWithoutTheMouse)
{
    auto* image = built<SAnimImg>("<anmimg name='a' ani_in='in' autorun='0' interval='10'/>", L"a");
    ASSERT_TRUE(image);
    std::vector<std::string> seen;
    for (int i = 0; i < 7; ++i)
        seen.push_back(after(*image, 1));
    EXPECT_EQ(seen, (std::vector<std::string>{hex(in[0]), hex(in[1]), hex(in[2]), hex(in[0]), hex(in[1]),
                                              hex(in[2]), hex(in[0])}));
}

TEST_F(AnimatedImage, AutorunOffWithoutOutStopsOnTheLastFrame)
{
    auto* image = built<SAnimImg>("<anmimg name='a' ani_in='in' autorun='-1' interval='10'/>", L"a");
    ASSERT_TRUE(image);
    enter(*image);
    leave(*image);
    EXPECT_EQ(after(*image, 3), hex(in[2]));
    EXPECT_EQ(after(*image, 50), hex(in[2]));
}

struct SizeCase {
    const char* label;
    std::string element;
    QSize size;
};

class AnimatedImageSize : public AnimatedImage, public testing::WithParamInterface<SizeCase> {};

TEST_P(AnimatedImageSize, IsTheInStripsWithWhatTheLayoutFixes)
{
    auto* image = built<SAnimImg>(GetParam().element, L"a");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->sizeHint(), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Cases, AnimatedImageSize,
    testing::Values(
        SizeCase{"InStrip", "<anmimg name='a' ani_in='in' ani_out='out'/>", {30, 20}},
        SizeCase{"NoInStrip", "<anmimg name='a' ani_out='out'/>", {0, 0}},
        SizeCase{"FixedWidth", "<anmimg name='a' ani_in='in' width='50'/>", {50, 20}},
        SizeCase{"FixedHeight", "<anmimg name='a' ani_in='in' height='7'/>", {30, 7}}),
    [](const testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.label); });

class AnimatedTabs : public WidgetsApp {
protected:
    void SetUp() override
    {
        WidgetsApp::SetUp();
        icons = stateColours(2, 8);
        in = stateColours(3, 9);
        out = stateColours(2, 10);
        header = stateColours(1, 11);
        addSkin(L"icons", solidStrip(QSize(10, 10), icons));
        addSkin(L"in", solidStrip(QSize(10, 10), in));
        addSkin(L"out", solidStrip(QSize(10, 10), out));
        addSkin(L"head", solidStrip(QSize(20, 20), header));
        addSkin(L"clear", solidStrip(QSize(10, 10), {QColor(0, 0, 0, 0), QColor(0, 0, 0, 0), QColor(0, 0, 0, 0)}));
    }
    STabCtrl2* tabs(const std::string& pages)
    {
        return built<STabCtrl2>("<tabctrl2 name='t' tabWidth='60' tabHeight='30' tabSkin='clear' iconSkin='icons'"
                                " iconOfs='4,5' tabHeadBgSkin='head' width='200' height='120'>"
                                    + pages + "</tabctrl2>",
                                L"t");
    }
    // The colour in the middle of item `index`'s icon place.
    std::string iconOf(STabCtrl2& control, int index)
    {
        return hexAt(picture(control, QSize(200, 120)), index * 60 + 4 + 5, 5 + 5);
    }
    void ticks(STabCtrl2& control, int count)
    {
        for (int i = 0; i < count; ++i)
            control.onNextFrame();
    }
    std::vector<QColor> icons, in, out, header;
};

TEST_F(AnimatedTabs, PageChildrenMakeNoPages)
{
    const std::vector<LayoutIssue> issues =
        build("<tabctrl2 name='t'><page title='a'/><page title='b'/></tabctrl2>");
    auto* control = static_cast<STabCtrl2*>(root->findChildByName(L"t", L"tabctrl2"));
    ASSERT_TRUE(control);
    EXPECT_EQ(control->getPageCount(), 0);
    EXPECT_EQ(issues.size(), 2u);
}

TEST_F(AnimatedTabs, Page2ChildrenMakePages)
{
    STabCtrl2* control = tabs("<page2 title='a'/><page2 title='b'/>");
    ASSERT_TRUE(control);
    ASSERT_EQ(control->getPageCount(), 2);
    EXPECT_TRUE(control->getPage(0)->isClass(L"page2") && control->getPage(0)->isClass(L"page"));
    EXPECT_TRUE(control->isClass(L"tabctrl2") && control->isClass(L"tabctrl"));
    EXPECT_TRUE(app->timeline().contains(control));
}

TEST_F(AnimatedTabs, AHoveredItemPlaysItsPagesStripsInItsIconPlace)
{
    STabCtrl2* control = tabs("<page2 title='a' icon='1' ani_in='in' ani_out='out'/><page2 title='b' icon='0'/>");
    ASSERT_TRUE(control);
    EXPECT_EQ(iconOf(*control, 0), hex(icons[1]));
    moveTo(*control, QPoint(20, 10));
    ASSERT_EQ(control->hoverItem(), 0);
    EXPECT_EQ(iconOf(*control, 0), hex(in[0]));
    ticks(*control, 5);
    EXPECT_EQ(iconOf(*control, 0), hex(in[1]));
    ticks(*control, 20);
    EXPECT_EQ(iconOf(*control, 0), hex(in[2])) << "held while hovered";
    EXPECT_EQ(iconOf(*control, 1), hex(icons[0])) << "a page without strips keeps its icon";
    moveTo(*control, QPoint(190, 10));
    EXPECT_EQ(iconOf(*control, 0), hex(out[0]));
    ticks(*control, 5);
    EXPECT_EQ(iconOf(*control, 0), hex(icons[1])) << "the out strip ends at its last frame";
}

TEST_F(AnimatedTabs, HoverAndLeaveEventsAreHandledByTheControl)
{
    STabCtrl2* control = tabs("<page2 title='a'/><page2 title='b'/>");
    ASSERT_TRUE(control);
    int seenLater = 0;
    for (const int id : {EventTabItemHover::kEventId, EventTabItemLeave::kEventId}) {
        control->subscribeEvent(id, [&](EventArgs*) {
            ++seenLater;
            return false;
        });
    }
    moveTo(*control, QPoint(20, 10));
    moveTo(*control, QPoint(80, 10));
    EXPECT_EQ(seenLater, 0);
    EXPECT_EQ(control->hoverItem(), 1);
}

TEST_F(AnimatedTabs, DrawsTheHeaderBackgroundUnderTheItems)
{
    STabCtrl2* control = tabs("<page2 title='a'/>");
    ASSERT_TRUE(control);
    const QImage image = picture(*control, QSize(200, 120));
    EXPECT_EQ(hexAt(image, 150, 15), hex(header[0]));
    EXPECT_EQ(hexAt(image, 30, 2), hex(header[0])) << "under a clear item";
    EXPECT_NE(hexAt(image, 150, 60), hex(header[0])) << "only the header area";
}

} // namespace
