#include "app/sensor_tables.h"
#include "config_fixture.h"

#include <gtest/gtest.h>

namespace zorvan::test {
namespace {

SensorTables Built(int setp3325 = 0, int max9000 = 12000, int max3395 = 32000)
{
    SensorTables t;
    t.Build(setp3325, max9000, max3395);
    return t;
}

struct CountCase {
    int32_t sensor;
    int count;
    int firstValue;
    int lastValue;
};

class SensorCountTest : public testing::TestWithParam<CountCase> {};

TEST_P(SensorCountTest, BuiltInTablesHaveTheirValues)
{
    const SensorTables tables = Built();
    const SensorDpiTable* t = tables.Find(GetParam().sensor);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Count, GetParam().count);
    EXPECT_EQ(t->Values[0], GetParam().firstValue);
    EXPECT_EQ(t->Values[size_t(t->Count - 1)], GetParam().lastValue);
}

INSTANTIATE_TEST_SUITE_P(Sensors, SensorCountTest,
                         testing::Values(CountCase{0x3050, 11, 500, 4000}, CountCase{0x3330, 192, 50, 12000},
                                         CountCase{0x3104, 35, 600, 4000}, CountCase{0x3212, 19, 600, 2400},
                                         CountCase{0x3325, 54, 200, 10000}, CountCase{0x3335, 160, 100, 16000},
                                         CountCase{0x4090, 74, 200, 10000}, CountCase{0x3336, 192, 50, 12000},
                                         CountCase{0x3370, 385, 50, 38000}, CountCase{0x9000, 220, 50, 12000},
                                         CountCase{0x3395, 580, 50, 32000}));

TEST(SensorTables, StartUpValuesShapeTheUpperRanges)
{
    EXPECT_EQ(Built(1).Find(0x3325)->Count, 49 + 25);
    EXPECT_EQ(Built(0, 10000).Find(0x9000)->Count, 200);
    EXPECT_EQ(Built(0, 99999).Find(0x9000)->Count, 220);  // list C ends at 12000
    EXPECT_EQ(Built(0, 12000, 26000).Find(0x3395)->Count, 520);
    EXPECT_EQ(Built().Find(0x3320), nullptr);  // defaults but no table
    EXPECT_EQ(Built().Find(0), nullptr);
}

struct CodeCase {
    int32_t sensor;
    int dpi;
    int code;
    int flag;
};

class DpiToCodeTest : public testing::TestWithParam<CodeCase> {};

TEST_P(DpiToCodeTest, GivesCodeAndRangeFlag)
{
    const SensorTables tables = Built();
    int flag = -7;
    EXPECT_EQ(tables.DpiToCode(GetParam().sensor, GetParam().dpi, &flag), GetParam().code);
    EXPECT_EQ(flag, GetParam().flag);
}

INSTANTIATE_TEST_SUITE_P(
    Sensors, DpiToCodeTest,
    testing::Values(CodeCase{0x3325, 8000, 0x5C, 1}, CodeCase{0x3325, 200, 0x04, 0}, CodeCase{0x3325, 5000, 0x73, 0},
                    CodeCase{0x3370, 15000, 149, 2}, CodeCase{0x3370, 30000, 149, 3}, CodeCase{0x3370, 800, 15, 0},
                    CodeCase{0x3370, 20000, 199, 1}, CodeCase{0x3370, 40000, 0, 0}, CodeCase{0x9000, 11000, 0x81, 0x22},
                    CodeCase{0x9000, 50, 0x01, 0}, CodeCase{0x9000, 20000, 0xEB, 0x11}, CodeCase{0x3395, 800, 15, 0},
                    CodeCase{0x3395, 30000, 299, 1}, CodeCase{0x3335, 100, 0x00, 0}, CodeCase{0x3335, 32000, 0xBD, 1},
                    CodeCase{0x3330, 7200, 143, 0}, CodeCase{0x3330, 12000, 119, 1}, CodeCase{0x3336, 7300, 72, 1},
                    CodeCase{0x3104, 4000, 0x69, 0}, CodeCase{0x3104, 650, 0, 0}, CodeCase{0x3320, 1000, 0, -7}));

TEST(SensorTables, OtherSensorsWriteNoRangeFlag)
{
    const SensorTables tables = Built();
    int flag = -7;
    EXPECT_EQ(tables.DpiToCode(0x3050, 1250, &flag), 4);
    EXPECT_EQ(flag, -7);
}

struct DpiCase {
    int32_t sensor;
    int code;
    int flags;
    int dpi;
};

class CodeToDpiTest : public testing::TestWithParam<DpiCase> {};

TEST_P(CodeToDpiTest, GivesTheValue)
{
    EXPECT_EQ(Built().CodeToDpi(GetParam().sensor, GetParam().code, GetParam().flags), GetParam().dpi);
}

INSTANTIATE_TEST_SUITE_P(Sensors, CodeToDpiTest,
                         testing::Values(DpiCase{0x3335, 0x00, 0, 100}, DpiCase{0x3335, 0xBD, 1, 32000},
                                         DpiCase{0x3335, 0x01, 0, 0}, DpiCase{0x3395, 299, 1, 30000},
                                         DpiCase{0x3370, 149, 2, 15000}, DpiCase{0x3370, 149, 3, 30000},
                                         DpiCase{0x3325, 0x5C, 1, 8000}, DpiCase{0x4090, 0x05, 0, 0},
                                         DpiCase{0x3336, 143, 0, 7200}, DpiCase{0x3336, 144, 0, 0},
                                         DpiCase{0x3330, 119, 1, 12000}, DpiCase{0x9000, 0x81, 0x22, 11000},
                                         DpiCase{0x3104, 0x69, 0, 4000}, DpiCase{0x3050, 4, 5, 1250},
                                         DpiCase{0x3320, 1, 0, 0}));

TEST(SensorTables, IndexAndPosition)
{
    const SensorTables tables = Built();
    EXPECT_EQ(tables.DpiIndex(0x3325, 6000), 49);
    EXPECT_EQ(tables.DpiIndex(0x3325, 5100), -1);
    EXPECT_EQ(tables.DpiIndex(0, 800), -1);
    EXPECT_EQ(tables.DpiAt(0x3325, 53), 10000);
    EXPECT_EQ(tables.DpiAt(0x3325, 54), -1);
    EXPECT_EQ(tables.DpiAt(0x3325, -1), -1);
    EXPECT_EQ(DefaultDpiLevels(0x7350).value()[7], 3200);
    EXPECT_FALSE(DefaultDpiLevels(0x3104).has_value());
}

TEST(SensorTables, CodeToDpiFollowsTheCurrentDevice)
{
    LoadResult r = LoadCfg(Opt("") + "[DEV_1]\nSensor=0x3325\nDM=1\nDPI=800\n");
    ASSERT_TRUE(r.ok);
    Config() = r.config;
    EXPECT_EQ(CodeToDpi(0x5C, 1), 8000);
    Config().SetCurrentDeviceIndex(-1);
    EXPECT_EQ(CodeToDpi(0x5C, 1), 0);
}

struct OverrideCase {
    const char* name;
    QByteArray keys;
    std::vector<int> values;
    std::vector<int> codes;
};

class SensorOverrideTest : public testing::TestWithParam<OverrideCase> {};

TEST_P(SensorOverrideTest, RegeneratesTheTable)
{
    const LoadResult r = LoadCfg(Opt("") + "[DEV_1]\nSensor=0x3335\nDM=1\nDPI=100\n" + GetParam().keys);
    ASSERT_TRUE(r.ok);
    const SensorDpiTable* t = r.config.sensors.Find(0x3335);
    std::vector<int> values, codes;
    for (int i = 0; i < t->Count; ++i) {
        values.push_back(t->Values[size_t(i)]);
        codes.push_back(t->Codes[size_t(i)]);
    }
    EXPECT_EQ(values, GetParam().values);
    if (!GetParam().codes.empty()) {
        EXPECT_EQ(codes, GetParam().codes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SensorOverrideTest,
    testing::Values(
        OverrideCase{"RangeWithAlias",
                     "DPIRANGE=100,1000,100,2000,4000,1000\nDPIRANGEALIAS=500,550",
                     {100, 200, 300, 400, 550, 600, 700, 800, 900, 1000, 2000, 3000, 4000},
                     {0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E}},
        OverrideCase{"AliasToMinusOneIsIgnored", "DPIRANGE=100,300,100\nDPIRANGEALIAS=200,-1", {100, 200, 300}, {}},
        OverrideCase{"RangeFirstValueAlwaysWritten", "DPIRANGE=900,100,100", {900}, {}},
        OverrideCase{"RangeWinsOverSet", "DPIRANGE=100,200,100\nDPISET=5,6,7", {100, 200}, {}},
        OverrideCase{"SetWithoutHw", "DPISET=100,800,1600", {100, 800, 1600}, {1, 2, 3}},
        OverrideCase{"SetWithHw", "DPISET=100,800\nDPIHW=1f,0x20", {100, 800}, {0x1F, 0x20}}),
    [](const testing::TestParamInfo<OverrideCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zorvan::test
