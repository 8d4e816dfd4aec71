#include "WidgetTestSupport.h"

#include "ui/widgets/KeyFlags.h"
#include "ui/widgets/SEditEx.h"
#include "ui/widgets/SSImage.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace widgettest;

class EditEx : public WidgetsApp {
protected:
    void SetUp() override
    {
        WidgetsApp::SetUp();
        edit = built<SEditEx>("<editex name='e' text='abc'/>", L"e");
        ASSERT_TRUE(edit);
        editor = edit->findChild<QLineEdit*>();
        ASSERT_TRUE(editor);
        edit->subscribeEvent(EventKeyEnter::kEventId, [this](EventArgs* e) {
            ++keyEnters;
            lastSender = e->sender;
            return true;
        });
        edit->subscribeEvent(EventRichEditNotify::kEventId, [this](EventArgs*) {
            ++changes;
            return true;
        });
        QObject::connect(editor, &QLineEdit::returnPressed, [this] { ++returnsSeenByEditor; });
    }
    SEditEx* edit = nullptr;
    QLineEdit* editor = nullptr;
    int keyEnters = 0;
    int changes = 0;
    int returnsSeenByEditor = 0;
    SWindow* lastSender = nullptr;
};

TEST_F(EditEx, RegistersOnKeyEnter)
{
    EXPECT_TRUE(edit->events().isRegistered(10000500));
    EXPECT_EQ(edit->events().eventIdByName(L"on_key_enter"), 10000500);
    EXPECT_TRUE(edit->isClass(L"editex") && edit->isClass(L"edit"));
}

TEST_F(EditEx, ReturnFiresOnKeyEnterAndNeverReachesTheEditor)
{
    for (const int returnKey : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        key(*editor, returnKey, QStringLiteral("\r"));
    }
    EXPECT_EQ(keyEnters, 2);
    EXPECT_EQ(lastSender, edit);
    EXPECT_EQ(returnsSeenByEditor, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(edit->windowText(), L"abc");
}

TEST_F(EditEx, OtherKeysGoToTheEditor)
{
    editor->setCursorPosition(3);
    key(*editor, Qt::Key_D, QStringLiteral("d"));
    EXPECT_EQ(edit->windowText(), L"abcd");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(keyEnters, 0);
}

TEST_F(EditEx, LeftClicksAreKeptFromTheEditor)
{
    editor->setCursorPosition(0);
    int pressesSeen = 0;
    struct Counter : QObject {
        int* count;
        explicit Counter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            *count += e->type() == QEvent::MouseButtonPress ? 1 : 0;
            return false;
        }
    };
    // Installed after the edit's own filter, so it runs first and sees what arrives.
    Counter counter(&pressesSeen);
    editor->installEventFilter(&counter);
    click(*editor, QPoint(editor->width() - 2, 5));
    EXPECT_EQ(pressesSeen, 1);
    EXPECT_EQ(editor->cursorPosition(), 0) << "the editor did not move its caret";
}

TEST_F(EditEx, AClickEnablesADisabledEdit)
{
    edit->enableWindow(false);
    ASSERT_TRUE(edit->isDisabled());
    press(*editor, QPoint(3, 3));
    EXPECT_FALSE(edit->isDisabled());
    release(*editor, QPoint(3, 3));
    EXPECT_FALSE(edit->isDisabled());
}

TEST_F(EditEx, AClickedDisabledEditPaintsAsEnabled)
{
    const std::vector<QColor> frame = stateColours(4, 14);
    addSkin(L"frame", solidStrip(QSize(80, 24), frame));
    edit->setAttribute(L"skin", L"frame");
    edit->enableWindow(false);
    // The frame shows at the edge, outside the editor in the middle.
    EXPECT_EQ(hexAt(picture(*edit, QSize(80, 24)), 0, 0), hex(frame[3]));
    click(*editor, QPoint(3, 3));
    EXPECT_EQ(hexAt(picture(*edit, QSize(80, 24)), 0, 0), hex(frame[0]));
}

TEST_F(EditEx, AClickDoesNotEnableOneWhoseParentIsDisabled)
{
    root->enableWindow(false);
    press(*editor, QPoint(3, 3));
    EXPECT_FALSE(edit->isDisabled(false));
    EXPECT_TRUE(edit->isDisabled(true));
}

