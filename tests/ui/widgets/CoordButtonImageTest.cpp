#include "WidgetTestSupport.h"

#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/KeyFlags.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace widgettest;

// Four 20 x 20 items on a 100 x 100 picture.
constexpr char kCoords[] =
    "<positions>"
    "<b id='1' name='One' rect='10,10,20,20'/>"
    "<b id='3' name='Three' rect='40,10,20,20'/>"
    "<b id='5' name='Five' rect='10,50,20,20'/>"
    "<b id='7' name='Seven' rect='40,50,20,20'/>"
    "</positions>";

QPoint centreOf(std::int32_t id)
{
    switch (id) {
    case 1: return {20, 20};
    case 3: return {50, 20};
    case 5: return {20, 60};
    default: return {50, 60};
    }
}

struct Call {
    int id;
    std::wstring name;
    int phase;
    unsigned keyFlags;
    QPoint point;
};

class RecordingListener : public ICoordButtonListener {
public:
    int onCoordButton(int id, const CoordButtonItem& item, int phase, unsigned keyFlags, int x, int y) override
    {
        calls.push_back({id, item.name, phase, keyFlags, QPoint(x, y)});
        return answer;
    }
    void onSelectionChanged(const std::vector<CoordButtonItem>& marked) override
    {
        std::vector<int> ids;
        for (const CoordButtonItem& item : marked)
            ids.push_back(item.id);
        selections.push_back(ids);
    }
    int answer = 0;
    std::vector<Call> calls;
    std::vector<std::vector<int>> selections;
};

class ButtonPicture : public WidgetsApp {
protected:
    void SetUp() override
    {
        WidgetsApp::SetUp();
        ASSERT_TRUE(directory.isValid());
        CoordButtonImage::setApplicationDirectory(directory.path().toStdString());
        writeFile("coords.xml", kCoords);
        states = stateColours(4, 12);
        addSkin(L"pic", solidStrip(QSize(100, 100), states));
    }
    void TearDown() override
    {
        CoordButtonImage::setApplicationDirectory({});
        WidgetsApp::TearDown();
    }
    void writeFile(const std::string& name, const std::string& contents)
    {
        std::ofstream(directory.path().toStdString() + "/" + name) << contents;
    }
    CoordButtonImage* make(const std::string& attributes)
    {
        auto* image = built<CoordButtonImage>(
            "<cbimg name='img' skin='pic' coords='coords.xml' width='100' height='100' " + attributes + "/>", L"img");
        if (image)
            image->resize(100, 100);
        return image;
    }
    std::set<int> selected(const CoordButtonImage& image) const
    {
        std::set<int> ids;
        for (const auto& [id, item] : image.items()) {
            if (item.selected)
                ids.insert(id);
        }
        return ids;
    }
    std::set<int> marked(const CoordButtonImage& image) const
    {
        std::set<int> ids;
        for (const CoordButtonItem& item : image.markedItems())
            ids.insert(item.id);
        return ids;
    }
    void drag(CoordButtonImage& image, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        press(image, from, button);
        moveTo(image, (from + to) / 2, button);
        moveTo(image, to, button);
        release(image, to, button);
    }
    QTemporaryDir directory;
    std::vector<QColor> states;
};

struct ModeCase {
    const char* label;
    int type;
    bool withListener;
    int answer;
    std::vector<std::set<int>> afterEachPressOfItem3; // items 1 and 5 selected before
};

class SelectionMode : public ButtonPicture, public testing::WithParamInterface<ModeCase> {};

TEST_P(SelectionMode, AppliesToPressesTheListenerLetThrough)
{
    const ModeCase& c = GetParam();
    CoordButtonImage* image = make("type='" + std::to_string(c.type) + "'");
    ASSERT_TRUE(image);
    RecordingListener listener;
    listener.answer = c.answer;
    if (c.withListener)
        image->setListener(&listener);
    image->setItemSelected(1, true);
    image->setItemSelected(5, true);
    for (const std::set<int>& expected : c.afterEachPressOfItem3) {
        click(*image, centreOf(3));
        EXPECT_EQ(selected(*image), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectionMode,
    testing::Values(
        ModeCase{"SingleWithListener", 1, true, 0, {{3}, {}, {3}}},
        ModeCase{"SingleWithoutListener", 1, false, 0, {{1, 5}, {1, 5}}},
        ModeCase{"SingleListenerSaysStop", 1, true, 1, {{1, 5}}},
        ModeCase{"ToggleWithListener", 2, true, 0, {{1, 3, 5}, {1, 5}}},
        ModeCase{"ToggleWithoutListener", 2, false, 0, {{1, 5}}},
        ModeCase{"NoMode", 0, true, 0, {{1, 5}}},
        ModeCase{"UnknownMode", 7, true, 0, {{1, 5}}}),
    [](const testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.label); });

TEST_F(ButtonPicture, TypeIsReadAsAnInteger)
{
    CoordButtonImage* image = make("type='0x2'");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->selectionType(), 2);
}

