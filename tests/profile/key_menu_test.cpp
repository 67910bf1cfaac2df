// The function menu of the key page: its entries and their order, the optional entries by the
// model's and the options' switches, the snipe values of the sensor, the 50-entry limit, and
// what zorvanctl may assign (FunctionOffered) follows the menu.
#include "profile/key_menu.h"

#include "profile/profile_edits.h"
#include "profile/profile_fixture.h"
#include "support/test_support.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace zorvan {
namespace {

constexpr int32_t kSensor = 0x3335;

class KeyMenuTest : public test::ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        ASSERT_TRUE(LoadLanguageTexts(test::DefaultDataDir() + QStringLiteral("en/text.xml")));
        sensors_.Build(0, 12000, 32000);
        SetSensorStep(50);
        // A model that shows every optional entry.
        device_.Sensor = kSensor;
        device_.KeyCount = 8;
        device_.ShowRGBSw = 1;
        device_.ShowMainEffect = 1;
        device_.ShowUsbRate = 1;
        device_.DpiMenuMask = 7;
        device_.ExKeys = {0x101, 0x102, 0x103};
        device_.KeyTables[0][7].dwFunID = 0x080000AE;
        options_.ShowProSw = 1;
    }

    void TearDown() override
    {
        Texts().SetAll({});  // no texts, as before the test
        ProfileTest::TearDown();
    }

    // The sensor's table: step, 2 x step, ... up to 2000 or as many values as a table holds.
    void SetSensorStep(int step)
    {
        SensorDpiTable* table = sensors_.Find(kSensor);
        ASSERT_NE(table, nullptr);
        table->Count = 0;
        for (int dpi = step; dpi <= 2000 && table->Count < kSensorValues; dpi += step)
            table->Values[size_t(table->Count++)] = uint16_t(dpi);
    }

    std::vector<KeyMenuEntry> Entries() const { return KeyMenuEntries(device_, options_, sensors_); }

    std::vector<uint32_t> Codes(int parent) const
    {
        std::vector<uint32_t> codes;
        for (const KeyMenuEntry& e : Entries()) {
            if (e.parent == parent)
                codes.push_back(e.code);
        }
        return codes;
    }

    bool Listed(uint32_t code) const
    {
        const auto entries = Entries();
        return std::any_of(entries.begin(), entries.end(), [code](const KeyMenuEntry& e) { return e.code == code; });
    }

    DeviceDescription device_{};
    AppOptions options_{};
    SensorTables sensors_;
};

TEST_F(KeyMenuTest, EveryEntryInTheMenusOrder)
{
    const std::vector<KeyMenuEntry> entries = Entries();
    const std::vector<uint32_t> first = {0x01000011, 0x01000013, 0x01000012, 0x01000014, 0x01000015,
                                         0x080000A7, 0x080000AC, 0x080000B0, 0x080000A4, 0x020000A1,
                                         0x080000AE, 0x080000A2, 0x0B000000, 0x0B000001, 0x0B000002,
                                         0x05000000, 0x08000000, 0x04000000, 0x080000A6};
    EXPECT_EQ(Codes(kMenuFirstLevel), first);
    ASSERT_EQ(entries.size(), size_t(kMenuEntriesMax));
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(entries[i].groupRow, i >= 16) << "row " << i;
    EXPECT_EQ(entries[0].text, QStringLiteral("Left click"));
    EXPECT_EQ(entries[16].text, GetText("tc_dpi"));
    EXPECT_EQ(entries[18].text, GetText("tc_adv_str28"));

    EXPECT_EQ(Codes(16), (std::vector<uint32_t>{0x080000A8, 0x080000A9, 0x080000AA}));
    EXPECT_EQ(Codes(17), (std::vector<uint32_t>{0x04000021, 0x04000022, 0x04000025, 0x04000024, 0x04000023,
                                                0x04000028, 0x04000026, 0x04000027, 0x03000030, 0x03000031,
                                                0x03000032, 0x03000034, 0x03000033, 0x03000036, 0x03000035,
                                                0x03000037, 0x03000038, 0x03000039}));
    // Snipe values 100..1100 sit at positions 1, 3, 5, ... of a table in steps of 50. All
    // optional entries and eleven values would be 51 entries: 1100 is left out.
    std::vector<uint32_t> snipe;
    for (int position = 1; position <= 19; position += 2)
        snipe.push_back(0x080000A6 + 256u * uint32_t(position));
    EXPECT_EQ(Codes(18), snipe);
    EXPECT_EQ(entries.back().text, QStringLiteral("1000"));
}

