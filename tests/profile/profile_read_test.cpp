// Reading the active profile from the emulated mouse: the decoding examples of the EEPROM map,
// what the read leaves alone, the abort flag, GoWithNoDev, and taking the result over.
#include "profile/profile_read.h"

#include "device/eeprom_map.h"
#include "device/report_frame.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "mouse_fixture.h"
#include "profile/eeprom_codec.h"
#include "profile/function_codes.h"
#include "profile/profile_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace zorvan {
namespace {

constexpr int kModel3325 = 0;  // DEV_1: sensor 0x3325
constexpr int kModel3395 = 2;  // DEV_3: sensor 0x3395

class ProfileRead : public test::MouseTest {
protected:
    // Reads into a copy of the current profile.
    bool Read(ProfileRecord& working, ProfileReadExtras& extras)
    {
        working = *CurrentProfileCopy();
        return GetProfile(Link(), abort_, working, extras);
    }
    ProfileRecord ReadOk()
    {
        ProfileRecord working{};
        EXPECT_TRUE(Read(working, extras_));
        return working;
    }

    // Puts a macro of `events` key presses with `name` into slot `position` and points the
    // matrix entry of that position at it.
    void PutMacro(int position, const QString& name, int events, uint8_t loopByte)
    {
        StMacro macro{};
        macro.magic = kMacroMagic;
        SetMacroName(macro, name);
        for (int i = 0; i < events; ++i)
            macro.events[i] = {uint16_t('A' + i % 26), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 5};
        HdMacro slot{};
        const int length = BuildHdMacro(macro, slot);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&slot);
        ASSERT_TRUE(Link().WriteEEPROM(10, length, eeprom::MacroBlockAddress(position), bytes));
        const auto entry = EncodeMatrixEntry(int32_t(kHwMacro | (position - 1) << 8 | loopByte << 16));
        Mouse().Poke(eeprom::kKeyMatrix + 4 * (position - 1), {entry[0], entry[1], entry[2], entry[3]});
    }

    std::atomic<bool> abort_{false};
    ProfileReadExtras extras_;
};

TEST_F(ProfileRead, FactoryContentReadsBackAsTheNewProfile)
{
    UseModel(kModel3325);
    const ProfileRecord local = *CurrentProfileCopy();
    const ProfileRecord read = ReadOk();
    EXPECT_EQ(read.pollingRate, local.pollingRate);
    EXPECT_EQ(read.dpiLevelCount, local.dpiLevelCount);
    for (int i = 0; i < kDpiLevels; ++i) {
        EXPECT_EQ(read.dpiLevels[i].hidden, i < local.dpiLevelCount ? 0 : 1) << i;
        if (i < local.dpiLevelCount) {
            EXPECT_EQ(read.dpiLevels[i].x, local.dpiLevels[i].x) << i;
            EXPECT_EQ(read.dpiLevels[i].colour, local.dpiLevels[i].colour) << i;
        }
    }
    EXPECT_EQ(extras_.currentDpiLevel, Config().devices[kModel3325].DefaultLevel);
    EXPECT_TRUE(extras_.macros.empty());
}

TEST_F(ProfileRead, DecodesTheBaseAreaExamples)
{
    UseModel(kModel3395);
    Config().devices[kModel3395].ShowMainEffect = 1;
    Config().devices[kModel3395].ShowLogoEffect = 1;
    Mouse().Poke(eeprom::kPollingRate, {0x04, 0x51});
    Mouse().Poke(eeprom::kDpiLevelCount, {0x03, 0x52});
    Mouse().Poke(eeprom::kDpiLevels, {0x1F, 0x1F, 0x0C, 0x0B});
    Mouse().Poke(eeprom::kMainLight, {0x03, 0xFF, 0x00, 0x00, 0xBE, 0x64, 0x00});
    Mouse().Poke(eeprom::kLogoLight + 8, {0x07, 0x4E});
    Mouse().Poke(eeprom::kLogoMode, {0x01, 0x54});

    const ProfileRecord read = ReadOk();
    EXPECT_EQ(read.pollingRate, 0x250);
    EXPECT_EQ(read.dpiLevelCount, 3);
    for (int i = 0; i < kDpiLevels; ++i)
        EXPECT_EQ(read.dpiLevels[i].hidden, i < 3 ? 0 : 1) << i;
    // 1F 1F 0C 0B: X code 0x31F, Y code 0x1F, both range flags 0.
    EXPECT_EQ(read.dpiLevels[0].x, Config().sensors.CodeToDpi(0x3395, 0x31F, 0));
    EXPECT_EQ(read.dpiLevels[0].y, Config().sensors.CodeToDpi(0x3395, 0x1F, 0));
    EXPECT_TRUE(Logged("nHwDpi=0x31f, nHwDpiY=0x1f, bMul=0"));
    EXPECT_EQ(read.mainLight.mode, 4);
    EXPECT_EQ(read.mainLight.speed, 4);
    EXPECT_EQ(read.mainLight.brightness, 4);
    EXPECT_EQ(read.logoLight.mode, 1);
    EXPECT_EQ(read.logoLight.speed, 0);
    EXPECT_TRUE(Logged("EEPROM_To_LogoRGB: Unkown Speed"));
}

