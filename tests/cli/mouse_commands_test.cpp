// zorvanctl's mouse commands end to end: sequences of commands against one emulated mouse,
// checked by the bytes its EEPROM holds afterwards, the exit codes and the messages.
#include "zorvanctl_runner.h"

#include "app/paths.h"
#include "macro/macro_files.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"

#include <QFileInfo>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::CliResult;
using test::ZorvanctlRunner;
using Bytes = std::vector<uint8_t>;

// Each row: commands run in order on one mouse (all must succeed), then the bytes expected at
// an address of the active profile.
struct WriteCase {
    const char* name;
    const char* model;
    std::vector<QStringList> commands;
    int address;
    Bytes expected;
};

class MouseCommands : public ::testing::TestWithParam<WriteCase> {};

TEST_P(MouseCommands, WritesWhatThePageWouldWrite)
{
    const WriteCase& c = GetParam();
    ZorvanctlRunner cli(QLatin1String(c.model));
    for (const QStringList& command : c.commands) {
        const CliResult result = cli.Run(command);
        ASSERT_EQ(result.exitCode, 0) << command.join(u' ').toStdString() << ": " << result.err.toStdString();
    }
    EXPECT_EQ(cli.Memory(c.address, int(c.expected.size())), c.expected);
}

const WriteCase kWriteCases[] = {
    {"polling rate 500", "", {{"set", "rate", "500"}}, 0x00, {0x02, 0x53}},
    {"three levels", "", {{"set", "levels", "3"}}, 0x02, {0x03, 0x52}},
    {"current level 3", "", {{"set", "current-level", "3"}}, 0x04, {0x02, 0x53}},
    {"key 5 (matrix position 5) middle", "", {{"assign", "5", "middle"}}, 0x70, {0x01, 0x04, 0x00, 0x50}},
    {"fire 3 shots interval 20", "", {{"assign", "3", "fire", "3", "20"}}, 0x68, {0x04, 0x14, 0x03, 0x3A}},
    {"volume up: block and matrix",
     "",
     {{"assign", "4", "media", "volume-up"}},
     0x100 + 32 * 3,
     {0x02, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00, uint8_t(0x55 - (0x02 + 0x82 + 0xE9 + 0x42 + 0xE9))}},
    {"800 and 30000 DPI on the 3395",
     "1a:03",
     {{"set", "dpi", "1", "800"}, {"set", "dpi", "2", "30000"}},
     0x0C,
     {0x0F, 0x0F, 0x00, 0x37, 0x2B, 0x2B, 0x55, 0xAA}},
    {"DPI level colour", "", {{"set", "dpi-colour", "2", "102030"}}, 0x30, {0x10, 0x20, 0x30, uint8_t(0x55 - 0x60)}},
    {"lift-off 2 mm", "1a:03", {{"set", "lod", "2"}}, 0x0A, {0x02, 0x53}},
    {"logo effect 2, red", "1a:03", {{"light", "logo", "2", "--colour", "ff0000", "--speed", "4"}}, 0x54,
     {0xFF, 0x00, 0x00, 0x56, 0x02, 0x53}},
    {"DPI lighting effect 1 speed 10", "", {{"light", "dpi", "1", "--speed", "10"}}, 0x4C,
     {0x01, 0x54, 0xFF, 0x56}},
};

INSTANTIATE_TEST_SUITE_P(Sequences, MouseCommands, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(MouseCommandsRead, ReadPrintsTheRecordAndKeepsItInTheStore)
{
    ZorvanctlRunner cli;
    const QJsonObject read = cli.Json({"read"});
    EXPECT_EQ(read.value("profile").toInt(), 0);
    const QJsonObject record = read.value("record").toObject();
    EXPECT_EQ(record.value("polling_rate").toInt(), 0x1000);
    EXPECT_EQ(record.value("keys").toArray().size(), 3);
    EXPECT_EQ(record.value("dpi_levels").toArray().size(), 8);
    EXPECT_EQ(QFileInfo(cli.File("data/PRO_1a01.dct")).size(), 8420);
    EXPECT_EQ(QFileInfo(cli.File("data/CID.dct")).size(), 8);
}

TEST(MouseCommandsRead, WhatTheMouseChangedByItselfIsReadFirst)
{
    ZorvanctlRunner cli;
    const int before = cli.Json({"read"}).value("current_dpi_level").toInt();
    ASSERT_EQ(cli.Run({"emulator", "press", "dpi-up"}).exitCode, 0);
    EXPECT_EQ(cli.Json({"read"}).value("current_dpi_level").toInt(), before + 1);

    // A change made now starts from what the mouse holds, so its other settings survive.
    ASSERT_EQ(cli.Run({"set", "rate", "250"}).exitCode, 0);
    EXPECT_EQ(cli.Memory(0x04, 2), (Bytes{uint8_t(before + 1), uint8_t(0x55 - before - 1)}));
}

TEST(MouseCommandsRead, ProfileSwitchesTheMouseAndReadsIt)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"set", "rate", "125"}).exitCode, 0);
    const QJsonObject switched = cli.Json({"profile", "3"});
    EXPECT_EQ(switched.value("profile").toInt(), 2);
    EXPECT_EQ(switched.value("record").toObject().value("polling_rate").toInt(), 0x1000);
    EXPECT_EQ(cli.Memory(3, 0, 2), (Bytes{0x01, 0x54}));
    EXPECT_EQ(cli.Memory(1, 0, 2), (Bytes{0x08, 0x4D})) << "profile 1 keeps its change";
    EXPECT_EQ(cli.Run({"profile", "5"}).exitCode, 2);
}