struct PickRecord {
    unsigned keyFlags;
    int x;
    int y;
    std::uint32_t colour;
};

// A page that receives picks like the mouse page does.
struct PickTarget {
    std::vector<PickRecord> picks;
    void onPick(unsigned keyFlags, int x, int y, std::uint32_t* colour)
    {
        picks.push_back({keyFlags, x, y, *colour});
    }
};

class ColourPadImage : public WidgetsApp {
protected:
    void SetUp() override
    {
        WidgetsApp::SetUp();
        // State 0 opaque red on the left half, translucent blue on the right; state 1 green.
        QImage strip(80, 20, QImage::Format_ARGB32);
        strip.fill(QColor(0, 255, 0));
        {
            QPainter painter(&strip);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(0, 0, 20, 20, QColor(255, 0, 0));
            painter.fillRect(20, 0, 20, 20, QColor(0, 0, 255, 128));
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        strip.save(&buffer, "PNG");
        ImageSkin::Options options;
        options.states = 2;
        addSkin(L"pad", ImageSkin::fromData(png, options));
        build("<window name='box' layout='pos' width='200' height='100'>"
              "<stimage name='pad' skin='pad' pos='10,20' width='60' height='30'/></window>");
        pad = root->findChildByName<SSImage>(L"pad");
        ASSERT_TRUE(pad);
        proxy = std::make_unique<SSImage::FuncProxy<PickTarget>>(&target, &PickTarget::onPick);
        pad->setFuncProxy(proxy.get());
    }
    SSImage* pad = nullptr;
    PickTarget target;
    std::unique_ptr<SSImage::FuncProxy<PickTarget>> proxy;
};

TEST_F(ColourPadImage, PicksTheSkinsPixelWithBlueGreenRedAlphaInMemory)
{
    press(*pad, QPoint(5, 5), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(target.picks.size(), 1u);
    unsigned char bytes[4];
    std::memcpy(bytes, &target.picks[0].colour, sizeof bytes);
    EXPECT_EQ(bytes[0], 0x00); // blue
    EXPECT_EQ(bytes[1], 0x00); // green
    EXPECT_EQ(bytes[2], 0xFF); // red
    EXPECT_EQ(bytes[3], 0xFF); // alpha
    EXPECT_EQ(target.picks[0].keyFlags, MK_LBUTTON | MK_SHIFT);
}

TEST_F(ColourPadImage, KeepsTheOpacityOfTheSkin)
{
    press(*pad, QPoint(30, 10));
    ASSERT_EQ(target.picks.size(), 1u);
    EXPECT_EQ(qAlpha(target.picks[0].colour), 128);
    EXPECT_EQ(qBlue(target.picks[0].colour), 255);
}

TEST_F(ColourPadImage, OutsideTheSkinStillCallsTheProxyWithColourZero)
{
    // The widget is 60 wide, its skin's states 40: x 45 is outside the skin.
    for (const QPoint point : {QPoint(45, 5), QPoint(5, 25)})
        press(*pad, point);
    ASSERT_EQ(target.picks.size(), 2u);
    EXPECT_EQ(target.picks[0].colour, 0u);
    EXPECT_EQ(target.picks[1].colour, 0u);
}

TEST_F(ColourPadImage, ReportsThePointAsReceivedInItsWindow)
{
    root->show();
    press(*pad, QPoint(5, 6));
    ASSERT_EQ(target.picks.size(), 1u);
    const QPoint expected = pad->mapTo(pad->window(), QPoint(5, 6));
    EXPECT_EQ(target.picks[0].x, expected.x());
    EXPECT_EQ(target.picks[0].y, expected.y());
    EXPECT_NE(expected, QPoint(5, 6));
}

TEST_F(ColourPadImage, WithoutProxyAClickDoesNothingElse)
{
    pad->setFuncProxy(nullptr);
    press(*pad, QPoint(5, 5));
    EXPECT_TRUE(target.picks.empty());
}

TEST_F(ColourPadImage, PaintsStateZeroOverTheWholeWidget)
{
    const QImage image = picture(*pad, QSize(60, 30));
    EXPECT_EQ(hexAt(image, 2, 2), hex(QColor(255, 0, 0)));
    EXPECT_EQ(hexAt(image, 57, 27), hex(QColor(0, 0, 255, 128)));
}

} // namespace