TEST_F(ProfileRead, ImpossibleDpiDataIsKeptWithOneWarning)
{
    UseModel(kModel3325);
    Mouse().Poke(eeprom::kDpiLevelCount, {0x0C, 0x49});  // 12 levels
    Mouse().Poke(eeprom::kDpiLevels, {0x00, 0x00, 0x00, 0x55, 0x00, 0x00, 0x00, 0x55});
    const ProfileRecord read = ReadOk();
    EXPECT_TRUE(Logged("!!!!Error: wrong dpi data"));
    EXPECT_EQ(read.dpiLevelCount, 12);
    EXPECT_EQ(read.LevelCount(), kDpiLevels);
    int warnings = 0;
    for (const ShownMessage& m : messages_->Messages())
        warnings += m.caption == "Warning" && m.text == "Get wrong dpi from device";
    EXPECT_EQ(warnings, 1);
}

TEST_F(ProfileRead, MacroKeysBringTheirMacros)
{
    UseModel(kModel3325);
    const int position = int(Config().devices[kModel3325].KeyTables[0][4].matrix);
    ASSERT_GT(position, 0);
    PutMacro(position, QStringLiteral("Burst"), 70, 0xFE);
    Mouse().TakeRequests();
    const ProfileRecord read = ReadOk();

    ASSERT_EQ(extras_.macros.size(), 1u);
    EXPECT_EQ(extras_.macros[0].key, 4);
    const StMacro& macro = extras_.macros[0].macro;
    EXPECT_EQ(MacroName(macro), QStringLiteral("Burst"));
    EXPECT_EQ(macro.loopMode, kLoopMode2);
    EXPECT_EQ(macro.events[69].code, uint16_t('A' + 69 % 26));
    EXPECT_EQ(read.Key[0][4].dwFunID, kFunMacro);
    // The library is not touched before the read is taken over.
    EXPECT_EQ(Macros().Count(), 0);
}

TEST_F(ProfileRead, EmptyMacroNameEntryStopsAfterItsFirstPiece)
{
    UseModel(kModel3325);
    const int position = int(Config().devices[kModel3325].KeyTables[0][2].matrix);
    PutMacro(position, QString(), 3, 2);
    std::vector<uint8_t> erased(30, 0xFF);
    FirmwareState state = Mouse().Firmware().State();
    std::copy(erased.begin(), erased.end(), state.profiles[state.activeProfile].begin() + eeprom::MacroBlockAddress(position) + 1);
    Mouse().Firmware().Restore(state);
    Mouse().TakeRequests();
    ReadOk();

    int nameReads = 0;
    for (const auto& [command, address, length] : Mouse().TakeRequests()) {
        const int slotStart = eeprom::MacroBlockAddress(position) + 1;
        if (command == kCmdReadEEPROM && address >= slotStart && address < slotStart + 30)
            ++nameReads;
    }
    EXPECT_EQ(nameReads, 1);
    ASSERT_EQ(extras_.macros.size(), 1u);
    EXPECT_EQ(MacroName(extras_.macros[0].macro), QString());
    EXPECT_EQ(extras_.macros[0].macro.repeatCount, 2);

    // Taken over, the macro without a name is added and the key refers to it.
    ProfileRecord working = *CurrentProfileCopy();
    ASSERT_TRUE(GetProfile(Link(), abort_, working, extras_));
    ASSERT_TRUE(CommitProfileRead(0, working, extras_));
    ASSERT_EQ(Macros().Count(), 1);
    EXPECT_EQ(CurrentProfileCopy()->Key[0][2].dwMacroID, Macros().All()[0].id);
}

