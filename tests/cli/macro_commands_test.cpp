// zorvanctl's macro file commands end to end (new, import, export, delete with the orphaned-key
// check on the mouse), and the short event syntax of `macro new`.
#include "zorvanctl_runner.h"

#include "app/paths.h"
#include "cli/macro_event_syntax.h"
#include "macro/macro_commands.h"
#include "macro/macro_file.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "support/test_support.h"

#include <QFileInfo>
#include <QJsonArray>

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::CliResult;
using test::ZorvanctlRunner;
using Bytes = std::vector<uint8_t>;

TEST(MacroCommands, NewExportImportAndTheNameRules)
{
    ZorvanctlRunner cli;
    const CliResult made = cli.Run({"macro", "new", "Burst.v2", "down:A", "30ms", "up:A", "--repeat", "3"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const QString file = cli.File("data/Mac/Burst.qxm");
    ASSERT_TRUE(QFileInfo::exists(file)) << "the name loses its last '.' and what follows";

    const QJsonObject shown = cli.Json({"macro", "show", file});
    EXPECT_EQ(shown.value("name").toString(), "Burst");
    EXPECT_EQ(shown.value("repeat_count").toInt(), 3);
    const QJsonArray events = shown.value("events").toArray();
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0].toObject().value("code").toInt(), 'A');
    EXPECT_EQ(events[0].toObject().value("action").toInt(), 1);
    EXPECT_EQ(events[0].toObject().value("delay").toInt(), 30);
    EXPECT_EQ(events[1].toObject().value("action").toInt(), 0);

    const CliResult again = cli.Run({"macro", "new", "burst", "down:B"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, "zorvanctl: This name is already used here. Choose another name.\n");

    const QString exported = cli.File("Copy.qxm");
    ASSERT_EQ(cli.Run({"macro", "export", "Burst", exported}).exitCode, 0);
    EXPECT_EQ(test::ReadFile(exported), test::ReadFile(file)) << "a byte copy of the macro's file";
    test::WriteFile(exported, test::ReadFile(exported));  // replaced when it exists
    ASSERT_EQ(cli.Run({"macro", "export", "Burst", exported}).exitCode, 0);
    // A copy that fails (a name longer than the file system takes) says which file.
    const QString tooLong = cli.File(QString(300, u'a') + ".qxm");
    const CliResult failed = cli.Run({"macro", "export", "Burst", tooLong});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err, "zorvanctl: Export failed: " + tooLong + " cannot be written (" +
                              QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)) + ").\n");

    const CliResult imported = cli.Run({"macro", "import", exported});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QJsonArray library = cli.Json({"macro", "list"}).value("macros").toArray();
    ASSERT_EQ(library.size(), 2);
    QStringList names;
    for (const auto& m : library)
        names << m.toObject().value("name").toString();
    EXPECT_TRUE(names.contains("Copy")) << "named after the file";
    EXPECT_NE(library[0].toObject().value("id").toInt(), library[1].toObject().value("id").toInt());
    EXPECT_EQ(cli.Run({"macro", "import", exported}).exitCode, 1) << "the name is taken now";
}

TEST(MacroCommands, ImportRefusesWhatTheEditorRefusesWithItsMessage)
{
    ZorvanctlRunner cli;
    test::WriteFile(cli.File("short.qxm"), QByteArray(100, '\0'));
    StMacro wheel = NewEmptyMacro(QStringLiteral("Wheel"));
    wheel.events[0] = {kWheelUp, kActionPress, 10};
    const auto image = EncodeMacroFile(wheel);
    test::WriteFile(cli.File("wheel.qxm"), QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())));
    test::WriteFile(cli.File("junk.qxm"), QByteArray(834, 'x'));
    const struct {
        const char* file;
        const char* message;
    } cases[] = {{"short.qxm", "Read macro file failed. error=0x"},
                 {"wheel.qxm", "This macro contains unsupported key."},
                 {"junk.qxm", "This is not a valid macro file."}};
    for (const auto& c : cases) {
        const CliResult result = cli.Run({"macro", "import", cli.File(c.file)});
        EXPECT_EQ(result.exitCode, 1) << c.file;
        EXPECT_TRUE(result.err.startsWith("zorvanctl: " + cli.File(c.file) + ": " + c.message)) << result.err.toStdString();
    }
    EXPECT_EQ(cli.Json({"macro", "list"}).value("macros").toArray().size(), 0);
}

