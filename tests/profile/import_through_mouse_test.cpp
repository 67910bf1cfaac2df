// Export and import through the emulated mouse: what the import writes, how it fits a profile
// from another model, how macro keys travel, and an unplug at every request of the import's
// write. Each case compares the mouse's EEPROM and the local profile before and after.
#include "device/eeprom_map.h"
#include "device/emulated/mouse_firmware.h"
#include "mouse_fixture.h"
#include "profile/apply_worker.h"
#include "profile/eeprom_codec.h"
#include "profile/function_codes.h"
#include "profile/key_codes.h"
#include "profile/profile_import_fit.h"
#include "profile/profile_pauses.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/profile_transfer.h"

#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <vector>

namespace zorvan {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

constexpr int kModel3325 = 0;  // DM 6, no LOD
constexpr int kModel3395 = 2;  // DM 8, LOD
const QString kUpdateFailed = QStringLiteral("   Update settings failed!      ");

Bytes Pair(int value)
{
    return {uint8_t(value), uint8_t(0x55 - value)};
}

class ImportThroughTheMouse : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        savedPauses_ = Pauses();
        Pauses() = ProfilePauses{0ms, 0ms, 0ms, 0ms, 0ms};
    }
    void TearDown() override
    {
        Pauses() = savedPauses_;
        MouseTest::TearDown();
    }
    void Use(int model)
    {
        UseModel(model);
        Link().timing.pauseBeforeWait = 0ms;
        Link().timing.sendRetryPause = 1ms;
        ShortenAnswerWait();
    }
    QString File() const { return dir_.File("profile.qxa"); }
    void EditProfile(const std::function<void(ProfileRecord&)>& edit) { ASSERT_TRUE(EditCurrentProfile(edit)); }
    ProfileRecord Current() const { return *CurrentProfileCopy(); }

    // The request posted to an apply worker over the emulated mouse, as the session posts it.
    bool Write(const ApplyRequest& request)
    {
        ApplyWorker worker;
        std::atomic<int> result{-1};
        worker.SetDoneCallback([&result](const ApplyRequest&, bool ok) { result = ok ? 1 : 0; });
        worker.Start(Link());
        worker.Post(request.flags & ~apply::kSystemPointer, request.data);
        EXPECT_TRUE(worker.WaitIdle(60s));
        worker.Stop();
        return result == 1;
    }
    // The import and its write; the import's result.
    std::optional<ProfileImport> ImportAndWrite(bool underPid = false, bool* written = nullptr)
    {
        std::optional<ProfileImport> imported = ImportProfile(File(), underPid);
        if (imported) {
            const bool ok = Write(imported->request);
            if (written != nullptr)
                *written = ok;
        }
        return imported;
    }
    // A profile read as the session does it: taken over only when complete.
    bool ReadAndCommit()
    {
        std::atomic<bool> abort{false};
        ProfileRecord working = Current();
        ProfileReadExtras extras;
        return GetProfile(Link(), abort, working, extras) && CommitProfileRead(0, working, extras);
    }
    bool ShownContaining(const QString& part) const
    {
        for (const ShownMessage& m : messages_->Messages()) {
            if (m.text.contains(part))
                return true;
        }
        return false;
    }
    static void LibraryMacro(uint32_t id, const QString& name)
    {
        AddMacro(id, name);
        Macros().Update(id, [id](StMacro& m) {
            m.events[0] = {uint16_t('A' + id % 26), kActionPress, 20};
            m.events[1] = {uint16_t('A' + id % 26), kActionRelease, 0};
        });
    }
    void AssignMacro(int set, int key, uint32_t id)
    {
        EditProfile([&](ProfileRecord& p) {
            p.KeyAt(set, key)->dwFunID = 0x05000000;
            p.KeyAt(set, key)->dwMacroID = id;
        });
    }

private:
    ProfilePauses savedPauses_;
};

