// The local profile store ("CID.dct", "PRO_%02x%02x.dct") and the profile export files: names,
// sizes, what a damaged store gives, and the macro rules of export and import.
#include "profile/profile_store.h"

#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "mouse_fixture.h"
#include "profile/function_codes.h"
#include "profile/profile_transfer.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>

namespace zorvan {
namespace {

constexpr int kModel = 2;  // DEV_3: CID 0x1A, MID 0x03, DM 8

QByteArray U32s(std::initializer_list<uint32_t> values)
{
    QByteArray bytes;
    for (uint32_t v : values)
        bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    return bytes;
}

QString TextOr(std::string_view key, const char* fallback)
{
    const QString text = GetText(key);
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

class ProfileStore : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        Config().SetCurrentDeviceIndex(kModel);
    }
    QString StorePath() const { return dir_.File(QStringLiteral("PRO_1a03.dct")); }
    // A store file holding `records` with `currentId`.
    QByteArray StoreImage(uint32_t currentId, const std::array<ProfileRecord, 4>& records)
    {
        QByteArray image = U32s({currentId});
        image.append(reinterpret_cast<const char*>(records.data()), sizeof records);
        return image;
    }
    std::array<ProfileRecord, 4> Records()
    {
        std::array<ProfileRecord, 4> records{};
        for (int i = 0; i < 4; ++i)
            records[size_t(i)] = *ProfileCopy(i);
        return records;
    }
};

TEST_F(ProfileStore, NamesCarryCidAndMidInLowerCaseHex)
{
    EXPECT_EQ(ProfileStoreName(0x1A, 0x05), QStringLiteral("PRO_1a05.dct"));
    EXPECT_EQ(ProfileStoreName(0x1A, 0x10), QStringLiteral("PRO_1a10.dct"));
}

TEST_F(ProfileStore, SaveAndLoadKeepRecordsAndTheCurrentProfile)
{
    EXPECT_FALSE(LoadPro(dir_.Path()));  // no store yet: four new profiles
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(QString::fromStdU16String(std::u16string(ProfileCopy(i)->Name())),
                  QStringLiteral("%1 %2").arg(GetText("tc_msg35")).arg(i + 1));
    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) { p.lod = 2; }));
    {
        std::lock_guard lock(Profiles().profileLock);
        Profiles().profiles.SetCurrent(2);
    }
    const auto saved = Records();
    ASSERT_TRUE(SavePro(dir_.Path()));
    EXPECT_EQ(QFile(StorePath()).size(), kProfileStoreSize);
    EXPECT_TRUE(Logged("SavePro: cid=1a, mid=03"));

    {
        std::lock_guard lock(Profiles().profileLock);
        Profiles().profiles.Clear();
    }
    ASSERT_TRUE(LoadPro(dir_.Path()));
    EXPECT_EQ(Profiles().profiles.CurrentIndex(), 2);
    EXPECT_EQ(std::memcmp(Records().data(), saved.data(), sizeof saved), 0);
    EXPECT_TRUE(Logged("LoadPro ok: cid=1a, mid=03"));
}

TEST_F(ProfileStore, StoreOfAnotherSizeGivesNewProfiles)
{
    LoadPro(dir_.Path());
    const QByteArray good = StoreImage(Records()[1].id, Records());
    const uint32_t oldId = Records()[1].id;
    for (const qsizetype size : {kProfileStoreSize - 1, kProfileStoreSize + 1}) {
        QByteArray image = good;
        image.resize(size, '\0');
        ASSERT_TRUE(test::WriteFile(StorePath(), image));
        ClearLog();
        EXPECT_FALSE(LoadPro(dir_.Path())) << size;
        EXPECT_TRUE(Logged("LoadPro err: wrong size"));
        EXPECT_NE(ProfileCopy(1)->id, oldId);
        EXPECT_EQ(Profiles().profiles.CurrentIndex(), 0);
    }
}

TEST_F(ProfileStore, UnknownCurrentIdMakesRecordZeroCurrent)
{
    LoadPro(dir_.Path());
    const auto records = Records();
    ASSERT_TRUE(test::WriteFile(StorePath(), StoreImage(0xABCDEF, records)));
    ASSERT_TRUE(LoadPro(dir_.Path()));
    EXPECT_EQ(Profiles().profiles.CurrentIndex(), 0);
    EXPECT_EQ(ProfileCopy(3)->id, records[3].id);
}