TEST_F(ButtonPicture, ReportsPressAndReleaseOverTheSameItem)
{
    CoordButtonImage* image = make("type='1'");
    ASSERT_TRUE(image);
    RecordingListener listener;
    image->setListener(&listener);
    press(*image, QPoint(45, 12), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(image->pressedId(), 3);
    release(*image, QPoint(58, 28));
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[0].id, 3);
    EXPECT_EQ(listener.calls[0].name, L"Three");
    EXPECT_EQ(listener.calls[0].phase, 0);
    EXPECT_EQ(listener.calls[0].keyFlags, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(listener.calls[0].point, QPoint(45, 12));
    EXPECT_EQ(listener.calls[1].phase, 1);
    EXPECT_EQ(listener.calls[1].point, QPoint(58, 28));
    EXPECT_EQ(image->pressedId(), -1);
}

TEST_F(ButtonPicture, ReleaseElsewhereOrAPressOffTheItemsReportsNoRelease)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    RecordingListener listener;
    image->setListener(&listener);
    press(*image, centreOf(3));
    release(*image, centreOf(1));
    // The rectangle's right and bottom edges are outside it.
    press(*image, centreOf(3));
    release(*image, QPoint(60, 20));
    press(*image, QPoint(90, 90));
    EXPECT_EQ(image->pressedId(), -1);
    release(*image, QPoint(90, 90));
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[0].phase, 0);
    EXPECT_EQ(listener.calls[1].phase, 0);
}

struct SelectCase {
    const char* label;
    const char* value;
    bool on;
};

class SelectAttribute : public ButtonPicture, public testing::WithParamInterface<SelectCase> {};

TEST_P(SelectAttribute, DecidesWhetherALeftDragMarks)
{
    CoordButtonImage* image = make(std::string("select='") + GetParam().value + "'");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->selectMode(), GetParam().on);
    drag(*image, QPoint(2, 2), QPoint(98, 98));
    EXPECT_EQ(marked(*image), (GetParam().on ? std::set<int>{1, 3, 5, 7} : std::set<int>{}));
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectAttribute,
    testing::Values(
        SelectCase{"FalseLower", "false", false},
        SelectCase{"FalseUpper", "FALSE", false},
        SelectCase{"FalseMixed", "False", false},
        SelectCase{"Zero", "0", false},
        SelectCase{"True", "true", true},
        SelectCase{"One", "1", true},
        SelectCase{"No", "no", true},
        SelectCase{"Empty", "", true}),
    [](const testing::TestParamInfo<SelectCase>& info) { return std::string(info.param.label); });

struct DragCase {
    const char* label;
    QPoint from;
    QPoint to;
    std::set<int> marked;
};

class LeftDrag : public ButtonPicture, public testing::WithParamInterface<DragCase> {};

