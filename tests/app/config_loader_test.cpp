#include "app/key_assignment.h"
#include "app/log.h"
#include "config_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zorvan::test {
namespace {

TEST(ConfigLoad, MinimalFileTakesEveryDefault)
{
    const LoadResult r = LoadCfg("[DEV_1]\nSensor=12368\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.Texts(), QStringList{QStringLiteral("APPDATA=NULL")});
    const AppOptions& o = r.config.opt;
    EXPECT_EQ(o.Suwnd, 1);
    EXPECT_EQ(o.TrayIcon, 2);
    EXPECT_EQ(o.Retry, 3);
    EXPECT_EQ(o.MenuItems, 13);
    EXPECT_EQ(o.DebounceRange, 0x1E00);
    EXPECT_EQ(o.VID, 0x25A7);
    EXPECT_EQ(o.PID, 0xFA92);
    EXPECT_EQ(o.PID2, 0xFA99);
    EXPECT_EQ(o.rcMacroList, (Rect{100, 85, 326, 464}));
    EXPECT_EQ(o.ptMin, (Point{952, 12}));
    EXPECT_EQ(o.ptRecord, (Point{756, 54}));
    EXPECT_EQ(o.rcSys, (Rect{881, 406, 991, 514}));
    EXPECT_EQ(o.clrEdit, 0x141414);
    EXPECT_EQ(o.clrDpiMark, 0x0000FF);
    EXPECT_EQ(o.clrMaskDialog, 0x00FF00);
    EXPECT_EQ(o.LEDParam, (std::array<uint8_t, 6>{3, 10, 8, 255, 0, 255}));
    EXPECT_EQ(o.LanguageListLength, 0);
    EXPECT_EQ(r.config.limits.minDelay, 10);

    const DeviceDescription& d = r.config.devices[0];
    EXPECT_EQ(d.DpiLevelCount, 6);
    EXPECT_EQ(d.DpiLevels, (std::array<int32_t, 8>{750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}));
    EXPECT_EQ(d.DpiColours[0], 0x0000FF);
    EXPECT_EQ(d.ModeCode, 3);
    EXPECT_EQ(d.KeyCount, 16);
    EXPECT_EQ(d.ReportRate, 0x500);
    EXPECT_EQ(d.DpiLedMode, 0x030502);
    EXPECT_EQ(d.MarkPoint, (Point{337, 65}));
    EXPECT_EQ(d.SleepValues, (std::array<int32_t, 12>{10, 30, 60, 300, 600, 900, 1200, 1500, 1800, 2100, 2400, 0}));
    EXPECT_EQ(r.config.CurrentDevice(), &r.config.devices[0]);
}

struct MessageCase {
    const char* name;
    QByteArray cfg;
    QStringList messages;  // in order, after the data folder check
};

class ConfigMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ConfigMessageTest, ShowsTheMessagesOfItsTrigger)
{
    const LoadResult r = LoadCfg(GetParam().cfg);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.Texts(), GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(
    Triggers, ConfigMessageTest,
    testing::Values(
        MessageCase{"NoMessage", Opt("") + Device(1), {}},
        MessageCase{"ShortRect", Opt("rcMacroList=1,2,3") + Device(1), {"Wrong rect num"}},
        MessageCase{"IgnoredRectStillChecked", Opt("rcSupprotBtn=1") + Device(1), {"Wrong rect num"}},
        MessageCase{"ShortPoint", Opt("ptMin=5") + Device(1), {"Wrong POINT num"}},
        MessageCase{"LangWithoutComma", Opt("Lang1=English") + Device(1), {"Lang1 is invalidate"}},
        MessageCase{"LangWithoutFolder", Opt("Lang1=English,\nLang2=X,x") + Device(1), {"Lang1 is invalidate"}},
        MessageCase{"OddDpiLimit", Opt("") + Device(1, "DpiLimit=100,2000,100"), {"wrong DpiLimit value"}},
        MessageCase{"EvenDpiLimit", Opt("") + Device(1, "DpiLimit=100,2000"), {}},
        MessageCase{"UnknownSensor", Opt("") + "[DEV_1]\nSensor=0x3320\nDPIRANGE=1\n", {"Can't find sensor"}},
        MessageCase{"ShortDpiRange", Opt("") + Device(1, "DPIRANGE=100,200"), {"Wrong DPIRANGE"}},
        MessageCase{"DpiSetHwMismatch", Opt("") + Device(1, "DM=2\nDPI=750,1000\nDPISET=750,1000\nDPIHW=1,2,3"),
                    {"DPISET Num != DPIHW Num"}},
        MessageCase{"DpiCount", Opt("") + Device(1, "DPI=800,1600"), {"DPI != DM."}},
        MessageCase{"DpiNotOffered", Opt("") + Device(1, "DM=2\nDPI=750,777"), {"Wrong default dpi value: 777"}},
        MessageCase{"DcCount", Opt("") + Device(1, "DC=1,2,3"), {"DC != DM."}},
        MessageCase{"FewKeys", Opt("") + Device(1, "KM=4\nK1_1=1,11,0,1"), {"Key num to small"}},
        MessageCase{"ShortMark", Opt("") + Device(1, "Mark1=1,2,3\nMark2=1,2,3,4"), {"Mark value error"}},
        MessageCase{"OrderWithinASection", Opt("") + Device(1, "DC=1\nDPI=1\nDpiLimit=1"),
                    {"wrong DpiLimit value", "DPI != DM.", "DC != DM."}}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

struct FatalCase {
    const char* name;
    QByteArray section;
    bool ok;
};

class ConfigFatalTest : public testing::TestWithParam<FatalCase> {};

TEST_P(ConfigFatalTest, OnlyWrongModeOrKeyCountStopsTheLoad)
{
    const LoadResult r = LoadCfg(Opt("") + GetParam().section + Device(2, "DC=1"));
    EXPECT_EQ(r.ok, GetParam().ok);
    // A failing section stops the load: the section after it is never read.
    EXPECT_EQ(r.Texts().contains(QStringLiteral("DC != DM.")), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, ConfigFatalTest,
    testing::Values(FatalCase{"Mdnum4", Device(1, "MDNUM=4"), false}, FatalCase{"Mdnum6", Device(1, "MDNUM=6"), true},
                    FatalCase{"OddKm", Device(1, "KM=7"), false}, FatalCase{"KmZero", Device(1, "KM=0"), false},
                    FatalCase{"Km34", Device(1, "KM=34"), false}, FatalCase{"Km2", Device(1, "KM=2"), true},
                    FatalCase{"NoSensorIsNeverRead", "[DEV_1]\nMDNUM=4\n", true}),
    [](const testing::TestParamInfo<FatalCase>& info) { return std::string(info.param.name); });

// Values that size, place or count things are held to their ranges where the file is read.
struct RangeCase {
    const char* name;
    QByteArray cfg;
    std::vector<int32_t> (*read)(const Configuration&);
    std::vector<int32_t> held;
};

class ConfigRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(ConfigRangeTest, HoldsTheValueToItsRangeWithoutAMessage)
{
    const LoadResult r = LoadCfg(GetParam().cfg);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(GetParam().read(r.config), GetParam().held);
    EXPECT_TRUE(r.messages.empty()) << r.Texts().join(u'|').toStdString();
}

const AppOptions& O(const Configuration& c)
{
    return c.opt;
}
const DeviceDescription& D(const Configuration& c)
{
    return c.devices[0];
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ConfigRangeTest,
    testing::Values(
        RangeCase{"MenuRowsAbove", Opt("MenuItems=268435456") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).MenuItems}; }, {100}},
        RangeCase{"MenuRowsBelow", Opt("MenuItems=-1") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).MenuItems}; }, {0}},
        RangeCase{"MenuRowsInside", Opt("MenuItems=40") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).MenuItems}; }, {40}},
        RangeCase{"Widths", Opt("MenuW=-2147483648\nNaviW=0x7FFFFFFF\nRateVSp=10000") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).MenuW, O(c).NaviW, O(c).RateVSp}; },
                  {-10000, 10000, 10000}},
        RangeCase{"SliderOffsets", Opt("BarY=-20000\nDpiBarY=20000\nDpiSliderY=12\nScaleY=-10000\nSliderY=10001") + Device(1),
                  [](const Configuration& c) {
                      return std::vector<int32_t>{O(c).BarY, O(c).DpiBarY, O(c).DpiSliderY, O(c).ScaleY, O(c).SliderY};
                  },
                  {-10000, 10000, 12, -10000, 10000}},
        RangeCase{"Positions", Opt("MacroOptX=65536\nTipForDebounce=-65536") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).MacroOptX, O(c).TipForDebounce}; },
                  {10000, -10000}},
        RangeCase{"FontSize", Opt("FontSize=1000") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).FontSize}; }, {100}},
        RangeCase{"Delays", Opt("MinDelay=70000\nMinUIDelay=-5") + Device(1),
                  [](const Configuration& c) {
                      return std::vector<int32_t>{O(c).MinDelay, c.limits.minDelay, O(c).MinUIDelay};
                  },
                  {65535, 65535, 0}},
        RangeCase{"Point", Opt("ptNavi=30000,-30000") + Device(1),
                  [](const Configuration& c) { return std::vector<int32_t>{O(c).ptNavi.x, O(c).ptNavi.y}; },
                  {10000, -10000}},
        RangeCase{"Rect", Opt("rcSys=-99999,5,99999,6") + Device(1),
                  [](const Configuration& c) {
                      const Rect& r = O(c).rcSys;
                      return std::vector<int32_t>{r.left, r.top, r.right, r.bottom};
                  },
                  {-10000, 5, 10000, 6}},
        RangeCase{"DeviceGaps", Opt("") + Device(1, "KEYH=2147483647\nDPIH=-2147483648"),
                  [](const Configuration& c) { return std::vector<int32_t>{D(c).KeyHeight, D(c).DpiHeight}; },
                  {10000, -10000}},
        RangeCase{"DevicePoints", Opt("") + Device(1, "ptMark=12345,1\nptLedMark=1,-12345"),
                  [](const Configuration& c) {
                      return std::vector<int32_t>{D(c).MarkPoint.x, D(c).MarkPoint.y, D(c).LedMarkPoint.x,
                                                  D(c).LedMarkPoint.y};
                  },
                  {10000, 1, 1, -10000}},
        RangeCase{"MarkSizeAndPlace", Opt("") + Device(1, "Mark1=2000000,-5,10000,10000"),
                  [](const Configuration& c) {
                      const Rect& r = D(c).KeyMarks[0];
                      return std::vector<int32_t>{r.left, r.top, r.right, r.bottom};
                  },
                  {10000, -5, 20000, 9995}},
        RangeCase{"DpiLevelCountAndIndexAbove", Opt("") + Device(1, "DpiUILevels=9\nDEFLEVEL=8"),
                  [](const Configuration& c) { return std::vector<int32_t>{D(c).DpiUiLevels, D(c).DefaultLevel}; },
                  {8, 7}},
        RangeCase{"DpiLevelCountAndIndexBelow", Opt("") + Device(1, "DpiUILevels=-3\nDEFLEVEL=-1"),
                  [](const Configuration& c) { return std::vector<int32_t>{D(c).DpiUiLevels, D(c).DefaultLevel}; },
                  {0, 0}}),
    [](const testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

std::vector<std::string> OutOfRangeLines(const std::function<void()>& load)
{
    std::vector<std::string> lines;
    SetLogEcho([&lines](const std::string& line) {
        if (line.find("out of range") != std::string::npos)
            lines.push_back(line);
    });
    load();
    SetLogEcho({});
    return lines;
}

TEST(ConfigLoad, AHeldValueIsLoggedWithItsSectionAndKey)
{
    const auto lines = OutOfRangeLines([] { LoadCfg(Opt("MenuItems=268435456") + Device(1, "Mark1=1,2,3,99999")); });
    EXPECT_EQ(lines, (std::vector<std::string>{"OPT: MenuItems=268435456 out of range, 100 used",
                                               "DEV_1: Mark1=99999 out of range, 10000 used"}));
}

TEST(ConfigLoad, TheShippedDataNeedsNoValueHeld)
{
    TempDir dir;
    Configuration config;
    bool ok = false;
    const auto lines = OutOfRangeLines([&] {
        ok = LoadConfiguration(DefaultDataDir() + QStringLiteral("cfg.ini"), dir.File(QStringLiteral("Log.txt")), config);
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(lines.empty()) << lines.front();
}

TEST(ConfigLoad, ValueRulesOfOptions)
{
    const LoadResult r = LoadCfg(Opt("rcMacroList=1,2,3,4,5\nrcKeyList=1,,2,3,4\nptNavi=7,8,9\n"
                                     "Txt_clr=1,2\nclrMask=\nLEDParam=1,2\nTitle=" +
                                     QByteArray(50, 'x') + "\nLedOpt2=9,8,7,6,5,4\nLedOpt3=\n") +
                                 Device(1));
    ASSERT_TRUE(r.ok);
    const AppOptions& o = r.config.opt;
    EXPECT_EQ(o.rcMacroList, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(o.rcKeyList, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(o.ptNavi, (Point{7, 8}));
    EXPECT_EQ(o.Txt_clr, 0x000201);
    EXPECT_EQ(o.clrMask, 0);
    EXPECT_EQ(o.LEDParam, (std::array<uint8_t, 6>{1, 2, 0, 0, 0, 0}));
    EXPECT_EQ(o.Title.size(), 39);
    EXPECT_EQ(o.LedOpt[1].LevelA, 9);
    EXPECT_EQ(o.LedOpt[1].LevelB, 8);
    EXPECT_EQ(o.LedOpt[1].ColourChoice, 5);
    EXPECT_EQ(o.LedOpt[2].LevelA, 8);  // an empty key keeps the defaults
    EXPECT_EQ(o.LedEffect(0).LevelA, o.LedOpt[6].LevelA);
}

TEST(ConfigLoad, LanguageListEndsAtTheFirstMissingKeyAndCountsNamedEntries)
{
    const LoadResult r = LoadCfg(Opt("Lang1=English,en\nLang2=,de\nLang3=Chinese,zh\nLang5=Skipped,x") + Device(1));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.config.opt.LanguageListLength, 3);
    EXPECT_EQ(r.config.opt.Languages[2].folder, QStringLiteral("zh"));
    EXPECT_EQ(r.config.opt.LanguageCount(), 1);  // an empty display name ends the offered list
}

TEST(ConfigLoad, KeyTablesCarryOverBetweenTables)
{
    const LoadResult r = LoadCfg(Opt("") + Device(1,
                                                  "KM=6\n"
                                                  "K1_1=8,A4,0,1\nK2_1=1,13,0,2\nK3_1=2,4,3,0\nK5_1=1,15,0,5\n"
                                                  "K1_1=ignored\nK4_1=8,A6,7,4\n"
                                                  // table 2 names 2..4, not 1 and not 5
                                                  "K2_2=1,11,0,9\nK3_2=2,5,4,0\nK4_2=1,12,0,4\n"));
    ASSERT_TRUE(r.ok) << r.Texts().join(u'|').toStdString();
    const KeyTable& t = r.config.devices[0].KeyTables;
    // Table 1: fire with parameter 0 becomes 0x0A03; K3_1 is a combination.
    EXPECT_EQ(t[0][0].dwFunID, 0x080000A4u);
    EXPECT_EQ(t[0][0].dwParameter, 0x0A03u);
    EXPECT_EQ(t[0][0].matrix, 1u);
    EXPECT_EQ(t[0][2].dwFunID, 0x020000A1u);
    EXPECT_EQ(t[0][2].stCombo[0], 0x03);
    EXPECT_EQ(t[0][2].stCombo[1], 0x04);
    EXPECT_EQ(t[0][3].dwParameter, 7u);
    // Table 2: button 1 keeps its other fields but loses dwFunID; button 5 is kept whole;
    // the combination's modifier bits are only ever added.
    EXPECT_EQ(t[1][0].dwFunID, 0u);
    EXPECT_EQ(t[1][0].dwParameter, 0x0A03u);
    EXPECT_EQ(t[1][0].matrix, 1u);
    EXPECT_EQ(t[1][1].matrix, 9u);
    EXPECT_EQ(t[1][2].stCombo[0], 0x07);
    EXPECT_EQ(t[1][2].stCombo[1], 0x05);
    EXPECT_EQ(t[1][4], t[0][4]);
    // Table 3 names nothing: a copy of table 1.
    for (int k = 0; k < kKeysPerSet; ++k)
        EXPECT_EQ(t[2][k], t[0][k]) << k;
    // The default key table is the current device's.
    EXPECT_EQ(r.config.defaultKeys[1][2], t[1][2]);
}

TEST(ConfigLoad, TableOneWithoutKeysStaysEmptyAndTablesTwoAndThreeCopyIt)
{
    const LoadResult r = LoadCfg(Opt("") + Device(1, "K1_2=1,11,0,1"));
    ASSERT_TRUE(r.ok);
    const KeyTable& t = r.config.devices[0].KeyTables;
    EXPECT_EQ(t[0][0].dwFunID, 0u);
    EXPECT_EQ(t[1][0].dwFunID, 0x01000011u);
    EXPECT_EQ(t[2][0].dwFunID, 0u);
}

TEST(ConfigLoad, DeviceValuesAndMarks)
{
    const LoadResult r = LoadCfg(Opt("") + Device(1,
                                                  "DM=2\nDPI=750,1000\nDC=1,2,3,4,5,6\nShowDpi=0\n"
                                                  "SleepVal=5,6\nDpiLEDMode=0x010203\nMark1=10,20,30,40\n"
                                                  "Mark2=1,2,3,4,5\nMark4=1,1,1,1"));
    ASSERT_TRUE(r.ok);
    const DeviceDescription& d = r.config.devices[0];
    EXPECT_EQ(d.DpiLevels[0], 750);
    EXPECT_EQ(d.DpiLevels[2], 0);
    EXPECT_EQ(d.DpiColours[0], 0x030201);
    EXPECT_EQ(d.DpiColours[1], 0x060504);
    EXPECT_EQ(d.DpiColours[2], 0x00FF00);  // levels past DM keep the default colours
    EXPECT_EQ(d.ShowDpiLED, 0);
    EXPECT_EQ(d.SleepValues[0], 5);
    EXPECT_EQ(d.SleepValues[2], 0);
    EXPECT_EQ(d.DpiLedMode, 0x010203);
    EXPECT_EQ(d.KeyMarks[0], (Rect{10, 20, 40, 60}));
    EXPECT_EQ(d.KeyMarks[1], (Rect{1, 2, 4, 6}));
    EXPECT_TRUE(d.KeyMarks[3].IsEmpty());  // reading stops at the missing Mark3
}

TEST(ConfigLoad, FindDeviceByIdsStopsAtTheFirstEmptyRecord)
{
    const LoadResult r = LoadCfg(Opt("") + Device(1) + Device(3));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.config.FindDeviceByIds(1, 1), &r.config.devices[0]);
    EXPECT_EQ(r.config.FindDeviceByIds(3, 1), nullptr);
    EXPECT_TRUE(r.config.devices[2].HoldsModel());
}

TEST(ConfigLoad, OverridesActOnTheSensorTableForEveryModel)
{
    const LoadResult r = LoadCfg(Opt("") + Device(1, "DM=1\nDPI=400\nDPISET=400,800,1600") + Device(2, "DM=1\nDPI=800"));
    ASSERT_TRUE(r.ok) << r.Texts().join(u'|').toStdString();
    const SensorDpiTable* t = r.config.sensors.Find(0x3050);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Count, 3);
    EXPECT_EQ(t->Codes[0], 1);
    EXPECT_EQ(t->Codes[2], 3);
    EXPECT_EQ(t->Codes[3], 0);
}

TEST(ConfigLoad, HostileInputStaysInsideItsTables)
{
    QByteArray cfg = Opt("Lang1=" + QByteArray(5000, ',') + "\nLEDParam=" + QByteArray(3000, '9'));
    for (int n = 1; n <= 40; ++n)
        cfg += Device(n, "DM=200\nDPI=1,2,3,4,5,6,7,8,9,10\nDC=" + QByteArray(2000, '1') +
                             "\nDPIRANGE=1,100000,1,5,6,7\nDPIRANGEALIAS=" + QByteArray("1,2,").repeated(400) +
                             "\nK17_1=1,2,3,4\nMark20=1,2,3,4\nSleepVal=" + QByteArray("7,").repeated(50));
    static const char junk[] = "\0\xff\xfe garbage [DEV_";
    cfg += QByteArray(junk, sizeof junk - 1).repeated(1000);
    const LoadResult r = LoadCfg(cfg);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.config.sensors.Find(0x3050)->Count, 650);
}

TEST(ConfigLoad, ModelNamesFollowTheModelsIdsEvenInACopy)
{
    const LoadResult r = LoadCfg("[DEV_1]\nSensor=12368\nCID=0x1A\nMID=0x01\nName=Zorvan Strix\n"
                                 "[DEV_2]\nSensor=12368\nCID=0x1A\nMID=0x02\n");
    ASSERT_TRUE(r.ok) << r.Texts().join(u'|').toStdString();
    DeviceDescription copy = r.config.devices[0];
    DeviceDescription unknown = copy;
    unknown.MID = 0x99;
    EXPECT_EQ(r.config.ModelName(r.config.devices[0]), QStringLiteral("Zorvan Strix"));
    EXPECT_EQ(r.config.ModelName(copy), QStringLiteral("Zorvan Strix"));
    EXPECT_EQ(r.config.ModelName(r.config.devices[1]), QStringLiteral("1a:02"));  // no Name
    EXPECT_EQ(r.config.ModelName(unknown), QStringLiteral("1a:99"));
}

}  // namespace
}  // namespace zorvan::test