// Records of a store are taken as they are, except one that is not a profile at all: the writer
// refuses a profile without id, so the mouse could never be written from it.
TEST_F(ProfileStore, ARecordThatIsNotAProfileBecomesANewProfileInItsPlace)
{
    LoadPro(dir_.Path());
    auto records = Records();
    records[1].magic = 0x12345678;
    records[2].id = 0;
    records[3].currentKeySet = 7;  // odd, but a profile: kept as it is
    ASSERT_TRUE(test::WriteFile(StorePath(), StoreImage(records[2].id, records)));
    ClearLog();
    EXPECT_FALSE(LoadPro(dir_.Path()));
    EXPECT_TRUE(Logged("LoadPro err: record 1 is not a profile (magic=0x12345678, id=0x" +
                       QString::number(records[1].id, 16).toStdString() + ")"));
    EXPECT_TRUE(Logged("LoadPro err: record 2 is not a profile (magic=0xfcaa1234, id=0x0)"));
    const auto loaded = Records();
    EXPECT_EQ(std::memcmp(&loaded[0], &records[0], sizeof records[0]), 0);
    EXPECT_EQ(std::memcmp(&loaded[3], &records[3], sizeof records[3]), 0);
    for (const int i : {1, 2}) {
        EXPECT_TRUE(loaded[size_t(i)].IsValid()) << i;
        EXPECT_EQ(QString::fromStdU16String(std::u16string(loaded[size_t(i)].Name())),
                  QStringLiteral("%1 %2").arg(GetText("tc_msg35")).arg(i + 1));
    }
    // The stored current id named the record that was replaced: record 0 is current.
    EXPECT_EQ(Profiles().profiles.CurrentIndex(), 0);
}

TEST_F(ProfileStore, FailedSaveLeavesTheOldStore)
{
    LoadPro(dir_.Path());
    ASSERT_TRUE(SavePro(dir_.Path()));
    const QByteArray before = test::ReadFile(StorePath());
    // A data folder that is a file cannot take a store.
    ASSERT_TRUE(test::WriteFile(dir_.File("blocked"), "x"));
    EXPECT_FALSE(SavePro(dir_.File("blocked/")));
    const std::vector<std::string> lines = LogLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("SavePro: CreateFile err=", 0) == 0; }));
    EXPECT_EQ(test::ReadFile(StorePath()), before);
}

TEST_F(ProfileStore, LastDeviceFile)
{
    struct Case {
        QByteArray content;
        int device;
    };
    const Case cases[] = {
        {U32s({0x1A, 0x03}), 2},  // a model of cfg.ini
        {U32s({0x1A, 0x77}), 0},  // unknown model
        {U32s({0x1A}), 0},        // short file
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(test::WriteFile(dir_.File("CID.dct"), c.content));
        LoadCID(dir_.Path());
        EXPECT_EQ(Config().CurrentDeviceIndex(), c.device);
    }
    QFile::remove(dir_.File("CID.dct"));
    LoadCID(dir_.Path());
    EXPECT_EQ(Config().CurrentDeviceIndex(), 0);
    EXPECT_TRUE(Logged("LoadCID ok: cid=1a, mid=01"));

    Config().SetCurrentDeviceIndex(3);
    ASSERT_TRUE(SaveCID(dir_.Path()));
    EXPECT_EQ(test::ReadFile(dir_.File("CID.dct")), U32s({0x1A, 0x04}));
}

class ProfileTransfer : public ProfileStore {
protected:
    void SetUp() override
    {
        ProfileStore::SetUp();
        LoadPro(dir_.Path());
    }
    QString File() const { return dir_.File(QStringLiteral("p.qxa")); }

    // Macro keys k = 0..n-1 over the three key sets (16 per set), each with its own macro.
    void MacroKeys(int n)
    {
        ASSERT_TRUE(EditCurrentProfile([n](ProfileRecord& p) {
            for (int i = 0; i < n; ++i) {
                KeyAssignment& key = *p.KeyAt(i / 16, i % 16);
                key.dwFunID = kFunMacro;
                key.dwMacroID = uint32_t(0x1000 + i);
            }
        }));
        for (int i = 0; i < n; ++i)
            AddMacro(uint32_t(0x1000 + i), QStringLiteral("m%1").arg(i));
    }
    StMacro FileMacro(const QByteArray& image, int slot)
    {
        StMacro m{};
        std::memcpy(&m, image.constData() + sizeof(ProfileRecord) + sizeof(StMacro) * size_t(slot), sizeof m);
        return m;
    }
};

