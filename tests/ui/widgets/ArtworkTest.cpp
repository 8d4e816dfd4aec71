// The artwork of the resource package: every indexed drawing loads, the mouse
// picture's states differ exactly where the coords file puts its buttons, and
// the colour pad can be picked from anywhere.
#include "ui/widgets/CoordsFile.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kPackage = std::filesystem::path(MOUSECFG_SOURCE_DIR) / "uires";
constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 420;
constexpr int kPictureStates = 4;

struct IndexEntry {
    std::string name;
    std::string file;
};

// The lines of the artwork's block of the resource index.
std::vector<IndexEntry> artworkEntries()
{
    std::ifstream index(kPackage / "uires.idx");
    std::vector<IndexEntry> entries;
    bool inBlock = false;
    for (std::string line; std::getline(index, line);) {
        if (line.starts_with("# ---- artwork"))
            inBlock = true;
        else if (line.starts_with("# ---- end of artwork"))
            inBlock = false;
        else if (inBlock && !line.empty() && line[0] != '#') {
            const auto equals = line.find('=');
            auto trim = [](std::string text) {
                text.erase(0, text.find_first_not_of(' '));
                text.erase(text.find_last_not_of(' ') + 1);
                return text;
            };
            entries.push_back({trim(line.substr(0, equals)), trim(line.substr(equals + 1))});
        }
    }
    return entries;
}

QImage renderState(QSvgRenderer& renderer, int state)
{
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    renderer.setViewBox(QRectF(kPictureWidth * state, 0, kPictureWidth, kPictureHeight));
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, kPictureWidth, kPictureHeight));
    return image;
}

bool isSkinTable(const IndexEntry& entry)
{
    return QString::fromStdString(entry.name).startsWith("skin:", Qt::CaseInsensitive);
}

bool isDrawing(const IndexEntry& entry)
{
    return entry.file.ends_with(".svg");
}

TEST(Artwork, EveryOtherIndexedFileIsWellFormedXml)
{
    for (const IndexEntry& entry : artworkEntries()) {
        if (isDrawing(entry))
            continue;
        pugi::xml_document document;
        EXPECT_TRUE(document.load_file((kPackage / entry.file).c_str())) << entry.name << " = " << entry.file;
    }
}

TEST(Artwork, EveryIndexedDrawingIsAValidSvg)
{
    const std::vector<IndexEntry> entries = artworkEntries();
    ASSERT_GT(entries.size(), 44u) << "the 43 main images, kb_macro:bg_png and the skins";
    for (const IndexEntry& entry : entries) {
        if (!isDrawing(entry))
            continue;
        QSvgRenderer renderer(QString::fromStdString((kPackage / entry.file).string()));
        EXPECT_TRUE(renderer.isValid()) << entry.name << " = " << entry.file;
    }
}

TEST(Artwork, IndexNamesEveryImageThePackageMustHold)
{
    const char* const required[] = {
        "main:table_main_bg_png", "main:table_main_icon_png", "main:state_func_bg_png",
        "main:ioc_func_macro_png", "main:ioc_func_rgb_png", "main:cbox_profile_normal_png",
        "main:cbox_profile_selected_png", "main:cbox_profile_ico_png", "main:win_macro_bg_png",
        "main:bg_macr_keys_png", "main:state_del_png", "main:state_add_png",
        "main:state_capture_png", "main:state_import_png", "main:state_export_png",
        "main:state_up_png", "main:state_down_png", "main:state_record_png", "main:state_ok_png",
        "main:state_cancel_png", "main:bg_macro_group_png", "main:image_bg_macro_content_png",
        "main:bg_progress_bg_png", "main:bg_progress_pos_png", "main:state_progres_thum_png",
        "main:icon_color_effects_png", "main:state_color_effects_png",
        "main:state_color_select_png", "main:state_clear_png", "main:more_menu_png",
        "main:img_keboard_demo_png", "main:img_keyboard_png", "main:img_headset_png",
        "main:img_mousepad_png", "main:page_bg_png", "main:img_keyboard_bg_png",
        "main:img_mouse_bg_png", "main:icon_keyboard_png", "main:icon_mouse_png",
        "main:icon_headset_png", "main:icon_mousepad_png", "main:color_panel_png",
        "main:state_auto_color_png", "kb_macro:bg_png"};
    std::vector<std::string> names;
    for (const IndexEntry& entry : artworkEntries())
        names.push_back(entry.name);
    for (const char* name : required)
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
}

