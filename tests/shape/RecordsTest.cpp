#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "shape/Channels.h"
#include "shape/Records.h"

namespace {

// A named change to one field of a record; each must make the record unequal to the original.
template <class Record>
struct FieldChange {
    const char* name;
    std::function<void(Record&)> apply;
};

template <class Record>
void expectEveryChangeBreaksEquality(const Record& base, const std::vector<FieldChange<Record>>& changes)
{
    for (const auto& change : changes) {
        Record changed = base;
        change.apply(changed);
        EXPECT_FALSE(changed == base) << change.name;
        EXPECT_TRUE(changed != base) << change.name;
        Record copy = changed;
        EXPECT_TRUE(copy == changed) << change.name << " (copy)";
    }
}

TEST(RecordDefaults, DpiDatIsLevelZeroRed)
{
    const DpiDat dpi;
    EXPECT_EQ(dpi.level, 0);
    EXPECT_EQ(dpi.red, 255);
    EXPECT_EQ(dpi.green, 0);
    EXPECT_EQ(dpi.blue, 0);
    EXPECT_EQ(dpi.reserved, 0);
}

TEST(RecordDefaults, LightDatHasBrightnessThreeSpeedTwoAndRedAreas)
{
    const LightDat light;
    EXPECT_EQ(light.brightness, 3);
    EXPECT_EQ(light.speed, 2);
    EXPECT_EQ(light.color_index, 0);
    EXPECT_EQ(light.direction, 0);
    for (const RgbColor& area : light.area_colors) {
        EXPECT_EQ(area, (RgbColor{255, 0, 0}));
    }
}

TEST(RecordDefaults, MacroSlotIsAllZeroBytes)
{
    const macrokey_dat_t slot;
    unsigned char bytes[sizeof(macrokey_dat_t)];
    std::memcpy(bytes, &slot, sizeof bytes);
    for (unsigned char byte : bytes) {
        EXPECT_EQ(byte, 0);
    }
}

TEST(RecordDefaults, RecordGroupRepeatsOnceAndTheRestIsEmpty)
{
    const RecordGroup group;
    EXPECT_EQ(group.code, 0);
    EXPECT_EQ(group.page, 0);
    EXPECT_EQ(group.repeat, 1);
    EXPECT_TRUE(group.name.empty());
    EXPECT_TRUE(group.group.empty());
    EXPECT_TRUE(group.items.empty());
}

TEST(RecordDefaults, ConfigurationRecordsAreZeroAndEmpty)
{
    EXPECT_EQ(UsbInfo{}, (UsbInfo{0, 0, 0, 0}));
    EXPECT_EQ(MacroFuncKey{}, (MacroFuncKey{L"", 0, L"", L""}));
    EXPECT_TRUE(MacroCombKey{}.name.empty());
    EXPECT_TRUE(MacroCombKey{}.keys.empty());
}

TEST(MacroSlotImage, ItemsAreKeyThenTimingAfterTheModeByte)
{
    macrokey_dat_t slot;
    slot.mode = 0x11;
    slot.items[0] = {0x04, 0x85};
    slot.items[59] = {0x29, 0x01};
    unsigned char bytes[sizeof(macrokey_dat_t)];
    std::memcpy(bytes, &slot, sizeof bytes);
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[1], 0x04);
    EXPECT_EQ(bytes[2], 0x85);
    EXPECT_EQ(bytes[119], 0x29);
    EXPECT_EQ(bytes[120], 0x01);
}

TEST(RecordEquality, DpiDatComparesEveryField)
{
    expectEveryChangeBreaksEquality<DpiDat>(DpiDat{}, {
        {"level", [](DpiDat& d) { d.level = 4; }},
        {"red", [](DpiDat& d) { d.red = 254; }},
        {"green", [](DpiDat& d) { d.green = 1; }},
        {"blue", [](DpiDat& d) { d.blue = 1; }},
        {"reserved", [](DpiDat& d) { d.reserved = 1; }},
    });
}

TEST(RecordEquality, LightDatComparesScalarsAndAllTwelveColourBytes)
{
    std::vector<FieldChange<LightDat>> changes = {
        {"brightness", [](LightDat& l) { l.brightness = 0; }},
        {"speed", [](LightDat& l) { l.speed = 0; }},
        {"color_index", [](LightDat& l) { l.color_index = 7; }},
        {"direction", [](LightDat& l) { l.direction = 1; }},
    };
    for (std::size_t area = 0; area < LightDat::kAreaCount; ++area) {
        changes.push_back({"area red", [area](LightDat& l) { l.area_colors[area].red = 1; }});
        changes.push_back({"area green", [area](LightDat& l) { l.area_colors[area].green = 1; }});
        changes.push_back({"area blue", [area](LightDat& l) { l.area_colors[area].blue = 1; }});
    }
    expectEveryChangeBreaksEquality<LightDat>(LightDat{}, changes);
}

TEST(RecordEquality, MacroSlotComparesAllBytesUpToTheLastReleaseBit)
{
    expectEveryChangeBreaksEquality<macrokey_dat_t>(macrokey_dat_t{}, {
        {"mode", [](macrokey_dat_t& m) { m.mode = 1; }},
        {"first key", [](macrokey_dat_t& m) { m.items[0].key = 4; }},
        {"last release bit", [](macrokey_dat_t& m) { m.items[59].timing = 0x80; }},
    });
}

