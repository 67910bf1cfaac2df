// The one editing path as the pages see it (DevicePort): each change runs on the real session
// over the emulated mouse, checked by the mouse's EEPROM bytes, and on the tests' fake port,
// which must end the same way (the widget tests stand on it).
#include "app/configuration.h"
#include "device/emulated/mouse_firmware.h"
#include "profile/profile_edits.h"
#include "profile/profile_state.h"
#include "ui/fake_device_port.h"
#include "ui/live_device_port.h"
#include "ui/ui_fixture.h"

#include <QSignalSpy>
#include <QTest>

#include <cstring>

using namespace zorvan;
using namespace zorvan::test;

namespace {

using Bytes = std::vector<uint8_t>;

// What the mouse and the options are like when the change is made.
enum class Situation { kReady, kLightingLocked, kUnlinked, kApplyNowOff };

struct ChangeCase {
    const char* name;
    Situation situation;
    bool lighting;
    std::function<Edit(ProfileRecord&, const DeviceDescription&)> edit;
    ChangeResult result;
    // The profile holds the change (checked unless the change was refused).
    std::function<bool(const ProfileRecord&)> holdsChange;
    // The request posted, and the bytes it writes at `address` of the active profile; without a
    // request the bytes there stay as they were.
    std::optional<ApplyRequest> request;
    int address;
    Bytes written;
};

Edit Rate500(ProfileRecord& p, const DeviceDescription& d)
{
    return SetPollingRate(p, 500, d);
}
bool HasRate500(const ProfileRecord& p)
{
    return p.pollingRate == 0x500;
}
Edit MainEffect2(ProfileRecord& p, const DeviceDescription& d)
{
    LightChange change;
    change.mode = 2;
    return SetMainLight(p, change, d, Options());
}
bool HasMainEffect2(const ProfileRecord& p)
{
    return p.mainLight.mode == 2;
}

const ChangeCase kCases[] = {
    {"a setting", Situation::kReady, false, Rate500, ChangeResult::kMade, HasRate500, ApplyRequest{0x20, 0}, 0x00,
     {0x02, 0x53}},
    {"a DPI colour",
     Situation::kReady,
     false,
     [](ProfileRecord& p, const DeviceDescription& d) { return SetDpiColour(p, 1, 0x302010, d); },
     ChangeResult::kMade,
     [](const ProfileRecord& p) { return p.dpiLevels[1].colour == 0x302010; },
     ApplyRequest{0x40, 1},
     0x30,
     {0x10, 0x20, 0x30, uint8_t(0x55 - 0x60)}},
    {"lighting", Situation::kReady, true, MainEffect2, ChangeResult::kMade, HasMainEffect2, ApplyRequest{0x02, 2}, 0xA0,
     {0x01}},
    {"lighting while the mouse's lighting is locked", Situation::kLightingLocked, true, MainEffect2,
     ChangeResult::kNotTaken, HasMainEffect2, std::nullopt, 0xA0, {}},
    {"a mouse that is not linked", Situation::kUnlinked, false, Rate500, ChangeResult::kRefused, HasRate500,
     std::nullopt, 0x00, {}},
    {"an edit the rules refuse",
     Situation::kReady,
     false,
     [](ProfileRecord& p, const DeviceDescription& d) { return SetPollingRate(p, 300, d); },
     ChangeResult::kRefused,
     HasRate500,
     std::nullopt,
     0x00,
     {}},
    {"ApplyNow 0 keeps it local", Situation::kApplyNowOff, false, Rate500, ChangeResult::kMade, HasRate500,
     std::nullopt, 0x00, {}},
};

bool SameRecord(const ProfileRecord& a, const ProfileRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the case's change through `port` and waits for its result and for the writes; nothing
// when either does not come.
std::optional<ChangeResult> Change(DevicePort& port, const ChangeCase& c, const DeviceDescription& device)
{
    std::optional<ChangeResult> result;
    const ProfileEdit edit = [&](ProfileRecord& p) { return c.edit(p, device); };
    const ChangeDone done = [&](ChangeResult r) { result = r; };
    if (c.lighting)
        port.ChangeLighting(edit, done);
    else
        port.ChangeSetting(edit, done);
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 10000))
        return std::nullopt;
    bool written = false;
    port.AfterWrites([&](bool) { written = true; });
    if (!QTest::qWaitFor([&] { return written; }, 10000))
        return std::nullopt;
    return result;
}

// The real session over the emulated mouse, after its take-over and first read; null when
// that does not happen.
std::unique_ptr<LiveDevicePort> StartLive()
{
    auto live = EmulatedPort();
    if (!live)
        return nullptr;
    QSignalSpy read(live.get(), &DevicePort::profileRead);
    int devices = -1;
    live->CountDevices([&devices](int found) { devices = found; });
    if (!QTest::qWaitFor([&] { return devices >= 0; }, 10000) || devices <= 0)
        return nullptr;
    live->Start();
    if (!QTest::qWaitFor([&] { return read.count() >= 1 && !live->Reading(); }, 10000))
        return nullptr;
    return live;
}

