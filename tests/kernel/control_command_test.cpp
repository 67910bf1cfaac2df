// The uhid mouse's control lines: what they mean, and what they do to the firmware.
#include "uhid-mouse/control_command.h"

#include "device/emulated/firmware_state.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using Kind = ControlCommand::Kind;

TEST(ControlCommand, LinesAndWhatTheyMean)
{
    struct Case {
        const char* line;
        Kind kind;
        int number;
        bool charging;
        MouseButton button;
    };
    const Case cases[] = {
        {"unplug", Kind::kUnplug, 0, false, MouseButton::kDpiUp},
        {"  plug\r\n", Kind::kPlug, 0, false, MouseButton::kDpiUp},
        {"unplug-at 30", Kind::kUnplugAt, 30, false, MouseButton::kDpiUp},
        {"press profile-next", Kind::kPress, 0, false, MouseButton::kProfileNext},
        {"press\tlight-mode", Kind::kPress, 0, false, MouseButton::kLightMode},
        {"battery 0", Kind::kBattery, 0, false, MouseButton::kDpiUp},
        {"battery 100 --charging", Kind::kBattery, 100, true, MouseButton::kDpiUp},
        {"save", Kind::kSave, 0, false, MouseButton::kDpiUp},
    };
    for (const Case& c : cases) {
        const auto command = ParseControlLine(c.line);
        ASSERT_TRUE(command.has_value()) << c.line;
        EXPECT_EQ(command->kind, c.kind) << c.line;
        EXPECT_EQ(command->number, c.number) << c.line;
        EXPECT_EQ(command->charging, c.charging) << c.line;
        if (c.kind == Kind::kPress) {
            EXPECT_EQ(command->button, c.button) << c.line;
        }
    }
}

TEST(ControlCommand, WhatIsNotACommand)
{
    const char* const lines[] = {
        "", "   ", "Unplug", "unplug now", "unplug-at", "unplug-at 0", "unplug-at 3x", "unplug-at -2",
        "press", "press nose", "battery", "battery 101", "battery -1", "battery 50 --fast", "save /etc/passwd",
    };
    for (const char* line : lines)
        EXPECT_FALSE(ParseControlLine(line).has_value()) << '"' << line << '"';
}

TEST(ControlCommand, CommandsActOnTheFirmware)
{
    MouseFirmware firmware(0x1A, 0x01, eeprom::ProfileImages{});
    QString error;
    ASSERT_TRUE(RunControlCommand(*ParseControlLine("battery 42 --charging"), firmware, {}, &error));
    EXPECT_EQ(firmware.State().battery, 42);
    EXPECT_TRUE(firmware.State().charging);
    ASSERT_TRUE(RunControlCommand(*ParseControlLine("press profile-next"), firmware, {}, &error));
    EXPECT_EQ(firmware.State().activeProfile, 1);
    ASSERT_TRUE(RunControlCommand(*ParseControlLine("unplug"), firmware, {}, &error));
    EXPECT_FALSE(firmware.Plugged());
    ASSERT_TRUE(RunControlCommand(*ParseControlLine("plug"), firmware, {}, &error));
    EXPECT_TRUE(firmware.Plugged());
    ASSERT_TRUE(RunControlCommand(*ParseControlLine("unplug-at 2"), firmware, {}, &error));
    const HidReport probe{0x08, 0x03};
    EXPECT_TRUE(firmware.HandleFeatureReport(probe.data(), probe.size()));
    EXPECT_FALSE(firmware.HandleFeatureReport(probe.data(), probe.size()));
    EXPECT_FALSE(firmware.Plugged());
}

TEST(ControlCommand, SaveWritesTheStateFileZorvanctlReads)
{
    MouseFirmware firmware(0x1A, 0x03, eeprom::ProfileImages{});
    firmware.SetBattery(77, false);
    QString error;
    EXPECT_FALSE(RunControlCommand(*ParseControlLine("save"), firmware, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("--state"))) << error.toStdString();

    test::TempDir dir;
    const QString file = dir.File(QStringLiteral("mouse.state"));
    ASSERT_TRUE(RunControlCommand(*ParseControlLine("save"), firmware, file, &error)) << error.toStdString();
    const auto saved = LoadFirmwareStateFile(file, &error);
    ASSERT_TRUE(saved.has_value()) << error.toStdString();
    EXPECT_EQ(saved->mid, 0x03);
    EXPECT_EQ(saved->battery, 77);
}

}  // namespace
}  // namespace zorvan