TEST(RecordEquality, RecordGroupComparesIntegersStringsAndEveryItem)
{
    RecordGroup base;
    base.items = {{4, 0, 10, L"A"}, {4, 1, 0, L"A"}};
    expectEveryChangeBreaksEquality<RecordGroup>(base, {
        {"code", [](RecordGroup& g) { g.code = 3; }},
        {"page", [](RecordGroup& g) { g.page = 1; }},
        {"repeat", [](RecordGroup& g) { g.repeat = 2; }},
        {"name", [](RecordGroup& g) { g.name = L"x"; }},
        {"group", [](RecordGroup& g) { g.group = L"x"; }},
        {"item count", [](RecordGroup& g) { g.items.pop_back(); }},
        {"item code", [](RecordGroup& g) { g.items[1].code = 5; }},
        {"item state", [](RecordGroup& g) { g.items[0].state = 1; }},
        {"item delay", [](RecordGroup& g) { g.items[0].delay = 11; }},
        {"item name", [](RecordGroup& g) { g.items[0].name = L"B"; }},
    });
}

TEST(RecordEquality, ConfigurationRecordsCompareEveryField)
{
    expectEveryChangeBreaksEquality<UsbInfo>(UsbInfo{0x1a2c, 0x0e24, 1, 2}, {
        {"vid", [](UsbInfo& u) { u.vid = 0; }},
        {"pid", [](UsbInfo& u) { u.pid = 0; }},
        {"interface", [](UsbInfo& u) { u.interface = -1; }},
        {"subdevice", [](UsbInfo& u) { u.subdevice = -1; }},
    });
    expectEveryChangeBreaksEquality<MacroFuncKey>(MacroFuncKey{L"Mute", 226, L"p", L"a"}, {
        {"name", [](MacroFuncKey& k) { k.name = L"Play"; }},
        {"code", [](MacroFuncKey& k) { k.code = 205; }},
        {"path", [](MacroFuncKey& k) { k.path.clear(); }},
        {"argm", [](MacroFuncKey& k) { k.argm.clear(); }},
    });
    expectEveryChangeBreaksEquality<MacroCombKey>(MacroCombKey{L"Copy", {{17, 5}, {67, 0}}}, {
        {"name", [](MacroCombKey& k) { k.name = L"Paste"; }},
        {"step count", [](MacroCombKey& k) { k.keys.pop_back(); }},
        {"step code", [](MacroCombKey& k) { k.keys[1].code = 86; }},
        {"step delay", [](MacroCombKey& k) { k.keys[0].delay = 6; }},
    });
}

TEST(ZeroFill, ResetDpiStagesAreBlackWhileADefaultStageIsRed)
{
    const DpiStagesShape stages;
    ASSERT_EQ(stages.length(), 8u);
    for (uint32_t i = 0; i < stages.length(); ++i) {
        EXPECT_EQ(stages.at(static_cast<int32_t>(i)), (DpiDat{0, 0, 0, 0, 0})) << "stage " << i;
    }
    EXPECT_NE(stages.at(0), DpiDat{});
}

TEST(ZeroFill, ResetLightEffectsAreAllZeroBytes)
{
    const LightEffectsShape effects;
    ASSERT_EQ(effects.length(), 10u);
    LightDat zero;
    std::memset(static_cast<void*>(&zero), 0, sizeof zero);
    for (uint32_t i = 0; i < effects.length(); ++i) {
        EXPECT_EQ(effects.at(static_cast<int32_t>(i)), zero);
    }
}

TEST(LightModes, HoldThreeModesOfTenResetEffects)
{
    const LightModesShape modes;
    ASSERT_EQ(modes.length(), 3u);
    EXPECT_EQ(modes.index(), 0u);
    const LightEffectsShape effects;
    for (uint32_t i = 0; i < modes.length(); ++i) {
        EXPECT_EQ(modes.at(static_cast<int32_t>(i)), effects) << "mode " << i;
    }
}

TEST(LightModes, CopyingAModeCopiesItsEffectsAndSelectedEffect)
{
    LightModesShape modes;
    modes.at(1).at(4).speed = 9;
    modes.at(1).selection().setIndex(4);

    modes.at(2) = modes.at(1);
    const LightEffectsShape copy = modes.at(1);

    EXPECT_EQ(modes.at(2).index(), 4u);
    EXPECT_EQ(modes.at(2).at(4).speed, 9);
    EXPECT_EQ(copy, modes.at(1));
    // The copy owns its array: changing the source leaves it alone.
    modes.at(1).at(4).speed = 1;
    EXPECT_EQ(copy.at(4).speed, 9);
}

TEST(LightModes, ModesCompareIndexLengthAndEveryEffect)
{
    struct Row {
        const char* name;
        std::function<void(LightEffectsShape&)> change;
    };
    const std::vector<Row> rows = {
        {"selected effect", [](LightEffectsShape& e) { e.selection().setIndex(3); }},
        {"length", [](LightEffectsShape& e) { e.appendOne(LightDat{}); }},
        {"one colour byte", [](LightEffectsShape& e) { e.at(9).area_colors[3].blue = 1; }},
    };
    for (const Row& row : rows) {
        const LightEffectsShape base;
        LightEffectsShape changed;
        row.change(changed);
        EXPECT_FALSE(changed == base) << row.name;
    }
}

}  // namespace