TEST_P(LeftDrag, MarksTheItemsItEncloses)
{
    CoordButtonImage* image = make("select='1'");
    ASSERT_TRUE(image);
    RecordingListener listener;
    image->setListener(&listener);
    drag(*image, GetParam().from, GetParam().to);
    EXPECT_EQ(marked(*image), GetParam().marked);
    ASSERT_FALSE(listener.selections.empty());
    EXPECT_EQ(std::set<int>(listener.selections.back().begin(), listener.selections.back().end()),
              GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftDrag,
    testing::Values(
        DragCase{"Everything", {2, 2}, {98, 98}, {1, 3, 5, 7}},
        DragCase{"LowerRightToUpperLeft", {98, 98}, {2, 2}, {}},
        DragCase{"UpperRightToLowerLeft", {98, 2}, {2, 98}, {}},
        DragCase{"OneItem", {5, 5}, {35, 35}, {1}},
        // An item's bottom-right corner lies on its right and bottom edges,
        // which must be inside the drag rectangle too.
        DragCase{"EndingOnTheCornerLeavesIt", {10, 10}, {30, 30}, {}},
        DragCase{"OnePastTheCorner", {10, 10}, {31, 31}, {1}},
        DragCase{"TopRow", {0, 0}, {99, 40}, {1, 3}}),
    [](const testing::TestParamInfo<DragCase>& info) { return std::string(info.param.label); });

TEST_F(ButtonPicture, RightDragUnmarksWhatItEncloses)
{
    CoordButtonImage* image = make("select='true'");
    ASSERT_TRUE(image);
    drag(*image, QPoint(2, 2), QPoint(98, 98));
    drag(*image, QPoint(2, 2), QPoint(38, 98), Qt::RightButton);
    EXPECT_EQ(marked(*image), (std::set<int>{3, 7}));
    drag(*image, QPoint(98, 98), QPoint(2, 2), Qt::RightButton);
    EXPECT_EQ(marked(*image), (std::set<int>{3, 7})) << "dragged backwards it encloses nothing";
}

TEST_F(ButtonPicture, AClickInSelectModeTogglesTheMarkAndReportsTheMarkedItems)
{
    CoordButtonImage* image = make("select='1'");
    ASSERT_TRUE(image);
    RecordingListener listener;
    image->setListener(&listener);
    click(*image, centreOf(5));
    click(*image, centreOf(7));
    click(*image, centreOf(5));
    click(*image, QPoint(90, 90));
    EXPECT_EQ(listener.selections,
              (std::vector<std::vector<int>>{{5}, {5, 7}, {7}, {7}}));
    press(*image, centreOf(1));
    release(*image, centreOf(3));
    EXPECT_EQ(marked(*image), (std::set<int>{7})) << "press and release on different items";
}

TEST_F(ButtonPicture, HoverFollowsThePointerAndShowsTheNameAsTooltip)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    moveTo(*image, centreOf(7));
    EXPECT_EQ(image->hoveredId(), 7);
    EXPECT_TRUE(image->items().at(7).hover);
    EXPECT_EQ(image->toolTip(), QStringLiteral("Seven"));
    moveTo(*image, centreOf(1));
    EXPECT_EQ(image->hoveredId(), 1);
    EXPECT_FALSE(image->items().at(7).hover);
    EXPECT_EQ(image->toolTip(), QStringLiteral("One"));
    moveTo(*image, QPoint(90, 90));
    EXPECT_EQ(image->hoveredId(), -1);
    EXPECT_FALSE(image->items().at(1).hover);
    EXPECT_TRUE(image->toolTip().isEmpty());
}

TEST_F(ButtonPicture, ALeftButtonHeldEndsTheHover)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    moveTo(*image, centreOf(3));
    press(*image, centreOf(3));
    moveTo(*image, centreOf(3), Qt::LeftButton);
    EXPECT_EQ(image->hoveredId(), -1);
    EXPECT_FALSE(image->items().at(3).hover);
    EXPECT_EQ(image->dragPoint(), QPoint(-1, -1)) << "no drag point outside select mode";
}

TEST_F(ButtonPicture, LeavingClearsHoverAndDragAndReportsTheSelection)
{
    CoordButtonImage* image = make("select='1'");
    ASSERT_TRUE(image);
    RecordingListener listener;
    image->setListener(&listener);
    moveTo(*image, centreOf(1));
    press(*image, QPoint(2, 2));
    moveTo(*image, QPoint(35, 35), Qt::LeftButton);
    EXPECT_EQ(image->dragPoint(), QPoint(35, 35));
    leave(*image);
    EXPECT_EQ(image->hoveredId(), -1);
    EXPECT_FALSE(image->items().at(1).hover);
    EXPECT_TRUE(image->toolTip().isEmpty());
    EXPECT_EQ(image->dragPoint(), QPoint(-1, -1));
    EXPECT_EQ(listener.selections, (std::vector<std::vector<int>>{{1}}));
}

TEST_F(ButtonPicture, SetsTheSelectedFlagOfOneOrEveryItem)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    image->setItemSelected(CoordButtonImage::kAllItems, true);
    EXPECT_EQ(selected(*image), (std::set<int>{1, 3, 5, 7}));
    image->setItemSelected(5, false);
    image->setItemSelected(42, false);
    EXPECT_EQ(selected(*image), (std::set<int>{1, 3, 7}));
    image->setItemSelected(2147483647, false);
    EXPECT_TRUE(selected(*image).empty());
}

TEST_F(ButtonPicture, FindsAnItemByIdAndCopiesItOut)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    image->setItemSelected(3, true);
    CoordButtonItem item;
    ASSERT_TRUE(image->findItem(3, item));
    EXPECT_EQ(item.name, L"Three");
    EXPECT_TRUE(item.selected);
    EXPECT_EQ(item.rect, (CoordRect{40, 10, 60, 30}));
    item.name = L"changed";
    CoordButtonItem again;
    image->findItem(3, again);
    EXPECT_EQ(again.name, L"Three");
    CoordButtonItem untouched;
    untouched.name = L"kept";
    EXPECT_FALSE(image->findItem(4, untouched));
    EXPECT_EQ(untouched.name, L"kept");
}

