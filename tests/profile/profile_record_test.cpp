// The profile record's own indexes and name field: never addressed outside the record.
#include "profile/profile_list.h"
#include "profile/profile_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace zorvan {
namespace {

TEST(ProfileRecord, KeyAccessStaysInsideTheThreeKeyTablesWhateverTheStoredKeySet)
{
    struct Case {
        int32_t stored;
        int expectedSet;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}, {INT_MAX, 0}, {INT_MIN, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ProfileRecord profile{};
        profile.currentKeySet = c.stored;
        EXPECT_EQ(profile.KeySetIndex(), c.expectedSet);
        EXPECT_EQ(profile.CurrentKey(0), &profile.Key[c.expectedSet][0]);
        EXPECT_EQ(profile.CurrentKey(15), &profile.Key[c.expectedSet][15]);
        EXPECT_EQ(profile.CurrentKey(16), nullptr);
        EXPECT_EQ(profile.CurrentKey(-1), nullptr);
    }
}

TEST(ProfileRecord, KeyAtRefusesIndexesOutsideTheTables)
{
    ProfileRecord profile{};
    EXPECT_EQ(profile.KeyAt(2, 15), &profile.Key[2][15]);
    EXPECT_EQ(profile.KeyAt(3, 0), nullptr);
    EXPECT_EQ(profile.KeyAt(-1, 0), nullptr);
    EXPECT_EQ(profile.KeyAt(0, 16), nullptr);
    EXPECT_EQ(profile.KeyAt(0, INT_MIN), nullptr);
}

TEST(ProfileRecord, DpiLevelIndexesStayInsideTheEightRecords)
{
    struct Case {
        int32_t stored;
        int count;
    };
    const Case cases[] = {{1, 1}, {6, 6}, {8, 8}, {9, 8}, {0, 1}, {-3, 1}, {INT_MAX, 8}};
    ProfileRecord profile{};
    for (const Case& c : cases) {
        profile.dpiLevelCount = c.stored;
        EXPECT_EQ(profile.LevelCount(), c.count) << c.stored;
    }
    EXPECT_EQ(profile.DpiLevel(7), &profile.dpiLevels[7]);
    EXPECT_EQ(profile.DpiLevel(8), nullptr);
    EXPECT_EQ(profile.DpiLevel(-1), nullptr);
}

TEST(ProfileRecord, NameKeepsNineteenUnitsAndClearsTheRestOfTheField)
{
    ProfileRecord profile{};
    profile.SetName(u"A name much longer than nineteen units");
    EXPECT_EQ(profile.Name(), std::u16string_view(u"A name much longer "));
    EXPECT_EQ(profile.name[19], u'\0');

    profile.SetName(u"Short");
    EXPECT_EQ(profile.Name(), std::u16string_view(u"Short"));
    for (int i = 5; i < kProfileNameUnits; ++i)
        EXPECT_EQ(profile.name[i], u'\0') << i;
}

TEST(ProfileRecord, NameWithoutTerminatorEndsAtTheField)
{
    ProfileRecord profile{};
    for (char16_t& unit : profile.name)
        unit = u'x';
    EXPECT_EQ(profile.Name().size(), size_t(kProfileNameUnits));
}

TEST(ProfileRecord, OnlyTheMagicWithANonZeroIdIsAProfile)
{
    struct Case {
        uint32_t magic;
        uint32_t id;
        bool valid;
    };
    const Case cases[] = {{kProfileMagic, 0xD96A2C, true}, {kProfileMagic, 0, false}, {0xFCAA1235, 1, false}, {0, 1, false}};
    for (const Case& c : cases) {
        ProfileRecord profile{};
        profile.magic = c.magic;
        profile.id = c.id;
        EXPECT_EQ(profile.IsValid(), c.valid) << std::hex << c.magic << " " << c.id;
    }
}

std::array<ProfileRecord, 4> RecordsWithIds(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    std::array<ProfileRecord, 4> records{};
    const uint32_t ids[] = {a, b, c, d};
    for (size_t i = 0; i < 4; ++i)
        records[i].id = ids[i];
    return records;
}

TEST(ProfileList, HoldsNoProfileBeforeItIsAssigned)
{
    ProfileList list;
    EXPECT_FALSE(list.IsLoaded());
    EXPECT_EQ(list.Current(), nullptr);
    EXPECT_EQ(list.At(0), nullptr);
    EXPECT_EQ(list.CurrentIndex(), -1);
    EXPECT_FALSE(list.SetCurrent(0));
}

TEST(ProfileList, CurrentProfileIsTheRecordWithTheStoredIdOrTheFirst)
{
    struct Case {
        uint32_t currentId;
        int expected;
    };
    const Case cases[] = {{7, 2}, {5, 0}, {8, 3}, {99, 0}, {0, 0}};
    for (const Case& c : cases) {
        ProfileList list;
        list.Assign(RecordsWithIds(5, 6, 7, 8), c.currentId);
        EXPECT_EQ(list.CurrentIndex(), c.expected) << c.currentId;
    }
}

TEST(ProfileList, CurrentProfileIsAReferenceIntoTheListNotACopy)
{
    ProfileList list;
    list.Assign(RecordsWithIds(5, 6, 7, 8), 6);
    ASSERT_NE(list.Current(), nullptr);
    EXPECT_EQ(list.Current(), list.At(1));
    list.Current()->debounce = 42;
    EXPECT_EQ(list.At(1)->debounce, 42);

    EXPECT_TRUE(list.SetCurrent(3));
    EXPECT_EQ(list.Current(), list.At(3));
    EXPECT_FALSE(list.SetCurrent(4));
    EXPECT_FALSE(list.SetCurrent(-1));
    EXPECT_EQ(list.CurrentIndex(), 3);
    EXPECT_EQ(list.At(4), nullptr);

    list.Clear();
    EXPECT_EQ(list.Current(), nullptr);
}

}  // namespace
}  // namespace zorvan