TEST_F(ProfileRead, KeyMaskKeepsTheLocalAssignment)
{
    UseModel(kModel3325);
    Config().opt.KeyMask = 0x0001;
    const auto off = EncodeMatrixEntry(0);  // every position: key off
    for (int p = 1; p <= 16; ++p)
        Mouse().Poke(eeprom::kKeyMatrix + 4 * (p - 1), {off[0], off[1], off[2], off[3]});
    const ProfileRecord local = *CurrentProfileCopy();
    const ProfileRecord read = ReadOk();
    EXPECT_EQ(read.Key[0][0], local.Key[0][0]);
    EXPECT_EQ(read.Key[0][1].dwFunID, kFunKeyOff);
    // Only key set 0 is read.
    EXPECT_EQ(read.Key[1][1], local.Key[1][1]);
}

TEST_F(ProfileRead, UnknownPollingRateFails)
{
    UseModel(kModel3325);
    Mouse().Poke(eeprom::kPollingRate, {0x03, 0x52});
    ProfileRecord working{};
    EXPECT_FALSE(Read(working, extras_));
}

TEST_F(ProfileRead, AbortEndsTheReadAfterTheNextRequest)
{
    UseModel(kModel3325);
    abort_ = true;
    ProfileRecord working{};
    Mouse().TakeRequests();
    EXPECT_FALSE(Read(working, extras_));
    EXPECT_EQ(Mouse().TakeRequests().size(), 1u);
}

TEST_F(ProfileRead, GoWithNoDevDecodesWhatTheBufferHolds)
{
    UseModel(kModel3325);
    Mouse().Firmware().SetPlugged(false);
    ProfileRecord working{};
    EXPECT_FALSE(Read(working, extras_));
    Config().opt.GoWithNoDev = 1;
    // Without a command handle nothing can be read; the zeroed buffer has no polling rate.
    Link().SetHandles(nullptr, nullptr);
    EXPECT_FALSE(Read(working, extras_));
    EXPECT_TRUE(Logged("GetProfile: wrong polling rate 0x0"));
}

TEST_F(ProfileRead, CommitTakesTheReadOverOnlyAsAWhole)
{
    UseModel(kModel3325);
    Mouse().Poke(eeprom::kCurrentDpiLevel, {0x02, 0x53});
    Mouse().Poke(eeprom::kPollingRate, {0x08, 0x4D});
    ProfileRecord working = ReadOk();
    EXPECT_EQ(g_nCurDpiLevel.load(), -1);
    EXPECT_NE(CurrentProfileCopy()->pollingRate, 0x125);

    ASSERT_TRUE(CommitProfileRead(3, working, extras_));
    EXPECT_EQ(Profiles().profiles.CurrentIndex(), 3);
    EXPECT_EQ(ProfileCopy(3)->pollingRate, 0x125);
    EXPECT_EQ(g_nCurDpiLevel.load(), 2);
    EXPECT_FALSE(CommitProfileRead(4, working, extras_));

    // A current level the mouse cannot have is "unknown".
    extras_.currentDpiLevel = 9;
    ASSERT_TRUE(CommitProfileRead(3, working, extras_));
    EXPECT_EQ(g_nCurDpiLevel.load(), -1);
}

TEST_F(ProfileRead, CommitMergesReadMacrosIntoTheLibrary)
{
    UseModel(kModel3325);
    const int position = int(Config().devices[kModel3325].KeyTables[0][5].matrix);
    PutMacro(position, QStringLiteral("Known"), 4, 1);
    const ProfileRecord read = ReadOk();
    // A library macro of the same name that differs stays as it is: the mouse's macro is added
    // and the key refers to it.
    AddMacro(0x123456, QStringLiteral("known"));
    ProfileRecord working = read;
    ASSERT_TRUE(CommitProfileRead(0, working, extras_));
    ASSERT_EQ(Macros().Count(), 2);
    EXPECT_EQ(Macros().FindById(0x123456)->events[0].code, 0);
    const uint32_t added = CurrentProfileCopy()->Key[0][5].dwMacroID;
    EXPECT_NE(added, 0x123456u);
    ASSERT_TRUE(Macros().FindById(added));
    EXPECT_EQ(Macros().FindById(added)->events[0].code, uint16_t('A'));
}

TEST(MacroNameText, ReadsUpToTheTerminatorOrFifteenUnits)
{
    MacroNameEntry entry{};
    EXPECT_EQ(MacroNameText(entry), u"");
    entry.fill(0xFF);
    EXPECT_EQ(MacroNameText(entry), u"");
    entry.fill(0);
    const char16_t* text = u"Sixteen chars!!!";
    for (int i = 0; i < 15; ++i) {
        entry[size_t(2 * i)] = uint8_t(text[i]);
        entry[size_t(2 * i + 1)] = 0;
    }
    EXPECT_EQ(MacroNameText(entry), std::u16string(text, 15));
}

}  // namespace
}  // namespace zorvan