// Every single setting of the file reaches the mouse where the model has it; sleep time and
// light-off-while-moving stay as they were when the mouse was found under the option PID.
TEST_F(ImportThroughTheMouse, ImportWritesEveryAreaTheModelHas)
{
    struct Area {
        uint16_t address;
        int fileValue;
    };
    const Area areas[] = {{eeprom::kDpiLevelCount, 3}, {eeprom::kLod, 2},         {eeprom::kAngleSnapping, 1},
                          {eeprom::kRipple, 1},        {eeprom::kDebounce, 12},    {eeprom::kSleepTime, 90},
                          {eeprom::kLightOffMoving, 0}};
    struct Case {
        const char* name;
        int model;
        bool underPid;
        std::vector<uint16_t> untouched;
    };
    const Case cases[] = {
        {"all areas", kModel3395, false, {}},
        {"under PID", kModel3395, true, {eeprom::kSleepTime, eeprom::kLightOffMoving}},
        {"a model without LOD", kModel3325, false, {eeprom::kLod}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Use(c.model);
        EditProfile([](ProfileRecord& p) {
            p.dpiLevelCount = 3;
            p.lod = 2;
            p.angleSnapping = 1;
            p.ripple = 1;
            p.debounce = 12;
            p.sleepTime = 900;
            p.lightOffMoving = 0;
        });
        ASSERT_TRUE(ExportProfile(File()));
        // Mouse and local profile hold other values before the import.
        for (const Area& a : areas)
            Mouse().Poke(a.address, {5, 0x50});
        EditProfile([](ProfileRecord& p) { p.lod = p.angleSnapping = p.ripple = p.debounce = p.sleepTime = 5; });

        bool written = false;
        ASSERT_TRUE(ImportAndWrite(c.underPid, &written));
        EXPECT_TRUE(written);
        for (const Area& a : areas) {
            const bool untouched = std::find(c.untouched.begin(), c.untouched.end(), a.address) != c.untouched.end();
            EXPECT_EQ(Mouse().Memory(a.address, 2), untouched ? Pair(5) : Pair(a.fileValue)) << std::hex << a.address;
        }
        const ProfileRecord now = Current();
        EXPECT_EQ(now.lod, 2);
        EXPECT_EQ(now.debounce, 12);
        EXPECT_EQ(now.sleepTime, 900);
        // The next read takes back what the mouse holds: the imported values where written.
        ASSERT_TRUE(ReadAndCommit());
        EXPECT_EQ(Current().debounce, 12);
        EXPECT_EQ(Current().dpiLevelCount, 3);
    }
}

// A profile of the 0x3395 model (up to 26000 DPI, eight levels) imported into a 0x3325 mouse:
// every level becomes the nearest value that sensor offers, the mouse reads them back without
// "Get wrong dpi from device", and the import says what it changed.
TEST_F(ImportThroughTheMouse, ImportMapsTheLevelsToTheSensorOfTheMouse)
{
    Use(kModel3395);
    struct Level {
        int x, y;
    };
    const Level fileLevels[] = {{26000, 26000}, {400, 400}, {12345, 12345}, {800, 1600},
                                {3200, 3200},   {50, 50},   {0, 0},         {30000, 30000}};
    EditProfile([&](ProfileRecord& p) {
        p.dpiLevelCount = 8;
        for (int i = 0; i < kDpiLevels; ++i) {
            p.dpiLevels[i].x = fileLevels[i].x;
            p.dpiLevels[i].y = fileLevels[i].y;
        }
    });
    ASSERT_TRUE(ExportProfile(File()));

    Use(kModel3325);
    const SensorDpiTable* table = Config().sensors.Find(0x3325);
    ASSERT_TRUE(table != nullptr && table->Count > 0);
    const int lowest = *std::min_element(table->Values.begin(), table->Values.begin() + table->Count);
    const int highest = *std::max_element(table->Values.begin(), table->Values.begin() + table->Count);
    ASSERT_LT(highest, 26000);
    messages_.emplace();
    bool written = false;
    const std::optional<ProfileImport> imported = ImportAndWrite(false, &written);
    ASSERT_TRUE(imported);
    EXPECT_TRUE(written);

    const ProfileRecord now = Current();
    EXPECT_EQ(now.dpiLevelCount, 6);  // the model's levels
    EXPECT_EQ(now.sensor, 0x3325);
    const int expectedX[] = {highest, 400, -1, 800, 3200, lowest};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const int x = now.dpiLevels[i].x;
        if (expectedX[i] > 0) {
            EXPECT_EQ(x, expectedX[i]);
        }
        EXPECT_GE(Config().sensors.DpiIndex(0x3325, x), 0);
        EXPECT_GE(Config().sensors.DpiIndex(0x3325, now.dpiLevels[i].y), 0);
    }
    EXPECT_EQ(now.dpiLevels[3].y, 1600);
    EXPECT_TRUE(ShownContaining(QStringLiteral("DPI level 1: 26000 became %1").arg(highest)));
    EXPECT_TRUE(ShownContaining(QStringLiteral("DPI levels in use: 8 became 6")));
    EXPECT_FALSE(ShownContaining(QStringLiteral("DPI level 2:")));  // 400 is offered as it is
    EXPECT_EQ(imported->changes.size(), 4);  // levels 1, 3, 6 and the count

    // The mouse holds codes its sensor knows: the next read finds the same values.
    ASSERT_TRUE(ReadAndCommit());
    EXPECT_FALSE(Shown(QStringLiteral("Get wrong dpi from device")));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Current().dpiLevels[i].x, now.dpiLevels[i].x) << i;
}

