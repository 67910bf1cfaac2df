// The orphaned-key check: keys bound to macros that left the library go back to the model's
// default assignment; every other key, including macro keys whose macro is still there, stays.
#include "profile/orphaned_keys.h"

#include "app/function_catalogue.h"
#include "macro/macro_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zorvan {
namespace {

KeyAssignment MacroKey(uint32_t id)
{
    KeyAssignment key{};
    key.dwFunID = kFunMacro;
    key.dwMacroID = id;
    return key;
}

TEST(OrphanedKeys, ResetsOnlyKeysWhoseMacroIsGone)
{
    DeviceDescription device{};
    for (int set = 0; set < kKeySets; ++set)
        for (int key = 0; key < kKeysPerSet; ++key)
            device.KeyTables[set][key].dwFunID = FunId(kClassMouse, uint32_t(key + 1));

    ProfileRecord record;
    std::memset(&record, 0, sizeof record);
    for (int set = 0; set < kKeySets; ++set)
        for (int key = 0; key < kKeysPerSet; ++key)
            record.Key[set][key].dwFunID = FunId(kClassMouse, 1);
    record.Key[0][3] = MacroKey(0x000111);  // still in the library
    record.Key[1][4] = MacroKey(0x000222);  // gone
    record.Key[2][15] = MacroKey(0x7F000222);  // gone; the id's top byte is not part of it
    const ProfileRecord before = record;

    MacroLibrary library;
    library.AddCopy(test::MakeMacro(QStringLiteral("Kept"), {}, 0x000111));

    EXPECT_TRUE(ResetOrphanedKeys(record, device, library));
    for (int set = 0; set < kKeySets; ++set) {
        for (int key = 0; key < kKeysPerSet; ++key) {
            const bool orphan = (set == 1 && key == 4) || (set == 2 && key == 15);
            const KeyAssignment& expected = orphan ? device.KeyTables[set][key] : before.Key[set][key];
            EXPECT_EQ(std::memcmp(&record.Key[set][key], &expected, sizeof expected), 0) << set << "/" << key;
        }
    }
    EXPECT_FALSE(ResetOrphanedKeys(record, device, library));
}

}  // namespace
}  // namespace zorvan
