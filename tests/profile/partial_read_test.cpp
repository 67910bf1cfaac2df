// Reading part of the active profile (what a zorvanctl command needs): which areas are asked
// for, what is decoded and what is left alone, and that such a read never reaches the local
// store while the edits made after it do.
#include "profile/profile_read.h"

#include "app/function_catalogue.h"
#include "device/eeprom_map.h"
#include "mouse_fixture.h"
#include "profile/eeprom_codec.h"
#include "profile/profile_state.h"
#include "profile/profile_store.h"

#include <gtest/gtest.h>

#include <atomic>

namespace zorvan {
namespace {

constexpr int kModel3325 = 0;  // DEV_1: main lighting, no logo lighting

class PartialRead : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        UseModel(kModel3325);
        Mouse().TakeRequests();
    }

    bool ReadPart(const ReadScope& scope, ProfileRecord& working)
    {
        working = *CurrentProfileCopy();
        return GetProfilePart(Link(), abort_, scope, working, extras_);
    }

    // The EEPROM addresses the read asked for.
    std::vector<int> AddressesRead()
    {
        std::vector<int> addresses;
        for (const auto& [command, address, length] : Mouse().TakeRequests())
            for (int a = address; a < address + length; ++a)
                addresses.push_back(a);
        return addresses;
    }

    std::atomic<bool> abort_{false};
    ProfileReadExtras extras_;
};

TEST_F(PartialRead, SettingsReadTheSettingsAndLeaveTheKeys)
{
    Mouse().Poke(eeprom::kPollingRate, {0x08, 0x4D});
    Mouse().Poke(eeprom::kKeyMatrix, {0x01, 0x04, 0x00, 0x50});  // key 1: middle on the mouse
    ProfileRecord working{};
    ASSERT_TRUE(ReadPart(ReadScope::Settings(), working));
    EXPECT_EQ(working.pollingRate, 0x125);
    EXPECT_EQ(working.Key[0][0].dwFunID, CurrentProfileCopy()->Key[0][0].dwFunID) << "keys are not read";
    for (const int a : AddressesRead()) {
        EXPECT_LT(a, eeprom::kComboBlocks) << a;
        EXPECT_FALSE(a >= eeprom::kKeyMatrix && a < eeprom::kMainLight) << a;
        EXPECT_FALSE(a >= eeprom::kLogoLight && a < eeprom::kKeyMatrix) << "no logo lighting on this model: " << a;
    }
}

TEST_F(PartialRead, AKeyReadsItsOwnAreasOnly)
{
    const DeviceDescription& device = Config().devices[kModel3325];
    const int position = int(device.KeyTables[0][2].matrix);  // key 3
    ASSERT_GT(position, 0);
    Mouse().Poke(eeprom::kKeyMatrix + 4 * (position - 1), {0x01, 0x04, 0x00, 0x50});
    Mouse().Poke(eeprom::kPollingRate, {0x08, 0x4D});
    ProfileRecord working{};
    ASSERT_TRUE(ReadPart(ReadScope::Keys(1u << 2), working));
    EXPECT_EQ(working.Key[0][2].dwFunID, kFunMiddleButton);
    EXPECT_NE(working.pollingRate, 0x125) << "the settings are not read";
    for (const int a : AddressesRead()) {
        const bool matrix = a >= eeprom::kKeyMatrix && a < eeprom::kKeyMatrix + 64;
        const bool combo = a >= eeprom::ComboBlockAddress(position) && a < eeprom::ComboBlockAddress(position) + 32;
        const bool name = a > eeprom::MacroBlockAddress(position) && a <= eeprom::MacroBlockAddress(position) + 30;
        EXPECT_TRUE(matrix || combo || name) << a;
    }
}

TEST_F(PartialRead, NeverReachesTheStoreWhileTheEditsAfterItDo)
{
    const ProfileRecord stored = *ProfileCopy(0);
    Mouse().Poke(eeprom::kPollingRate, {0x08, 0x4D});
    ProfileRecord working{};
    ASSERT_TRUE(ReadPart(ReadScope::Settings(), working));
    ASSERT_TRUE(CommitPartialRead(0, ReadScope::Settings(), working, extras_));
    EXPECT_EQ(CurrentProfileCopy()->pollingRate, 0x125) << "the edits start from what the mouse holds";

    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) { p.debounce = 7; }));
    ASSERT_TRUE(SavePro());
    ASSERT_TRUE(LoadPro());
    const ProfileRecord saved = *ProfileCopy(0);
    EXPECT_EQ(saved.pollingRate, stored.pollingRate) << "the partial read stayed out of the store";
    EXPECT_EQ(saved.debounce, 7) << "the edit made after it did not";

    // A whole read is the mouse's profile and is saved as it is.
    ProfileRecord whole = *CurrentProfileCopy();
    ASSERT_TRUE(GetProfile(Link(), abort_, whole, extras_));
    ASSERT_TRUE(CommitProfileRead(0, whole, extras_));
    ASSERT_TRUE(SavePro());
    ASSERT_TRUE(LoadPro());
    EXPECT_EQ(ProfileCopy(0)->pollingRate, 0x125);
}

}  // namespace
}  // namespace zorvan