// zorvanctl imports a file under the name, and into the file, the macro page gives it: the
// title made safe for a file name and cut to 39 characters.
TEST(MacroCommands, ImportNamesTheMacroAsTheWindowDoes)
{
    ZorvanctlRunner cli;
    StMacro macro = NewEmptyMacro(QStringLiteral("inside"));
    macro.events[0] = {'A', kActionPress, 10};
    const auto image = EncodeMacroFile(macro);
    const QByteArray bytes(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
    const QString titles[] = {QStringLiteral("Re\\load"), QStringLiteral("a..b"), QString(45, u'x')};
    for (const QString& title : titles) {
        SCOPED_TRACE(title.toStdString());
        const QString path = cli.File(QStringLiteral("in/") + title + QStringLiteral(".qxm"));
        ASSERT_TRUE(test::WriteFile(path, bytes));

        // The macro page's import, on a macro folder of its own.
        test::TempDir window;
        const QString savedDataDir = Paths().dataDir;
        Paths().dataDir = window.Path();
        MacroTree tree;
        const MacroCommandResult shown = ImportMacro(tree, nullptr, path);
        const QString windowFile = shown.ok ? QFileInfo(TreeItem_To_FilePath(shown.item)).fileName() : QString();
        const QString windowName = shown.ok ? shown.item->text : QString();
        Macros().Clear();
        Paths().dataDir = savedDataDir;
        ASSERT_TRUE(shown.ok) << shown.message.toStdString();

        const QJsonObject imported = cli.Json({"macro", "import", path});
        EXPECT_EQ(imported.value("name").toString(), windowName);
        EXPECT_EQ(QFileInfo(imported.value("file").toString()).fileName(), windowFile);
    }
}

// Deleting a macro resets the keys bound to it, on the mouse too, by the request the window
// sends; its file leaves the macro folder.
TEST(MacroCommands, DeleteResetsTheKeysBoundToIt)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"read"}).exitCode, 0);
    const Bytes factory = cli.Memory(0x68, 4);  // key 3, matrix position 3
    ASSERT_EQ(cli.Run({"macro", "new", "Burst", "down:A", "up:A"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"assign", "3", "macro", "Burst"}).exitCode, 0);
    ASSERT_EQ(cli.Memory(0x68, 1), Bytes{0x06});

    const CliResult deleted = cli.Run({"macro", "delete", "Burst"});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(cli.Memory(0x68, 4), factory);
    EXPECT_FALSE(QFileInfo::exists(cli.File("data/Mac/Burst.qxm")));
    EXPECT_EQ(cli.Json({"macro", "list"}).value("macros").toArray().size(), 0);

    const CliResult missing = cli.Run({"macro", "delete", "Burst"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(cli.LastRequestCount(), 0) << "looked up before the mouse is touched";
}

TEST(MacroCommands, DeleteNeedsTheMouseAndKeepsTheMacroWithoutIt)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"macro", "new", "Burst", "down:A", "up:A"}).exitCode, 0);
    ASSERT_EQ(cli.Run({"emulator", "link", "off"}).exitCode, 0);
    const CliResult result = cli.Run({"macro", "delete", "Burst"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.startsWith("zorvanctl: no supported mouse found")) << result.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(cli.File("data/Mac/Burst.qxm")));
}

struct EventCase {
    const char* name;
    QStringList words;
    std::vector<MacroEvent> events;  // empty: refused
    const char* error = "";          // the start of the refusal
};

class MacroEventSyntax : public ::testing::TestWithParam<EventCase> {};

TEST_P(MacroEventSyntax, WordsBecomeEventsOrAreRefusedByName)
{
    const EventCase& c = GetParam();
    StMacro macro = NewEmptyMacro(QStringLiteral("m"));
    const std::optional<QString> error = cli::ParseMacroEvents(c.words, 10, macro);
    if (c.events.empty()) {
        ASSERT_TRUE(error.has_value());
        EXPECT_TRUE(error->startsWith(QLatin1String(c.error))) << error->toStdString();
        return;
    }
    ASSERT_FALSE(error.has_value()) << error->toStdString();
    ASSERT_EQ(MacroEventCount(macro), int(c.events.size()));
    for (size_t i = 0; i < c.events.size(); ++i) {
        SCOPED_TRACE(i);
        const MacroEvent got = macro.events[i];
        const MacroEvent want = c.events[i];
        EXPECT_EQ(int(got.code), int(want.code));
        EXPECT_EQ(int(got.action), int(want.action));
        EXPECT_EQ(int64_t(got.delay), int64_t(want.delay));
    }
}

const EventCase kEventCases[] = {
    {"key_with_delays", {"down:A", "30ms", "up:a", "45"}, {{'A', kActionPress, 30}, {'A', kActionRelease, 45}}},
    {"delay_defaults_to_min", {"down:F5", "up:F5"}, {{0x74, kActionPress, 10}, {0x74, kActionRelease, 10}}},
    {"mouse_button", {"down:mouse-left", "up:mouse-back"}, {{kMouseLeft, kActionPress, 10}, {kMouseBack, kActionRelease, 10}}},
    {"move", {"move:-1,2"}, {{0x02FF, kActionMove, 10}}},
    {"move_zero", {"move:0,0"}, {}, "'move:0,0': a move is move:X,Y"},
    {"move_too_far", {"move:200,0"}, {}, "'move:200,0': a move is move:X,Y"},
    {"delay_below_min", {"down:A", "5ms"}, {}, "'5ms': a delay is 10..65535 ms"},
    {"delay_above_max", {"down:A", "70000"}, {}, "'70000': a delay is 10..65535 ms"},
    {"no_event", {}, {}, "a macro needs at least one event"},
    {"nonsense", {"press:A"}, {}, "'press:A' is no event"},
};

INSTANTIATE_TEST_SUITE_P(Table, MacroEventSyntax, ::testing::ValuesIn(kEventCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MacroEventSyntax, AtMostSeventyEvents)
{
    StMacro macro = NewEmptyMacro(QStringLiteral("m"));
    QStringList words;
    for (int i = 0; i < 70; ++i)
        words << QStringLiteral("down:A");
    EXPECT_FALSE(cli::ParseMacroEvents(words, 10, macro).has_value());
    words << QStringLiteral("up:A");
    EXPECT_EQ(cli::ParseMacroEvents(words, 10, macro), QStringLiteral("a macro holds at most 70 events"));
}

}  // namespace
}  // namespace zorvan