// Every drawing is a skin, cut into states that divide its width exactly.
TEST(Artwork, SkinTableCutsEveryDrawingIntoWholeStates)
{
    std::map<std::string, std::string> files;
    std::string tableFile;
    for (const IndexEntry& entry : artworkEntries()) {
        if (isSkinTable(entry))
            tableFile = entry.file;
        else if (isDrawing(entry))
            files[entry.name] = entry.file;
    }
    ASSERT_FALSE(tableFile.empty());
    pugi::xml_document table;
    ASSERT_TRUE(table.load_file((kPackage / tableFile).c_str()));
    std::set<std::string> skinned;
    for (const pugi::xml_node image : table.child("skin").children("image")) {
        const std::string source = image.attribute("src").as_string();
        const int states = image.attribute("states").as_int(0);
        ASSERT_TRUE(files.contains(source)) << source;
        ASSERT_GE(states, 1) << source;
        QSvgRenderer renderer(QString::fromStdString((kPackage / files[source]).string()));
        EXPECT_EQ(renderer.defaultSize().width() % states, 0) << source;
        skinned.insert(source);
    }
    for (const auto& [name, file] : files)
        EXPECT_TRUE(skinned.contains(name)) << name << " has no skin";
}

class MousePicture : public testing::Test {
protected:
    void SetUp() override
    {
        items = loadCoordsFile(kPackage / "coords" / "img_keyboard.xml");
        renderer.load(QString::fromStdString((kPackage / "image/main/img_keyboard.svg").string()));
        ASSERT_TRUE(renderer.isValid());
        ASSERT_EQ(renderer.defaultSize(),
                  QSize(kPictureWidth * kPictureStates, kPictureHeight));
    }
    bool insideAnItem(int x, int y) const
    {
        for (const auto& [id, item] : items) {
            if (item.rect.contains(x, y))
                return true;
        }
        return false;
    }
    CoordButtonItems items;
    QSvgRenderer renderer;
};

TEST_F(MousePicture, CoordsNameEightSeparateButtonsInsideThePicture)
{
    ASSERT_EQ(items.size(), 8u);
    for (std::int32_t id = 0; id < 8; ++id) {
        ASSERT_TRUE(items.contains(id)) << id;
        const CoordRect& r = items.at(id).rect;
        EXPECT_FALSE(items.at(id).name.empty()) << id;
        EXPECT_GE(r.left, 0) << id;
        EXPECT_GE(r.top, 0) << id;
        EXPECT_LE(r.right, kPictureWidth) << id;
        EXPECT_LE(r.bottom, kPictureHeight) << id;
        EXPECT_LT(r.left, r.right) << id;
        EXPECT_LT(r.top, r.bottom) << id;
        for (std::int32_t other = id + 1; other < 8; ++other) {
            const CoordRect& o = items.at(other).rect;
            const bool apart = r.right <= o.left || o.right <= r.left || r.bottom <= o.top
                || o.bottom <= r.top;
            EXPECT_TRUE(apart) << id << " overlaps " << other;
        }
    }
}

// The widget copies the hover and selected states into the items' rectangles
// only, so those states may differ from the normal one only there, and must
// differ inside every rectangle (each holds a drawn button).
TEST_F(MousePicture, HoverAndSelectedStatesDifferOnlyInsideTheButtons)
{
    const QImage normal = renderState(renderer, 0);
    for (const int state : {1, 2}) {
        const QImage shown = renderState(renderer, state);
        int strayPixels = 0;
        std::map<std::int32_t, int> changedPerItem;
        for (int y = 0; y < kPictureHeight; ++y) {
            for (int x = 0; x < kPictureWidth; ++x) {
                if (normal.pixel(x, y) == shown.pixel(x, y))
                    continue;
                bool counted = false;
                for (const auto& [id, item] : items) {
                    if (item.rect.contains(x, y)) {
                        ++changedPerItem[id];
                        counted = true;
                    }
                }
                strayPixels += counted ? 0 : 1;
            }
        }
        EXPECT_EQ(strayPixels, 0) << "state " << state;
        for (const auto& [id, item] : items)
            EXPECT_GT(changedPerItem[id], 20) << "state " << state << " item " << id;
    }
}

TEST(ColourPad, IsOpaqueEverywhereSoEveryPickGivesAColour)
{
    QSvgRenderer renderer(QString::fromStdString((kPackage / "image/main/color_panel.svg").string()));
    ASSERT_TRUE(renderer.isValid());
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 255) << x << "," << y;
    }
    const QColor topLeft = image.pixelColor(0, 0);
    EXPECT_GT(topLeft.red(), 240);
    EXPECT_LT(topLeft.green(), 20);
    const QColor bottom = image.pixelColor(image.width() / 2, image.height() - 1);
    EXPECT_GT(bottom.lightness(), 240);
}

} // namespace