TEST_F(ButtonPicture, TheLaterOfTwoItemsWithOneIdRemains)
{
    writeFile("twice.xml", "<positions><b id='2' name='first' rect='0,0,10,10'/>"
                           "<b id='2' name='second' rect='50,50,10,10'/></positions>");
    auto* built = this->built<CoordButtonImage>("<cbimg name='twice' coords='twice.xml'/>", L"twice");
    ASSERT_TRUE(built);
    ASSERT_EQ(built->items().size(), 1u);
    EXPECT_EQ(built->items().at(2).name, L"second");
    RecordingListener listener;
    built->setListener(&listener);
    click(*built, QPoint(5, 5));
    click(*built, QPoint(55, 55));
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[0].id, 2);
}

struct PathCase {
    const char* label;
    const char* value;
    const char* relative;
};

class CoordsPath : public ButtonPicture, public testing::WithParamInterface<PathCase> {};

TEST_P(CoordsPath, IsBelowTheApplicationDirectory)
{
    CoordButtonImage image(root.get());
    image.setAttribute(L"coords", QString::fromUtf8(GetParam().value).toStdWString(), true);
    EXPECT_EQ(image.coordsFilePath(),
              std::filesystem::path(directory.path().toStdString()) / GetParam().relative);
}

INSTANTIATE_TEST_SUITE_P(Cases, CoordsPath,
    testing::Values(
        PathCase{"Relative", "coords.xml", "coords.xml"},
        PathCase{"InAFolder", "uires/coords/a.xml", "uires/coords/a.xml"},
        PathCase{"LeadingSlash", "/coords.xml", "coords.xml"},
        PathCase{"Backslashes", "\\uires\\coords\\a.xml", "uires/coords/a.xml"}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.label); });

TEST_F(ButtonPicture, AMissingOrBrokenCoordsFileGivesNoItems)
{
    writeFile("broken.xml", "<positions><b id='1'>");
    for (const char* file : {"absent.xml", "broken.xml"}) {
        CoordButtonImage* image = built<CoordButtonImage>(
            std::string("<cbimg name='") + file + "' coords='" + file + "'/>",
            QString::fromUtf8(file).toStdWString().c_str());
        ASSERT_TRUE(image) << file;
        EXPECT_TRUE(image->items().empty()) << file;
        click(*image, QPoint(5, 5));
    }
}

TEST_F(ButtonPicture, IsOfItsOwnClassAndOfWindow)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->isClass(L"cbimg") && image->isClass(L"window"));
    EXPECT_EQ(app->createWindowByTag(L"cbimg", root.get())->classTag(), std::wstring_view(L"cbimg"));
}

// Painting.
class ButtonPicturePainting : public ButtonPicture {
protected:
    std::string at(CoordButtonImage& image, QPoint point)
    {
        return hexAt(picture(image, QSize(100, 100)), point.x(), point.y());
    }
    int whitePixelsOn(const QImage& image, const QRect& r)
    {
        int count = 0;
        for (int x = r.left() - 1; x <= r.right() + 1; ++x) {
            for (int y = r.top() - 1; y <= r.bottom() + 1; ++y) {
                const bool onEdge = x <= r.left() || x >= r.right() || y <= r.top() || y >= r.bottom();
                if (onEdge && image.pixelColor(x, y) == QColor(Qt::white))
                    ++count;
            }
        }
        return count;
    }
};

TEST_F(ButtonPicturePainting, ASelectedItemShowsStateTwoInsideItsRectangleOnly)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    image->setItemSelected(3, true);
    const QImage shown = picture(*image, QSize(100, 100));
    EXPECT_EQ(hexAt(shown, 40, 10), hex(states[2]));
    EXPECT_EQ(hexAt(shown, 59, 29), hex(states[2]));
    EXPECT_EQ(hexAt(shown, 39, 20), hex(states[0]));
    EXPECT_EQ(hexAt(shown, 60, 20), hex(states[0]));
    EXPECT_EQ(hexAt(shown, 50, 30), hex(states[0]));
    EXPECT_EQ(hexAt(shown, 20, 20), hex(states[0]));
}

TEST_F(ButtonPicturePainting, AHoveredItemShowsStateOneAndSelectionWinsOverIt)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    moveTo(*image, centreOf(1));
    EXPECT_EQ(at(*image, centreOf(1)), hex(states[1]));
    image->setItemSelected(1, true);
    EXPECT_EQ(at(*image, centreOf(1)), hex(states[2]));
}