TEST_F(ProfileTransfer, ExportStoresTheMacrosOfTheFirstTenMacroKeys)
{
    MacroKeys(12);
    g_nCurDpiLevel = 3;
    ASSERT_TRUE(ExportProfile(File()));
    const QByteArray image = test::ReadFile(File());
    ASSERT_EQ(image.size(), kProfileExportSize);
    for (int slot = 0; slot < kProfileExportMacros; ++slot)
        EXPECT_EQ(FileMacro(image, slot).id, uint32_t(0x1000 + slot)) << slot;
    ProfileRecord record{};
    std::memcpy(&record, image.constData(), sizeof record);
    EXPECT_EQ(record.savedDpiLevel, 3);
    EXPECT_EQ(CurrentProfileCopy()->savedDpiLevel, 3);
    EXPECT_TRUE(Logged("ExportProfile: g_nCurDpiLevel=3"));
}

TEST_F(ProfileTransfer, ExportToAnUnwritablePlaceIsShown)
{
    ASSERT_TRUE(test::WriteFile(dir_.File("blocked"), "x"));
    EXPECT_FALSE(ExportProfile(dir_.File("blocked/p.qxa")));
    EXPECT_TRUE(Shown(QStringLiteral("Create profile failed.")));
}

TEST_F(ProfileTransfer, ImportingTwiceOverwritesTheLibraryMacros)
{
    MacroKeys(3);
    ASSERT_TRUE(ExportProfile(File()));
    for (int round = 0; round < 2; ++round) {
        Macros().Update(0x1001, [](StMacro& m) { m.repeatCount = 99; });
        ASSERT_TRUE(ImportProfile(File()));
        EXPECT_EQ(Macros().Count(), 3);
        EXPECT_EQ(Macros().FindById(0x1001)->repeatCount, 1);
        EXPECT_EQ(CurrentProfileCopy()->Key[0][1].dwMacroID, 0x1001u);
    }
}

TEST_F(ProfileTransfer, ImportAddsForeignMacrosOnceUnderNewIds)
{
    MacroKeys(2);
    // Key 5 uses the same macro as key 0.
    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) { p.Key[0][5] = p.Key[0][0]; }));
    ASSERT_TRUE(ExportProfile(File()));
    Macros().Clear();
    const uint32_t ownId = CurrentProfileCopy()->id;
    g_nCurDpiLevel = 6;
    ASSERT_TRUE(ImportProfile(File()));
    ASSERT_EQ(Macros().Count(), 2);
    const ProfileRecord now = *CurrentProfileCopy();
    EXPECT_EQ(now.id, ownId);
    EXPECT_NE(now.Key[0][0].dwMacroID, 0x1000u);
    EXPECT_EQ(now.Key[0][5].dwMacroID, now.Key[0][0].dwMacroID);
    EXPECT_TRUE(Macros().Contains(now.Key[0][1].dwMacroID));
    // The saved level of the file (-1 when exported) is not a level: 0.
    EXPECT_EQ(g_nCurDpiLevel.load(), 0);
}

TEST_F(ProfileTransfer, ImportRefusals)
{
    MacroKeys(1);
    g_nCurDpiLevel = 1;
    ASSERT_TRUE(ExportProfile(File()));
    const QByteArray good = test::ReadFile(File());
    const ProfileRecord before = *CurrentProfileCopy();

    QByteArray idZero = good;
    std::memset(idZero.data() + 4, 0, 4);
    QByteArray badMacro = good;
    std::memset(badMacro.data() + sizeof(ProfileRecord), 0x11, 4);  // macro magic
    struct Case {
        const char* name;
        QByteArray content;  // empty with `write` false: no file
        bool write;
        QString message;
    };
    const QString openText = GetText("tc_tip2").isEmpty() ? QStringLiteral("Open Profile Err = 2")
                                                           : GetText("tc_tip2") + QStringLiteral(" 2");
    const Case cases[] = {
        {"missing", {}, false, openText},
        {"empty", {}, true, QStringLiteral("Read profile failed.")},
        {"id 0", idZero, true, TextOr("tc_tip3", "This is not a valid profile")},
        {"macro magic", badMacro, true, QString()},
    };
    for (const Case& c : cases) {
        Macros().Clear();
        QFile::remove(File());
        if (c.write) {
            ASSERT_TRUE(test::WriteFile(File(), c.content));
        }
        messages_.emplace();
        EXPECT_FALSE(ImportProfile(File())) << c.name;
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(Shown(c.message)) << c.name;
        }
        const ProfileRecord now = *CurrentProfileCopy();
        EXPECT_EQ(std::memcmp(&now, &before, sizeof before), 0) << c.name;
    }
    EXPECT_TRUE(Logged("Add_Macro: FAILED, dwMagicNumber=0x11111111"));

    ASSERT_TRUE(test::WriteFile(File(), good));
    Profiles().syncFlag = false;
    EXPECT_FALSE(ImportProfile(File()));
    EXPECT_TRUE(Shown(GetText("tc_adv_str15")));
    Profiles().syncFlag = true;
    EXPECT_TRUE(ImportProfile(File()));
    EXPECT_EQ(g_nCurDpiLevel.load(), 1);
}

