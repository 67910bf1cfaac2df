// The running window's emulated mouse follows what another program changes of its world in the
// state file (the link, the battery, the lighting lock), and nothing else.
#include "device/emulated/firmware_state.h"
#include "device/emulated/mouse_firmware.h"
#include "device/emulated/state_file_follower.h"
#include "device_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::App;
using test::RunUntil;

class StateFileFollowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        ASSERT_TRUE(folder_.isValid());
        path_ = folder_.filePath(QStringLiteral("mouse.state"));
        mouse_.SetLinked(false);
        ASSERT_TRUE(SaveFirmwareStateFile(path_, mouse_.State(), nullptr));
    }

    // What another program (zorvanctl) does: the file as it was, one thing changed, saved.
    void ChangeFile(const std::function<void(FirmwareState&)>& change)
    {
        std::optional<FirmwareState> state = LoadFirmwareStateFile(path_, nullptr);
        ASSERT_TRUE(state);
        change(*state);
        ASSERT_TRUE(SaveFirmwareStateFile(path_, *state, nullptr));
    }

    QTemporaryDir folder_;
    QString path_;
    MouseFirmware mouse_{test::kCid, test::kMid, test::TestImages()};
};

TEST_F(StateFileFollowerTest, TheMouseTakesItsWorldFromTheFileAgainAndAgain)
{
    StateFileFollower follower(mouse_, path_);
    ChangeFile([](FirmwareState& s) { s.linked = true; });
    EXPECT_TRUE(RunUntil([this] { return mouse_.State().linked; }, 5000));

    ChangeFile([](FirmwareState& s) {
        s.battery = 42;
        s.charging = true;
    });
    EXPECT_TRUE(RunUntil([this] { return mouse_.State().battery == 42; }, 5000));
    EXPECT_TRUE(mouse_.State().charging);
    EXPECT_TRUE(mouse_.State().linked);

    ChangeFile([](FirmwareState& s) { s.lightingLocked = true; });
    EXPECT_TRUE(RunUntil([this] { return mouse_.State().lightingLocked; }, 5000));
}

TEST_F(StateFileFollowerTest, TheRunningMouseKeepsItsMemoryAndWhatTheFileDidNotChange)
{
    StateFileFollower follower(mouse_, path_);
    mouse_.SetBattery(77, false);  // the running mouse's own state since the file was read
    const FirmwareState before = mouse_.State();
    ChangeFile([](FirmwareState& s) {
        s.linked = true;
        s.activeProfile = 3;
        s.profiles[0][0x10] ^= 0xFF;
    });
    ASSERT_TRUE(RunUntil([this] { return mouse_.State().linked; }, 5000));
    const FirmwareState after = mouse_.State();
    EXPECT_EQ(after.battery, 77);
    EXPECT_EQ(after.activeProfile, before.activeProfile);
    EXPECT_EQ(after.profiles, before.profiles);
}

}  // namespace
}  // namespace zorvan