// A model whose sensor offers no DPI values cannot take the file's levels: the import is
// refused, and neither the mouse nor the local profile changes.
TEST_F(ImportThroughTheMouse, ImportIsRefusedWhenTheSensorOffersNothing)
{
    Use(kModel3325);
    ASSERT_TRUE(ExportProfile(File()));
    Config().devices[size_t(kModel3325)].Sensor = 0x7777;
    const ProfileRecord before = Current();
    const Bytes mouseBefore = Mouse().Memory(0, eeprom::kProfileSize);
    messages_.emplace();
    EXPECT_FALSE(ImportProfile(File()));
    EXPECT_TRUE(ShownContaining(QStringLiteral("the sensor of this mouse (0x7777) offers no DPI values")));
    const ProfileRecord after = Current();
    EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    EXPECT_EQ(Mouse().Memory(0, eeprom::kProfileSize), mouseBefore);
}

// Keys sharing a macro share one of the file's ten records, so more keys keep their macros; a key
// whose macro is still missing on the importing side goes back to its default instead of
// sending FF FF FF. Key set 3 is the one written, so the keys of sets 1 and 2 come first in the file.
TEST_F(ImportThroughTheMouse, MacroKeysTravelWithOneRecordPerMacro)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> set2Macros;  // key k of key set 2 (index 1) uses macro set2Macros[k]
        std::vector<uint32_t> fileIds;     // the file's records, in order
        bool keysKeepTheirMacros;          // the two macro keys of the written key set
    };
    const std::vector<uint32_t> shared(10, 0x100);
    std::vector<uint32_t> distinct;
    for (uint32_t id = 0x100; id < 0x10B; ++id)
        distinct.push_back(id);
    const Case cases[] = {
        {"ten keys share one macro", shared, {0x100, 0x201, 0x202}, true},
        {"eleven different macros", distinct,
         {0x100, 0x101, 0x102, 0x103, 0x104, 0x105, 0x106, 0x107, 0x108, 0x109}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Use(kModel3325);
        Macros().Clear();
        for (uint32_t id : {0x201u, 0x202u})
            LibraryMacro(id, QStringLiteral("own %1").arg(id, 0, 16));
        for (size_t k = 0; k < c.set2Macros.size(); ++k) {
            if (!Macros().Contains(c.set2Macros[k]))
                LibraryMacro(c.set2Macros[k], QStringLiteral("m%1").arg(c.set2Macros[k], 0, 16));
            AssignMacro(1, int(k), c.set2Macros[k]);
        }
        EditProfile([](ProfileRecord& p) { p.currentKeySet = 2; });
        AssignMacro(2, 0, 0x201);
        AssignMacro(2, 1, 0x202);
        ASSERT_TRUE(ExportProfile(File()));
        const QByteArray image = test::ReadFile(File());
        ASSERT_EQ(image.size(), kProfileExportSize);
        for (int slot = 0; slot < kProfileExportMacros; ++slot) {
            StMacro m{};
            std::memcpy(&m, image.constData() + sizeof(ProfileRecord) + sizeof(StMacro) * size_t(slot), sizeof m);
            const uint32_t id = m.id;
            EXPECT_EQ(id, size_t(slot) < c.fileIds.size() ? c.fileIds[size_t(slot)] : 0u) << slot;
        }

        // Another computer: none of these macros in its library.
        Macros().Clear();
        messages_.emplace();
        bool written = false;
        const std::optional<ProfileImport> imported = ImportAndWrite(false, &written);
        ASSERT_TRUE(imported);
        EXPECT_TRUE(written);
        const DeviceDescription& device = *CurrentDevice();
        const ProfileRecord now = Current();
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(k);
            const KeyAssignment& key = now.Key[2][k];
            const Bytes entry = Mouse().Memory(eeprom::kKeyMatrix + 4 * int(key.matrix - 1), 4);
            EXPECT_NE(entry[0], 0xFF);
            if (c.keysKeepTheirMacros) {
                EXPECT_EQ(key.Major(), kClassMacro);
                EXPECT_TRUE(Macros().Contains(key.dwMacroID));
                EXPECT_EQ(entry[0], 0x06);
            } else {
                KeyAssignment expected = device.KeyTables[2][k];
                EXPECT_EQ(key, expected);
                const auto code = EncodeMatrixEntry(keyinfo_to_hardware_code(expected, device.Sensor));
                EXPECT_EQ(entry, Bytes(code.begin(), code.end()));
                EXPECT_TRUE(ShownContaining(QStringLiteral("key %1 of key set 3: its macro is neither in the file").arg(k + 1)));
            }
        }
        EXPECT_EQ(imported->changes.size(), c.keysKeepTheirMacros ? 0 : 3);  // set 2 key 11 too
    }
}

