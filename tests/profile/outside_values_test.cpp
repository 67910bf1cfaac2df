// A current DPI level from outside (the mouse's EEPROM byte and events, DEFLEVEL of cfg.ini) can
// be any value: the session keeps only a level the profile can have.
#include "device/eeprom_map.h"
#include "device/emulated/firmware_state.h"
#include "profile/profile_state.h"
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvan {
namespace {

TEST(DpiLevelFromMouse, KeepsOnlyLevelsOfTheRecordAndTheModel)
{
    struct Case {
        int value;
        int levels;
        int kept;
    };
    const Case cases[] = {
        {0, 8, 0}, {7, 8, 7}, {8, 8, -1}, {200, 8, -1}, {-1, 8, -1},
        {3, 4, 3}, {4, 4, -1},                       // the model's DM
        {9, 12, -1}, {7, 12, 7},                     // a DM above 8 still has eight records
        {0, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DpiLevelFromMouse(c.value, c.levels), c.kept) << c.value << " of " << c.levels;
}

class OutsideValues : public test::SessionTest {};

TEST_F(OutsideValues, ALevelByteBeyondTheLevelsIsUnknownAfterTheTakeOver)
{
    MakeSession();
    FirmwareState state = Mouse().State();
    state.profiles[state.activeProfile][eeprom::kCurrentDpiLevel] = 200;
    state.profiles[state.activeProfile][eeprom::kCurrentDpiLevel + 1] = eeprom::PairCheck(200);
    Mouse().Restore(state);
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(Settle());
    EXPECT_EQ(g_nCurDpiLevel.load(), -1);
    EXPECT_GE(LogCount("DPI level 200 from the mouse is not one of its 8 levels: taken as unknown"), 2)
        << "the layout refresh and the profile read";
}

TEST_F(OutsideValues, ALevelEventBeyondTheRecordsIsIgnoredWhateverDmSays)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    Config().devices[size_t(Config().CurrentDeviceIndex())].DpiLevelCount = 12;
    std::vector<int> levels;
    QObject::connect(&Dev(), &DeviceSession::dpiLevelChanged, [&](int level) { levels.push_back(level); });
    Notifier().PostMouseEvent(9, 1);
    Notifier().PostMouseEvent(7, 1);
    Notifier().PostMouseEvent(8, 1);
    Pump(50);
    EXPECT_EQ(levels, std::vector<int>{7});
    EXPECT_EQ(g_nCurDpiLevel.load(), 7);
}

TEST_F(OutsideValues, ADefaultLevelBeyondTheLevelsIsTheLastLevelAfterRestoreDefaults)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    DeviceDescription& device = Config().devices[size_t(Config().CurrentDeviceIndex())];
    for (const int defaultLevel : {40, -3}) {
        device.DefaultLevel = defaultLevel;
        Dev().ResetProfileToDefaults();
        const int levels = CurrentProfileCopy()->LevelCount();
        EXPECT_EQ(g_nCurDpiLevel.load(), defaultLevel < 0 ? 0 : levels - 1) << defaultLevel;
    }
}

}  // namespace
}  // namespace zorvan
