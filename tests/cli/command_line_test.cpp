// zorvanctl's command line as a whole: usage errors (exit 2 before the mouse is touched),
// failures of files and of the mouse (exit 1 naming the file or step), `list` without a mouse,
// the help made from one table, the JSON field names of the contract, and the partial reads.
#include "zorvanctl_runner.h"

#include "app/function_catalogue.h"
#include "profile/profile_record.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>

namespace zorvan {
namespace {

using test::CliResult;
using test::ZorvanctlRunner;

QString FirstLine(const QString& text)
{
    return text.section(u'\n', 0, 0);
}

// Arguments → exit code, the start of the first line on standard error, nothing on standard
// output, and the requests the emulated mouse received (0: it was never touched).
struct LineCase {
    const char* name;
    QStringList args;
    int exitCode;
    const char* firstLine;  // what the first line of standard error starts with
};

void ExpectEndsBeforeTheMouse(const ZorvanctlRunner& cli, const LineCase& c)
{
    const CliResult result = cli.Run(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
    EXPECT_TRUE(FirstLine(result.err).startsWith(QLatin1String(c.firstLine))) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    EXPECT_EQ(cli.LastRequestCount(), 0) << "the emulated mouse received requests";
}

class UsageErrors : public ::testing::TestWithParam<LineCase> {};

TEST_P(UsageErrors, ExitTwoBeforeAnyRequestNamingWhatIsAllowed)
{
    ZorvanctlRunner cli;
    ExpectEndsBeforeTheMouse(cli, GetParam());
}

const LineCase kUsageErrors[] = {
    {"no_command", {}, 2, "zorvanctl: no command given"},
    {"unknown_command", {"frobnicate"}, 2, "zorvanctl: unknown command 'frobnicate'"},
    {"unknown_option", {"--frob", "list"}, 2, "zorvanctl: unknown option '--frob'"},
    {"model_not_hex", {"--model", "zz", "list"}, 2, "zorvanctl: --model 'zz': wants CID:MID"},
    {"help_of_nothing", {"help", "nosuch"}, 2, "zorvanctl: unknown command 'nosuch'; commands:"},
    {"rate_not_offered", {"set", "rate", "300"}, 2, "zorvanctl: the polling rate must be 125, 250, 500 or 1000"},
    {"rate_missing", {"set", "rate"}, 2, "zorvanctl: usage: set rate 125|250|500|1000"},
    {"unknown_setting", {"set", "--frob"}, 2, "zorvanctl: unknown setting '--frob'"},
    {"dpi_not_offered", {"set", "dpi", "2", "1234"}, 2, "zorvanctl: the sensor does not offer 1234 DPI; the nearest value it offers is 1200"},
    {"level_beyond_model", {"set", "dpi", "7", "800"}, 2, "zorvanctl: the DPI level must be 1..6"},
    {"separate_y_on_model_without", {"set", "dpi", "2", "1200", "800"}, 2, "zorvanctl: this model has no separate X and Y DPI values"},
    {"no_lod_on_model", {"set", "lod", "1"}, 2, "zorvanctl: this model has no lift-off distance setting"},
    {"sleep_not_offered", {"set", "sleep", "61"}, 2, "zorvanctl: the sleep time must be one of"},
    {"unknown_function", {"assign", "3", "teleport"}, 2, "zorvanctl: unknown function 'teleport'; functions: left"},
    {"unknown_combo_key", {"assign", "2", "combo", "Ctrl+Foo"}, 2, "zorvanctl: 'Foo' is no key name"},
    {"extra_out_of_range", {"assign", "2", "extra", "5"}, 2, "zorvanctl: extra wants N = 1..3"},
    {"extra_not_on_model", {"assign", "3", "extra", "1"}, 2, "zorvanctl: this model's function menu does not offer 'extra 1'; it offers: left"},
    {"key_beyond_16", {"assign", "17", "left"}, 2, "zorvanctl: usage: assign KEY FUNCTION [ARGS] with KEY 1..16"},
    {"key_beyond_model", {"assign", "12", "middle"}, 2, "zorvanctl: this model has 8 programmable keys (KEY 1..8)"},
    {"snipe_not_offered", {"assign", "2", "snipe", "150"}, 2, "zorvanctl: snipe wants one of the values"},
    {"unknown_effect", {"light", "main", "teleport"}, 2, "zorvanctl: unknown main lighting effect 'teleport'; the effects are 0 "},
    {"effect_without_speed", {"light", "main", "1", "--speed", "3"}, 2, "zorvanctl: main lighting effect 1 has no speed; this model offers the main lighting effects 1 "},
    {"unknown_zone", {"light", "top", "1"}, 2, "zorvanctl: usage: light main|logo|dpi MODE"},
    {"profile_beyond_four", {"profile", "5"}, 2, "zorvanctl: profile wants an on-board profile N = 1..4"},
    {"export_without_file", {"export"}, 2, "zorvanctl: usage: export FILE"},
    {"macro_unknown", {"macro", "frob"}, 2, "zorvanctl: unknown macro command 'frob'; macro commands: list"},
    {"macro_name_forbidden", {"macro", "new", "my-macro", "down:A"}, 2, "zorvanctl: A name cannot contain"},
    {"macro_name_too_long", {"macro", "new", "ABCDEFGHIJKLMNOP", "down:A"}, 2, "zorvanctl: 'ABCDEFGHIJKLMNOP': a macro name has at most 15"},
    {"macro_event_unknown", {"macro", "new", "Burst", "down:Foo"}, 2, "zorvanctl: 'down:Foo': 'Foo' is no key name"},
    {"macro_delay_first", {"macro", "new", "Burst", "30ms", "down:A"}, 2, "zorvanctl: '30ms': a delay follows an event"},
    {"macro_export_args", {"macro", "export", "Burst"}, 2, "zorvanctl: usage: macro export NAME FILE"},
};

INSTANTIATE_TEST_SUITE_P(Table, UsageErrors, ::testing::ValuesIn(kUsageErrors),
                         [](const auto& info) { return std::string(info.param.name); });

// Before a real mouse is identified its model is unknown: what every model of cfg.ini refuses
// alike is a usage error at once, the rest waits for the mouse. (A model cfg.ini does not
// describe stands in for the unknown one.)
TEST(UsageErrorsOfAnyModel, AreReportedBeforeTheMouseIsKnown)
{
    ZorvanctlRunner cli(QStringLiteral("99:99"));
    ExpectEndsBeforeTheMouse(cli, {"rate", {"set", "rate", "300"}, 2, "zorvanctl: the polling rate must be 125, 250, 500 or 1000"});
    ExpectEndsBeforeTheMouse(cli, {"effect", {"light", "main", "teleport"}, 2, "zorvanctl: unknown main lighting effect 'teleport'"});
    const CliResult sensorDependent = cli.Run({"set", "dpi", "2", "1234"});
    EXPECT_EQ(sensorDependent.exitCode, 1) << "the models' sensors differ: the mouse decides";
    EXPECT_TRUE(FirstLine(sensorDependent.err).startsWith("zorvanctl: no supported mouse found")) << sensorDependent.err.toStdString();
}

class FileFailures : public ::testing::TestWithParam<LineCase> {};

TEST_P(FileFailures, ExitOneNamingTheFileAndTheReasonBeforeTheMouse)
{
    ZorvanctlRunner cli;
    ExpectEndsBeforeTheMouse(cli, GetParam());
}

const LineCase kFileFailures[] = {
    {"export_into_missing_folder", {"export", "/nonexistent-dir/p.qxa"}, 1,
     "zorvanctl: cannot write /nonexistent-dir/p.qxa: the folder /nonexistent-dir does not exist"},
    {"export_into_proc", {"export", "/proc/x.qxa"}, 1, "zorvanctl: cannot write /proc/x.qxa: "},
    {"export_onto_folder", {"export", "/tmp"}, 1, "zorvanctl: cannot write /tmp: it is a folder"},
    {"import_missing", {"import", "/nonexistent.qxa"}, 1, "zorvanctl: cannot read /nonexistent.qxa: no such file"},
    {"show_missing", {"macro", "show", "/tmp/nosuch.qxm"}, 1,
     "zorvanctl: /tmp/nosuch.qxm: Open macro file failed. error=0x2 (no such file)"},
    {"macro_import_missing", {"macro", "import", "/tmp/nosuch.qxm"}, 1,
     "zorvanctl: /tmp/nosuch.qxm: Open macro file failed. error=0x2 (no such file)"},
    {"macro_export_into_missing_folder", {"macro", "export", "Burst", "/nonexistent-dir/b.qxm"}, 1,
     "zorvanctl: cannot write /nonexistent-dir/b.qxm: the folder /nonexistent-dir does not exist"},
    {"macro_export_unknown", {"macro", "export", "Nope", "/tmp/nope.qxm"}, 1,
     "zorvanctl: no macro named 'Nope': the macro library is empty"},
};

INSTANTIATE_TEST_SUITE_P(Table, FileFailures, ::testing::ValuesIn(kFileFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileFailures, NoFolderIsMadeOnTheUsersBehalf)
{
    ZorvanctlRunner cli;
    const QString folder = cli.File("made-by-nobody");
    EXPECT_EQ(cli.Run({"export", folder + "/p.qxa"}).exitCode, 1);
    EXPECT_EQ(cli.Run({"macro", "new", "Burst", "down:A", "up:A"}).exitCode, 0);
    EXPECT_EQ(cli.Run({"macro", "export", "Burst", folder + "/b.qxm"}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(MouseMissing, ListSaysSoAndSucceedsOtherCommandsFail)
{
    ZorvanctlRunner cli(QStringLiteral("99:99"));  // a model cfg.ini does not describe
    const CliResult list = cli.Run({"list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.isEmpty()) << list.out.toStdString();
    EXPECT_EQ(FirstLine(list.err),
              "zorvanctl: no supported mouse found: the emulated mouse reports model 99:99, which cfg.ini does not describe");
    const CliResult json = cli.Run({"--json", "list"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).object().value("devices").toArray().size(), 0);

    for (const QStringList& command : std::vector<QStringList>{{"read"}, {"set", "rate", "500"}, {"dump-eeprom"}}) {
        const CliResult result = cli.Run(command);
        EXPECT_EQ(result.exitCode, 1) << command.join(u' ').toStdString();
        EXPECT_TRUE(FirstLine(result.err).startsWith("zorvanctl: no supported mouse found: ")) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

TEST(Help, OneTableServesTheOverviewEachCommandTheManualAndTheCompletion)
{
    ZorvanctlRunner cli;
    const CliResult version = cli.Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^zorvanctl \\d+\\.\\d+")).match(version.out).hasMatch()) << version.out.toStdString();

    const CliResult overview = cli.Run({"--help"});
    ASSERT_EQ(overview.exitCode, 0);
    const CliResult man = cli.Run({"help", "--man"});
    ASSERT_EQ(man.exitCode, 0);
    EXPECT_TRUE(man.out.startsWith(".TH ZORVANCTL 1")) << man.out.left(80).toStdString();
    const CliResult completion = cli.Run({"help", "--bash-completion"});
    ASSERT_EQ(completion.exitCode, 0);
    EXPECT_TRUE(completion.out.contains("complete -o filenames -F _zorvanctl zorvanctl"));

    const QStringList commands{"assign", "cfg-check", "dump-eeprom", "emulator", "export", "help", "import", "lang-check",
                               "light", "list", "macro", "profile", "read", "restore-defaults", "set", "watch"};
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        const CliResult help = cli.Run({"help", command});
        ASSERT_EQ(help.exitCode, 0);
        EXPECT_EQ(cli.Run({command, "--help"}).out, help.out);
        // Each usage form of the command's help is in the overview and (escaped) in the manual.
        for (const QString& line : help.out.split(u'\n')) {
            if (!line.startsWith(QStringLiteral("  zorvanctl [GLOBAL OPTIONS] ")))
                continue;
            const QString usage = line.mid(29);
            EXPECT_TRUE(QRegularExpression("\\n  " + QRegularExpression::escape(usage) + "( |\\n)").match(overview.out).hasMatch()) << usage.toStdString();
            EXPECT_TRUE(man.out.contains(QString(usage).replace(u'-', QStringLiteral("\\-")))) << usage.toStdString();
        }
        EXPECT_TRUE(QRegularExpression(QStringLiteral("\\n        %1\\)\\n").arg(command)).match(completion.out).hasMatch());
    }
    EXPECT_TRUE(completion.out.contains("rate) w=\"1000 125 250 500\""));
    EXPECT_TRUE(cli.Run({"help", "macro"}).out.contains("down:KEY"));
}

// The field names the contract fixes.
TEST(JsonContract, ReadKeepsItsFieldNames)
{
    ZorvanctlRunner cli;
    const QJsonObject read = cli.Json({"read"});
    for (const char* field : {"profile", "current_dpi_level", "record"})
        EXPECT_TRUE(read.contains(field)) << field;
    const QJsonObject record = read.value("record").toObject();
    for (const char* field : {"id", "name", "current_key_set", "keys", "polling_rate", "xy_separate", "dpi_levels",
                              "dpi_level_count", "sensor", "lod", "ripple", "angle_snapping", "sleep_time", "debounce",
                              "light_off_moving", "dpi_effect", "main_light", "logo_light", "wheel_lines", "double_click",
                              "pointer_speed", "precision", "trails"})
        EXPECT_TRUE(record.contains(field)) << field;
    const QJsonObject key = record.value("keys").toArray()[0].toArray()[0].toObject();
    for (const char* field : {"dwFunID", "matrix", "dwMacroID", "stCombo", "dwParameter"})
        EXPECT_TRUE(key.contains(field)) << field;
    for (const char* field : {"x", "y", "colour", "hidden"})
        EXPECT_TRUE(record.value("dpi_levels").toArray()[0].toObject().contains(field)) << field;
    for (const char* field : {"mode", "speed", "parameter"})
        EXPECT_TRUE(record.value("dpi_effect").toObject().contains(field)) << field;
    for (const char* field : {"mode", "speed", "brightness", "colour"})
        EXPECT_TRUE(record.value("main_light").toObject().contains(field)) << field;

    const QJsonObject device = cli.Json({"list"}).value("devices").toArray()[0].toObject();
    for (const char* field : {"path", "vid", "pid", "version", "cid", "mid", "connected"})
        EXPECT_TRUE(device.contains(field)) << field;
}

TEST(ReadOutput, ShowsOnlyWhatTheModelHasWithNames)
{
    ZorvanctlRunner cli;  // the first model: no lift-off, no logo lighting, no separate X/Y
    const CliResult read = cli.Run({"read"});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_FALSE(read.out.contains("lift-off"));
    EXPECT_FALSE(read.out.contains("logo lighting"));
    EXPECT_FALSE(read.out.contains("separate X/Y"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("main lighting +[A-Z][a-z]")).match(read.out).hasMatch()) << read.out.toStdString();
    EXPECT_TRUE(read.out.contains("polling rate     1000 Hz"));

    ZorvanctlRunner other(QStringLiteral("1a:03"));  // lift-off and logo lighting
    const CliResult more = other.Run({"read"});
    ASSERT_EQ(more.exitCode, 0) << more.err.toStdString();
    EXPECT_TRUE(more.out.contains("lift-off"));
    EXPECT_TRUE(more.out.contains("logo lighting"));
}

TEST(ReadOutput, EffectsAreTakenByName)
{
    ZorvanctlRunner cli;
    const CliResult result = cli.Run({"light", "main", "breathing"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.section(u'\n', 0, 0), "main lighting: Breathing");
    EXPECT_EQ(cli.Memory(0xA0, 1), std::vector<uint8_t>{0x01}) << "main effect 2 is mode byte 1";
}

// The profile store as the program saved it: the record of on-board profile `index`.
ProfileRecord StoredProfile(const ZorvanctlRunner& cli, int index)
{
    const QByteArray store = test::ReadFile(cli.File("data/PRO_1a01.dct"));
    ProfileRecord record{};
    if (store.size() >= 4 + qsizetype(sizeof record) * (index + 1))
        std::memcpy(&record, store.constData() + 4 + sizeof record * size_t(index), sizeof record);
    return record;
}

// A settings command reads the settings part of the profile, `assign` the key's areas, `read`
// everything; what a partial read brought in never reaches the local store, the change does.
TEST(PartialReads, ReadWhatTheCommandNeedsAndKeepThemOutOfTheStore)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"read"}).exitCode, 0);
    const int whole = cli.LastRequestCount();
    const ProfileRecord before = StoredProfile(cli, 0);
    ASSERT_EQ(cli.Run({"emulator", "press", "light-mode"}).exitCode, 0);  // the mouse changes by itself

    ASSERT_EQ(cli.Run({"set", "rate", "250"}).exitCode, 0);
    const int settings = cli.LastRequestCount();
    ProfileRecord stored = StoredProfile(cli, 0);
    EXPECT_EQ(stored.pollingRate, 0x250) << "the change reaches the store";
    EXPECT_EQ(stored.mainLight.mode, before.mainLight.mode) << "what the partial read brought in does not";

    ASSERT_EQ(cli.Run({"assign", "5", "middle"}).exitCode, 0);
    const int keys = cli.LastRequestCount();
    EXPECT_EQ(StoredProfile(cli, 0).Key[0][4].dwFunID, kFunMiddleButton);

    EXPECT_GT(whole, 60);
    EXPECT_LT(settings, 25);
    EXPECT_LT(keys, 25);

    // A whole read takes the mouse's state into the store again.
    const QJsonObject read = cli.Json({"read"});
    stored = StoredProfile(cli, 0);
    EXPECT_NE(stored.mainLight.mode, before.mainLight.mode);
    EXPECT_EQ(stored.mainLight.mode, read.value("record").toObject().value("main_light").toObject().value("mode").toInt());
}

}  // namespace
}  // namespace zorvan