// A refused import changes nothing, also not the macro library: every macro the file would bring
// is checked before the first one is merged.
TEST_F(ProfileTransfer, ARefusedImportLeavesTheLibraryAsItWas)
{
    MacroKeys(3);
    ASSERT_TRUE(ExportProfile(File()));
    const QByteArray good = test::ReadFile(File());
    QByteArray badThird = good;
    std::memset(badThird.data() + sizeof(ProfileRecord) + 2 * sizeof(StMacro), 0x11, 4);  // macro magic
    const ProfileRecord before = *CurrentProfileCopy();
    struct Case {
        const char* name;
        QByteArray content;
        int libraryMacros;  // before the import: the first 0x1000 + n of the file's macros
        int filler;         // other macros, to fill the library
    };
    const Case cases[] = {
        {"the third macro is not a macro, the first is known", badThird, 1, 0},
        {"the third macro is not a macro, none is known", badThird, 0, 0},
        {"the two new macros do not fit", good, 1, kMacroLibraryMax - 2},
    };
    for (const Case& c : cases) {
        Macros().Clear();
        for (int i = 0; i < c.libraryMacros; ++i)
            AddMacro(uint32_t(0x1000 + i), QStringLiteral("kept%1").arg(i), kLoopCount, 7);
        for (int i = 0; i < c.filler; ++i)
            AddMacro(uint32_t(0x200000 + i), QStringLiteral("f%1").arg(i));
        const std::vector<StMacro> library = Macros().All();
        ASSERT_TRUE(test::WriteFile(File(), c.content));
        EXPECT_FALSE(ImportProfile(File())) << c.name;
        const std::vector<StMacro> after = Macros().All();
        ASSERT_EQ(after.size(), library.size()) << c.name;
        EXPECT_TRUE(library.empty() || std::memcmp(after.data(), library.data(), sizeof(StMacro) * library.size()) == 0)
            << c.name;
        const ProfileRecord now = *CurrentProfileCopy();
        EXPECT_EQ(std::memcmp(&now, &before, sizeof before), 0) << c.name;
    }
    EXPECT_TRUE(Logged("Add_Macro: FAILED, dwMagicNumber=0x11111111"));
    EXPECT_TRUE(Logged("ImportProfile: 2 new macro(s) do not fit into the macro library"));
}

// Indexes in an imported record come from outside: the code that uses them keeps them in range.
TEST_F(ProfileTransfer, WildIndexesInAnImportedRecordStayHarmless)
{
    ASSERT_TRUE(ExportProfile(File()));
    QByteArray image = test::ReadFile(File());
    ProfileRecord record{};
    std::memcpy(&record, image.constData(), sizeof record);
    record.currentKeySet = 77;
    record.dpiLevelCount = -3;
    record.savedDpiLevel = 1000;
    for (auto& set : record.Key)
        for (KeyAssignment& key : set)
            key.matrix = 0xFFFF;
    std::memcpy(image.data(), &record, sizeof record);
    ASSERT_TRUE(test::WriteFile(File(), image));
    ASSERT_TRUE(ImportProfile(File()));
    EXPECT_EQ(g_nCurDpiLevel.load(), 0);
    const ProfileRecord now = *CurrentProfileCopy();
    EXPECT_EQ(now.KeySetIndex(), 0);
    EXPECT_EQ(now.LevelCount(), 1);
}

}  // namespace
}  // namespace zorvan