// Unplugged at every request of the import's write: each ends with the writer's failure shown;
// once the mouse is back the next read succeeds, and the import written again leaves the mouse
// exactly as an undisturbed import does.
TEST_F(ImportThroughTheMouse, UnplugAtEveryRequestOfTheImportsWrite)
{
    Use(kModel3395);
    LibraryMacro(0x321, QStringLiteral("fault"));
    AssignMacro(0, 2, 0x321);
    EditProfile([](ProfileRecord& p) {
        p.debounce = 14;
        p.lod = 2;
        p.pollingRate = 0x250;
    });
    ASSERT_TRUE(ExportProfile(File()));
    const ProfileRecord exported = Current();
    ProfileRecord before = exported;
    before.pollingRate = 0x125;
    const auto restoreBefore = [&] {
        EditProfile([&before](ProfileRecord& p) { p = before; });
        ASSERT_TRUE(Write(ApplyRequest{apply::kImportFlags, apply::kAll}));
    };
    restoreBefore();
    const Bytes mouseBefore = Mouse().Memory(0, eeprom::kProfileSize);

    const int start = Mouse().RequestCount();
    ASSERT_TRUE(ImportAndWrite());
    const int requests = Mouse().RequestCount() - start;
    const Bytes imported = Mouse().Memory(0, eeprom::kProfileSize);
    ASSERT_NE(imported, mouseBefore);
    ASSERT_GT(requests, 30);

    for (int n = 1; n <= requests; ++n) {
        SCOPED_TRACE(n);
        restoreBefore();
        messages_.emplace();
        Mouse().Firmware().UnplugAtRequest(n);
        bool written = true;
        ASSERT_TRUE(ImportAndWrite(false, &written));
        EXPECT_FALSE(written);
        EXPECT_TRUE(Shown(kUpdateFailed));
        Mouse().Reconnect();
        Link().timing.pauseBeforeWait = 0ms;
        ShortenAnswerWait();
        ASSERT_TRUE(ReadAndCommit());
        // The local profile is what the mouse holds now, the profile before or the import's.
        const int rate = Current().pollingRate;
        EXPECT_TRUE(rate == 0x125 || rate == exported.pollingRate) << std::hex << rate;
        written = false;
        ASSERT_TRUE(ImportAndWrite(false, &written));
        EXPECT_TRUE(written);
        EXPECT_EQ(Mouse().Memory(0, eeprom::kProfileSize), imported);
    }
}

}  // namespace
}  // namespace zorvan