struct RefusalCase {
    const char* name;
    QStringList command;
    const char* message;  // part of the line on standard error
};

class MouseRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(MouseRefusals, ExitOneWithTheMessageAndWriteNothing)
{
    const RefusalCase& c = GetParam();
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"read"}).exitCode, 0);
    const Bytes before = cli.Memory(0, 0x180);
    const CliResult result = cli.Run(c.command);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << result.err.toStdString();
    EXPECT_EQ(result.err.count(u'\n'), 1) << "one line: " << result.err.toStdString();
    EXPECT_EQ(cli.Memory(0, 0x180), before);
}

// What the model does not offer is a usage error now (command_line_test.cpp); what depends on
// the profile the mouse holds stays a refusal.
const RefusalCase kRefusals[] = {
    {"only_left_click", {"assign", "1", "middle"}, "At least one button must keep the Left click function."},
    {"no_macros_yet", {"assign", "3", "macro", "Nope"}, "There are no macros yet."},
};

INSTANTIATE_TEST_SUITE_P(Refusals, MouseRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// Levels the model has but the profile does not use are refused once the profile is read.
TEST(MouseRefusalsOfTheProfile, ALevelOutOfUseIsRefusedAfterTheRead)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"set", "levels", "3"}).exitCode, 0);
    const Bytes before = cli.Memory(0, 0x60);
    for (const QStringList& command : std::vector<QStringList>{{"set", "dpi", "5", "800"}, {"set", "current-level", "5"}}) {
        const CliResult result = cli.Run(command);
        EXPECT_EQ(result.exitCode, 1) << command.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains("the DPI level must be 1..3")) << result.err.toStdString();
    }
    EXPECT_EQ(cli.Memory(0, 0x60), before);
}

// Found under PID the mouse's power settings are locked; under PID2 (--pid2) they can be tried.
TEST(MouseCommandsPower, SleepAndLightOffAreFreeOnlyUnderTheSecondProductId)
{
    ZorvanctlRunner cli;
    const CliResult locked = cli.Run({"set", "sleep", "60"});
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_TRUE(locked.err.contains(QLatin1String("locked while the mouse is connected under product id PID")))
        << locked.err.toStdString();
    EXPECT_EQ(cli.Run({"set", "light-off", "on"}).exitCode, 1);

    ASSERT_EQ(cli.Run({"--pid2", "set", "sleep", "60"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"--pid2", "set", "light-off", "on"}).exitCode, 0);
    EXPECT_EQ(cli.Memory(0xAD, 2), (Bytes{6, 0x55 - 6}));
    EXPECT_EQ(cli.Memory(0xB3, 2), (Bytes{1, 0x55 - 1}));
    EXPECT_EQ(cli.Run({"--pid2", "set", "sleep", "61"}).exitCode, 2) << "not one of the model's values: a usage error";
}

TEST(MouseCommandsLighting, ALockedMouseRefusesLightingWithTheGuisMessage)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"emulator", "lighting-lock", "on"}).exitCode, 0);
    const Bytes before = cli.Memory(0xA0, 7);
    const CliResult result = cli.Run({"light", "main", "2"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.err.isEmpty());
    EXPECT_EQ(cli.Memory(0xA0, 7), before);
    ASSERT_EQ(cli.Run({"emulator", "lighting-lock", "off"}).exitCode, 0);
    EXPECT_EQ(cli.Run({"light", "main", "2"}).exitCode, 0);
    EXPECT_EQ(cli.Memory(0xA0, 1), Bytes{0x01});
}

TEST(MouseCommandsLighting, MainLightingOffKeepsTheStoredBytes)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"light", "main", "2", "--colour", "123456"}).exitCode, 0);
    const Bytes on = cli.Memory(0xA0, 7);
    ASSERT_EQ(cli.Run({"light", "main", "off"}).exitCode, 0);
    Bytes off = on;
    off[0] = 0x04;
    off[6] = uint8_t(0x55 - (off[0] + off[1] + off[2] + off[3] + off[4] + off[5]));
    EXPECT_EQ(cli.Memory(0xA0, 7), off);
}

TEST(MouseCommandsNoMouse, AMouseThatDoesNotAnswerIsReportedWithAHint)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"emulator", "link", "off"}).exitCode, 0);
    const CliResult result = cli.Run({"set", "rate", "500"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("no supported mouse found")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("emulator link on")) << result.err.toStdString();
}