TEST_F(KeyMenuTest, OptionalEntriesFollowTheModelAndTheOptions)
{
    struct Case {
        const char* name;
        std::function<void(DeviceDescription&, AppOptions&)> change;
        std::vector<uint32_t> shown;
        std::vector<uint32_t> hidden;
    };
    const Case cases[] = {
        {"no lighting switch", [](auto& d, auto&) { d.ShowRGBSw = 0; }, {}, {0x080000A7}},
        {"lighting switch without lighting effects", [](auto& d, auto&) { d.ShowMainEffect = 0; }, {}, {0x080000A7}},
        {"lighting switch with the logo effect only",
         [](auto& d, auto&) {
             d.ShowMainEffect = 0;
             d.ShowLogoEffect = 1;
         },
         {0x080000A7},
         {}},
        {"no polling rate", [](auto& d, auto&) { d.ShowUsbRate = 0; }, {}, {0x080000AC}},
        {"no profile switch", [](auto&, auto& o) { o.ShowProSw = 0; }, {}, {0x080000B0}},
        {"lighting on/off only on a shown default key",
         [](auto& d, auto&) {
             d.KeyTables[0][7].dwFunID = 0;
             d.KeyTables[0][8].dwFunID = 0x080000AE;
         },
         {},
         {0x080000AE}},
        {"extra keys stop at the first zero", [](auto& d, auto&) { d.ExKeys = {0, 5, 0}; }, {},
         {0x0B000000, 0x0B000001, 0x0B000002}},
        {"one extra key", [](auto& d, auto&) { d.ExKeys = {4, 0, 6}; }, {0x0B000000}, {0x0B000001, 0x0B000002}},
        {"DpiMenuMask 2", [](auto& d, auto&) { d.DpiMenuMask = 2; }, {0x08000000, 0x080000A9},
         {0x080000A8, 0x080000AA}},
        {"DpiMenuMask 0", [](auto& d, auto&) { d.DpiMenuMask = 0; }, {},
         {0x08000000, 0x080000A8, 0x080000A9, 0x080000AA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DeviceDescription full = device_;
        const AppOptions fullOptions = options_;
        c.change(device_, options_);
        for (const uint32_t code : c.shown)
            EXPECT_TRUE(Listed(code)) << std::hex << code;
        for (const uint32_t code : c.hidden)
            EXPECT_FALSE(Listed(code)) << std::hex << code;
        device_ = full;
        options_ = fullOptions;
    }
}

TEST_F(KeyMenuTest, ApplicationKeyTextsDecideTheirEntries)
{
    SetText("tc_kbmedia_stop", {});
    SetText("tc_kbmedia_back", {});
    EXPECT_FALSE(Listed(0x03000037));
    for (const KeyMenuEntry& e : Entries()) {
        if (e.code == 0x03000035) {
            EXPECT_EQ(e.text, GetText("tc_back"));
        }
    }
    EXPECT_EQ(Entries().size(), size_t(kMenuEntriesMax));  // now 1100 fits
    EXPECT_EQ(Entries().back().text, QStringLiteral("1100"));
}

TEST_F(KeyMenuTest, SnipeValuesOfTheSensorsTable)
{
    device_.ExKeys = {};  // room for all eleven values
    const auto snipeCodes = [this] {
        std::vector<uint32_t> codes;
        for (const KeyMenuEntry& e : Entries()) {
            if (e.parent != kMenuFirstLevel && IsSnipePick(e.code))
                codes.push_back(e.code);
        }
        return codes;
    };
    SetSensorStep(100);  // 100 at position 0: its code is the snipe group row's own
    std::vector<uint32_t> expected;
    for (uint32_t position = 0; position < 11; ++position)
        expected.push_back(0x080000A6 + 256u * position);
    EXPECT_EQ(snipeCodes(), expected);

    SetSensorStep(2);  // 100 at position 49, 200 at 99, ... 600 at 299 does not fit into the code
    EXPECT_EQ(snipeCodes(), (std::vector<uint32_t>{0x080031A6, 0x080063A6, 0x080095A6, 0x0800C7A6, 0x0800F9A6}));
}

TEST_F(KeyMenuTest, ZorvanctlMayAssignWhatTheMenuOffers)
{
    struct Case {
        uint32_t code;
        bool offered;
    };
    const Case cases[] = {
        {0x01000011, true},  {0x03000037, true},  {0x0B000002, true},  {0x080003A6, true},  // 200 DPI
        {0x08000000, false}, {0x04000000, false}, {0x080000A6, false},                      // group rows
        {0x01000016, false}, {0x080000AB, false}, {0x080000AD, false}, {0x0B000003, false},  // not in the menu
        {0x080015A6, false},                                                                 // 1100 left out
    };
    for (const Case& c : cases)
        EXPECT_EQ(FunctionOffered(c.code, device_, options_, sensors_), c.offered) << std::hex << c.code;
}

}  // namespace
}  // namespace zorvan