std::optional<ChangeResult> Switch(DevicePort& port, int index)
{
    std::optional<ChangeResult> result;
    port.SelectProfile(index, [&](ChangeResult r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 10000))
        return std::nullopt;
    return result;
}

}  // namespace

class SettingsChangeTest : public QObject {
    Q_OBJECT
private slots:
    void aChangeEndsAlikeOnTheMouseAndOnTheFake_data();
    void aChangeEndsAlikeOnTheMouseAndOnTheFake();
    void aProfileSwitchEndsAlikeOnTheMouseAndOnTheFake_data();
    void aProfileSwitchEndsAlikeOnTheMouseAndOnTheFake();
};

void SettingsChangeTest::aChangeEndsAlikeOnTheMouseAndOnTheFake_data()
{
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < std::size(kCases); ++i)
        QTest::newRow(kCases[i].name) << int(i);
}

void SettingsChangeTest::aChangeEndsAlikeOnTheMouseAndOnTheFake()
{
    QFETCH(int, row);
    const ChangeCase& c = kCases[size_t(row)];
    UiFixture fixture;
    if (c.situation == Situation::kApplyNowOff)
        Config().opt.ApplyNow = 0;

    const auto live = StartLive();
    QVERIFY(live && live->CurrentDevice() && live->CurrentProfile());
    MouseFirmware* mouse = live->Backend().EmulatedMouse();
    const DeviceDescription device = *live->CurrentDevice();
    const ProfileRecord start = *live->CurrentProfile();
    const int active = mouse->State().activeProfile;
    const int length = c.request ? int(c.written.size()) : 8;
    const Bytes before = mouse->Memory(active, c.address, length);
    mouse->SetLightingLocked(c.situation == Situation::kLightingLocked);
    mouse->SetLinked(c.situation != Situation::kUnlinked);

    const std::optional<ChangeResult> onMouse = Change(*live, c, device);
    QVERIFY(onMouse.has_value());
    QCOMPARE(int(*onMouse), int(c.result));
    const ProfileRecord afterMouse = *live->CurrentProfile();
    if (c.result == ChangeResult::kRefused)
        QVERIFY(SameRecord(afterMouse, start));
    else
        QVERIFY(c.holdsChange(afterMouse));
    QCOMPARE(mouse->Memory(active, c.address, length), c.request ? c.written : before);
    // A change that did not reach the mouse tells the user why, once.
    QCOMPARE(fixture.Messages().size(), size_t(c.result == ChangeResult::kMade ? 0 : 1));

    // The fake, from the same profile of the same model.
    FakeDevicePort fake;
    fake.device = &device;
    fake.profile = start;
    fake.allowChanges = c.situation != Situation::kUnlinked;
    fake.lightingLocked = c.situation == Situation::kLightingLocked;
    const std::optional<ChangeResult> onFake = Change(fake, c, device);
    QVERIFY(onFake.has_value());
    QCOMPARE(int(*onFake), int(c.result));
    QVERIFY(SameRecord(*fake.profile, afterMouse));
    QCOMPARE(fake.posted.size(), size_t(c.request ? 1 : 0));
    if (c.request) {
        QCOMPARE(fake.posted[0].flags, c.request->flags);
        QCOMPARE(fake.posted[0].data, c.request->data);
    }
}

void SettingsChangeTest::aProfileSwitchEndsAlikeOnTheMouseAndOnTheFake_data()
{
    QTest::addColumn<bool>("linked");
    QTest::addColumn<int>("result");
    QTest::newRow("switched and read") << true << int(ChangeResult::kMade);
    QTest::newRow("refused by the settings-change check") << false << int(ChangeResult::kRefused);
}

void SettingsChangeTest::aProfileSwitchEndsAlikeOnTheMouseAndOnTheFake()
{
    QFETCH(bool, linked);
    QFETCH(int, result);
    UiFixture fixture;
    const auto live = StartLive();
    QVERIFY(live);
    MouseFirmware* mouse = live->Backend().EmulatedMouse();
    const int before = mouse->State().activeProfile;
    const int target = (before + 2) % 4;
    mouse->SetLinked(linked);
    QSignalSpy read(live.get(), &DevicePort::profileRead);

    const std::optional<ChangeResult> onMouse = Switch(*live, target);
    QVERIFY(onMouse.has_value());
    QCOMPARE(int(*onMouse), result);
    const bool made = result == int(ChangeResult::kMade);
    QCOMPARE(int(mouse->State().activeProfile), made ? target : before);
    if (made) {
        // The switch is followed by a read of the profile now active.
        QTRY_VERIFY_WITH_TIMEOUT(read.count() >= 1 && !live->Reading(), 10000);
        QCOMPARE(Profiles().profiles.CurrentIndex(), target);
    }

    FakeDevicePort fake;
    fake.allowChanges = linked;
    const std::optional<ChangeResult> onFake = Switch(fake, target);
    QVERIFY(onFake.has_value());
    QCOMPARE(int(*onFake), result);
    QCOMPARE(fake.selected, made ? std::vector<int>{target} : std::vector<int>{});
}

QTEST_MAIN(SettingsChangeTest)
#include "settings_change_test.moc"