TEST(MouseCommandsMacro, AMacroKeyGetsItsSlotAndMatrixEntry)
{
    ZorvanctlRunner cli;
    StMacro macro{};
    macro.magic = kMacroMagic;
    macro.id = NewTimeStampId();
    macro.loopMode = kLoopCount;
    macro.repeatCount = 5;
    SetMacroName(macro, QStringLiteral("Burst"));
    for (int i = 0; i < 4; ++i)
        macro.events[i] = {uint16_t('A'), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 20};
    const AppPaths saved = Paths();
    Paths().dataDir = cli.File("data/");
    ASSERT_TRUE(WriteMacroFile(MacroFilePath(QStringLiteral("Burst"), macro.id), macro).Ok());
    Paths() = saved;

    const CliResult result = cli.Run({"assign", "3", "macro", "Burst"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Key 3 sits on matrix position 3: slot 2, repeat count 5.
    EXPECT_EQ(cli.Memory(0x68, 4), (Bytes{0x06, 0x02, 0x05, uint8_t(0x55 - 0x0D)}));
    const Bytes slot = cli.Memory(0x300 + 0x180 * 2, 11);
    EXPECT_EQ(slot, (Bytes{10, 'B', 0, 'u', 0, 'r', 0, 's', 0, 't', 0}));
    EXPECT_TRUE(cli.Run({"read"}).out.contains("macro Burst"));
}

TEST(MouseCommandsFiles, ExportAndImportCarryTheProfile)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"set", "rate", "250"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"assign", "5", "middle"}).exitCode, 0);
    const QString file = cli.File("profile.qxa");
    ASSERT_EQ(cli.Run({"export", file}).exitCode, 0);
    EXPECT_EQ(QFileInfo(file).size(), 10444);

    ASSERT_EQ(cli.Run({"set", "rate", "1000"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"assign", "5", "back"}).exitCode, 0);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const CliResult imported = cli.Run({"import", file});
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        EXPECT_EQ(cli.Memory(0x00, 2), (Bytes{0x04, 0x51}));
        EXPECT_EQ(cli.Memory(0x70, 4), (Bytes{0x01, 0x04, 0x00, 0x50}));
    }

    test::WriteFile(cli.File("bad.qxa"), QByteArray(10444, '\0'));
    const CliResult bad = cli.Run({"import", cli.File("bad.qxa")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("not a valid profile")) << bad.err.toStdString();
}

// A profile of the 3395 model with a 30000 DPI level imported into a 0x3325 mouse: every area
// is written, the level takes the nearest value that sensor offers, and the import says so.
TEST(MouseCommandsFiles, ImportIntoAnotherModelFollowsItsSensor)
{
    ZorvanctlRunner big(QStringLiteral("1a:03"));
    ASSERT_EQ(big.Run({"set", "dpi", "1", "30000"}).exitCode, 0);
    ASSERT_EQ(big.Run({"set", "debounce", "14"}).exitCode, 0);
    const QString file = big.File("big.qxa");
    ASSERT_EQ(big.Run({"export", file}).exitCode, 0);

    ZorvanctlRunner small(QStringLiteral("1a:01"));
    const CliResult imported = small.Run({"import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains("DPI level 1: 30000 became")) << imported.err.toStdString();
    EXPECT_EQ(small.Memory(0xA9, 2), (Bytes{14, 0x55 - 14}));
    EXPECT_EQ(small.Memory(0x02, 2), (Bytes{6, 0x55 - 6}));
    const CliResult read = small.Run({"read"});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_FALSE(read.err.contains("Get wrong dpi from device")) << read.err.toStdString();
}

TEST(MouseCommandsDefaults, RestoreDefaultsResetsProfileOneAndTheMouse)
{
    ZorvanctlRunner fresh;
    const Bytes factory = fresh.Memory(1, 0, 0x180);
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"set", "rate", "125"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"assign", "5", "middle"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"profile", "2"}).exitCode, 0);
    ASSERT_NE(cli.Memory(1, 0, 0x180), factory);
    const CliResult result = cli.Run({"restore-defaults"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(cli.Memory(1, 0, 0x180), factory);
    const QJsonObject read = cli.Json({"read"});
    EXPECT_EQ(read.value("profile").toInt(), 0);
    EXPECT_EQ(read.value("record").toObject().value("polling_rate").toInt(), 0x1000);
}

TEST(MouseCommandsUsage, BadArgumentsAreUsageErrors)
{
    ZorvanctlRunner cli;
    for (const QStringList& command : std::vector<QStringList>{{"set", "rate"},
                                                               {"set", "dpi", "x", "800"},
                                                               {"set", "colour"},
                                                               {"light", "top", "1"},
                                                               {"light", "main", "1", "--speed"},
                                                               {"assign", "17", "left"},
                                                               {"export"}}) {
        const CliResult result = cli.Run(command);
        EXPECT_EQ(result.exitCode, 2) << command.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains("zorvanctl --help")) << result.err.toStdString();
    }
}

}  // namespace
}  // namespace zorvan