TEST_F(ButtonPicturePainting, DisabledShowsStateThreeAndNoItemStates)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    image->setItemSelected(3, true);
    moveTo(*image, centreOf(1));
    image->enableWindow(false);
    EXPECT_EQ(at(*image, QPoint(90, 90)), hex(states[3]));
    EXPECT_EQ(at(*image, centreOf(3)), hex(states[3]));
    EXPECT_EQ(at(*image, centreOf(1)), hex(states[3]));
}

TEST_F(ButtonPicturePainting, ADisabledParentGreysThePictureButKeepsTheItemStates)
{
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    image->setItemSelected(3, true);
    root->enableWindow(false);
    EXPECT_EQ(at(*image, QPoint(90, 90)), hex(states[3]));
    EXPECT_EQ(at(*image, centreOf(3)), hex(states[2]));
}

TEST_F(ButtonPicturePainting, FewerStatesLeaveOutWhatTheyLack)
{
    const std::vector<QColor> two = stateColours(2, 13);
    addSkin(L"two", solidStrip(QSize(100, 100), two));
    CoordButtonImage* image = make("");
    ASSERT_TRUE(image);
    image->setAttribute(L"skin", L"two");
    image->setItemSelected(3, true);
    moveTo(*image, centreOf(1));
    image->enableWindow(false);
    EXPECT_EQ(at(*image, QPoint(90, 90)), hex(two[0])) << "no disabled state";
    image->enableWindow(true);
    EXPECT_EQ(at(*image, centreOf(1)), hex(two[1]));
    EXPECT_EQ(at(*image, centreOf(3)), hex(two[0])) << "no selected state";
}

TEST_F(ButtonPicturePainting, BackgroundGoesUnderAndForegroundOverTheItemStates)
{
    // Opaque blue behind item 1, translucent red (alpha 0x80) over item 3.
    writeFile("colours.xml", "<positions><b id='1' rect='10,10,20,20' bground='4294901760'/>"
                             "<b id='3' rect='40,10,20,20' fground='2147483903'/></positions>");
    auto* image = built<CoordButtonImage>("<cbimg name='c' skin='pic' coords='colours.xml'/>", L"c");
    ASSERT_TRUE(image);
    EXPECT_EQ(at(*image, centreOf(1)), hex(QColor(0, 0, 255)));
    image->setItemSelected(1, true);
    EXPECT_EQ(at(*image, centreOf(1)), hex(states[2]));
    QColor over = states[0];
    const QImage shown = picture(*image, QSize(100, 100));
    const QColor mixed = shown.pixelColor(centreOf(3));
    EXPECT_NEAR(mixed.red(), (255 * 128 + over.red() * 127) / 255, 2);
    EXPECT_NEAR(mixed.green(), over.green() * 127 / 255, 2);
}

TEST_F(ButtonPicturePainting, MarkedItemsAreFramedOnlyInSelectMode)
{
    CoordButtonImage* image = make("select='1'");
    ASSERT_TRUE(image);
    const QRect item(10, 10, 20, 20);
    EXPECT_EQ(whitePixelsOn(picture(*image, QSize(100, 100)), item), 0);
    click(*image, centreOf(1));
    const int framed = whitePixelsOn(picture(*image, QSize(100, 100)), item);
    EXPECT_GT(framed, 40);
    EXPECT_LT(framed, 140) << "dashed, not solid";
    image->setAttribute(L"select", L"false");
    EXPECT_EQ(whitePixelsOn(picture(*image, QSize(100, 100)), item), 0);
}

TEST_F(ButtonPicturePainting, TheDragRectangleIsDashedForTheLeftAndDottedForTheRightButton)
{
    CoordButtonImage* image = make("select='1'");
    ASSERT_TRUE(image);
    const QRect dragged(5, 35, 90, 10); // between the item rows: marks nothing
    press(*image, dragged.topLeft());
    moveTo(*image, dragged.bottomRight(), Qt::LeftButton);
    const int dashed = whitePixelsOn(picture(*image, QSize(100, 100)), dragged);
    release(*image, dragged.bottomRight());
    press(*image, dragged.topLeft(), Qt::RightButton);
    moveTo(*image, dragged.bottomRight(), Qt::RightButton);
    const int dotted = whitePixelsOn(picture(*image, QSize(100, 100)), dragged);
    release(*image, dragged.bottomRight(), Qt::RightButton);
    EXPECT_GT(dotted, 10);
    EXPECT_GT(dashed, 2 * dotted);
    EXPECT_EQ(whitePixelsOn(picture(*image, QSize(100, 100)), dragged), 0) << "gone after release";
}

} // namespace
