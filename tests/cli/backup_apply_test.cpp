// zorvanctl backup, restore and apply end to end against one emulated mouse kept in its state
// file: the four EEPROM images come back byte for byte, damaged files and another model's
// backups are refused with nothing written, and a profile document applied sends exactly what
// the single command that changes the same thing sends.
#include "zorvanctl_runner.h"

#include "app/paths.h"
#include "macro/macro_files.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::CliResult;
using test::ZorvanctlRunner;
using Bytes = std::vector<uint8_t>;

constexpr int kProfileSize = 0x1B00;

void Ok(const ZorvanctlRunner& cli, const QStringList& args)
{
    const CliResult result = cli.Run(args);
    ASSERT_EQ(result.exitCode, 0) << args.join(u' ').toStdString() << ": " << result.err.toStdString();
}

std::array<Bytes, 4> Images(const ZorvanctlRunner& cli)
{
    std::array<Bytes, 4> images;
    for (int p = 0; p < 4; ++p)
        images[size_t(p)] = cli.Memory(p + 1, 0, kProfileSize);
    return images;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void AddMacroFile(const ZorvanctlRunner& cli, const QString& name)
{
    StMacro macro{};
    macro.magic = kMacroMagic;
    macro.id = NewTimeStampId();
    macro.loopMode = kLoopCount;
    macro.repeatCount = 2;
    SetMacroName(macro, name);
    for (int i = 0; i < 4; ++i)
        macro.events[i] = {uint16_t('A' + i / 2), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 15};
    const AppPaths saved = Paths();
    Paths().dataDir = cli.File("data/");
    ASSERT_TRUE(WriteMacroFile(MacroFilePath(name, macro.id), macro).Ok());
    Paths() = saved;
}

// Four profiles that differ, profile 2 active.
void MakeFourDifferentProfiles(const ZorvanctlRunner& cli)
{
    AddMacroFile(cli, QStringLiteral("Reload"));
    Ok(cli, {"set", "rate", "500"});
    Ok(cli, {"profile", "2"});
    Ok(cli, {"assign", "4", "media", "volume-up"});
    Ok(cli, {"assign", "3", "macro", "Reload"});
    Ok(cli, {"profile", "3"});
    Ok(cli, {"set", "levels", "3"});
    Ok(cli, {"profile", "4"});
    Ok(cli, {"light", "dpi", "1", "--speed", "7"});
    Ok(cli, {"profile", "2"});
}

TEST(BackupCommands, BackupChangeEveryProfileRestoreGivesTheImagesBack)
{
    ZorvanctlRunner cli;
    MakeFourDifferentProfiles(cli);
    const std::array<Bytes, 4> originals = Images(cli);
    const QString file = cli.File("mouse.zvb");
    const CliResult backup = cli.Run({"backup", file});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    EXPECT_EQ(backup.err.count(QStringLiteral("backup: on-board profile")), 4) << backup.err.toStdString();
    EXPECT_EQ(Images(cli), originals) << "a backup writes nothing";
    EXPECT_EQ(cli.Json({"read"}).value("profile").toInt(), 1) << "profile 2 is active again";

    for (int p = 1; p <= 4; ++p) {
        Ok(cli, {"profile", QString::number(p)});
        Ok(cli, {"set", "rate", "125"});
        Ok(cli, {"assign", "3", "middle"});
        Ok(cli, {"assign", "4", "back"});
    }
    Ok(cli, {"profile", "3"});
    ASSERT_NE(cli.Memory(2, 0, kProfileSize), originals[1]);

    const CliResult restore = cli.Run({"restore", file});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(restore.err.count(QStringLiteral("read back and checked")), 4) << restore.err.toStdString();
    const std::array<Bytes, 4> restored = Images(cli);
    for (size_t p = 0; p < 4; ++p)
        EXPECT_EQ(restored[p], originals[p]) << "profile " << p + 1;
    const QJsonObject read = cli.Json({"read"});
    EXPECT_EQ(read.value("profile").toInt(), 2) << "the profile active before the restore stays active";
    EXPECT_TRUE(cli.Run({"profile", "2"}).out.contains("macro Reload")) << "the macro key has its macro";
}

// The profile read decodes what it reads into the log; a decoding of bytes read before says so.
int ReadsOfTheMouse(const CliResult& result)
{
    return int(result.err.count(QStringLiteral("GetProfile (0x00~0x0B)"))) -
           int(result.err.count(QStringLiteral("from the bytes read before")));
}

TEST(BackupCommands, EachProfileIsReadFromTheMouseOnce)
{
    ZorvanctlRunner cli;
    AddMacroFile(cli, QStringLiteral("Reload"));
    Ok(cli, {"assign", "3", "macro", "Reload"});
    const QString file = cli.File("mouse.zvb");
    struct Case {
        QStringList args;
        int reads;  // whole-profile reads of the mouse
    };
    const Case cases[] = {
        {{"backup", file}, 4},                  // the active profile at the take-over, the others in the job
        {{"restore", file}, 1},                 // the active profile once written
        {{"restore", "--no-verify", file}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult result = cli.Run(QStringList{QStringLiteral("-v")} + c.args);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(ReadsOfTheMouse(result), c.reads);
    }
    EXPECT_TRUE(cli.Run({"read"}).out.contains("macro Reload")) << "the macro key has its macro";
}

TEST(BackupCommands, RestoreChecksTheFileAndTheModelBeforeWritingAnything)
{
    ZorvanctlRunner made;
    const QString file = made.File("mouse.zvb");
    Ok(made, {"backup", file});
    const QByteArray good = ReadFile(file);

    ZorvanctlRunner other(QStringLiteral("1a:03"));
    Ok(other, {"set", "rate", "250"});
    const std::array<Bytes, 4> before = Images(other);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* says;
    };
    QByteArray flipped = good;
    flipped[700] = char(flipped[700] ^ 0x04);
    QByteArray newer = good;
    newer[8] = 7;
    const Case cases[] = {
        {"another model", good, "backup of the model 1a:01"},
        {"truncated", good.left(good.size() - 100), "truncated"},
        {"a flipped byte", flipped, "damaged"},
        {"an unknown version", newer, "version 7"},
        {"not a backup", QByteArray("{}"), "not a mouse backup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = other.File(QStringLiteral("in.zvb"));
        WriteFile(path, c.bytes);
        const CliResult result = other.Run({"restore", path});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains(QLatin1String(c.says))) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(path)) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("nothing was written"))) << result.err.toStdString();
        EXPECT_EQ(Images(other), before);
    }
    EXPECT_EQ(other.Run({"restore"}).exitCode, 2);
    EXPECT_EQ(other.Run({"backup"}).exitCode, 2);
    EXPECT_EQ(other.Run({"restore", other.File("missing.zvb")}).exitCode, 1);
}

// The requests a command made, from its log: each apply request and each EEPROM write.
QStringList Requests(const QString& log)
{
    static const QRegularExpression apply(QStringLiteral("nFlag=0x[0-9a-f]+, nData=0x[0-9a-f]+"));
    QStringList requests;
    const QStringList lines = log.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto match = apply.match(lines[i]); match.hasMatch())
            requests << match.captured();
        else if (lines[i].contains(QStringLiteral("WriteEEPROM( Addr=")))
            requests << lines[i].mid(lines[i].indexOf(QStringLiteral("WriteEEPROM"))) + u' ' + lines.value(i + 1).trimmed();
    }
    return requests;
}

struct SingleCommandCase {
    const char* name;
    const char* model;
    QStringList command;
};

class ApplyCommand : public ::testing::TestWithParam<SingleCommandCase> {};

// A document that differs from the mouse's profile in what one command changes (the document
// `read --json` prints after that command) is applied with exactly that command's requests.
TEST_P(ApplyCommand, ADocumentChangingOneThingSendsWhatItsCommandSends)
{
    const SingleCommandCase& c = GetParam();
    ZorvanctlRunner single(QLatin1String(c.model));
    const CliResult direct = single.Run(QStringList{"-v"} + c.command);
    ASSERT_EQ(direct.exitCode, 0) << direct.err.toStdString();
    const CliResult read = single.Run({"--json", "read"});
    ASSERT_EQ(read.exitCode, 0);

    ZorvanctlRunner applied(QLatin1String(c.model));
    const QString document = applied.File("doc.json");
    WriteFile(document, read.out.toUtf8());
    const CliResult apply = applied.Run({"-v", "apply", document, "--no-verify"});
    ASSERT_EQ(apply.exitCode, 0) << apply.err.toStdString();
    EXPECT_TRUE(apply.out.startsWith(QStringLiteral("applied 1 change(s)"))) << apply.out.toStdString();
    EXPECT_EQ(Requests(apply.err), Requests(direct.err));
    EXPECT_FALSE(Requests(direct.err).isEmpty());
    EXPECT_EQ(applied.Memory(0, kProfileSize), single.Memory(0, kProfileSize));
}

const SingleCommandCase kSingleCommands[] = {
    {"polling_rate", "", {"set", "rate", "500"}},
    {"dpi_value", "", {"set", "dpi", "2", "1600"}},
    {"level_count", "", {"set", "levels", "3"}},
    {"level_colour", "", {"set", "dpi-colour", "1", "102030"}},
    {"key_middle", "", {"assign", "5", "middle"}},
    {"key_fire", "", {"assign", "3", "fire", "3", "20"}},
    {"key_media", "", {"assign", "4", "media", "volume-up"}},
    {"dpi_lighting", "", {"light", "dpi", "1", "--speed", "10"}},
    {"lift_off", "1a:03", {"set", "lod", "2"}},
    {"logo_lighting", "1a:03", {"light", "logo", "2", "--colour", "ff0000", "--speed", "4"}},
};

INSTANTIATE_TEST_SUITE_P(Table, ApplyCommand, ::testing::ValuesIn(kSingleCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyCommandDocuments, ReadThenApplyChangesNothing)
{
    ZorvanctlRunner cli;
    const CliResult read = cli.Run({"--json", "read"});
    ASSERT_EQ(read.exitCode, 0);
    const QString document = cli.File("doc.json");
    WriteFile(document, read.out.toUtf8());
    const CliResult apply = cli.Run({"-v", "apply", document});
    ASSERT_EQ(apply.exitCode, 0) << apply.err.toStdString();
    EXPECT_TRUE(apply.out.startsWith(QStringLiteral("nothing to change"))) << apply.out.toStdString();
    EXPECT_TRUE(Requests(apply.err).isEmpty()) << Requests(apply.err).join(u'\n').toStdString();
}

// zorvanctl ARGS on the runner's mouse (its folders and state file).
QStringList On(const ZorvanctlRunner& cli, const QStringList& args)
{
    return QStringList{"--app-dir", test::DefaultDataDir(), "--data-dir", cli.File("data"),
                       "--emulate=" + cli.File("mouse.state")} +
           args;
}

TEST(ApplyCommandDocuments, ReadPipedIntoApplyChangesNothing)
{
    ZorvanctlRunner cli;
    Ok(cli, {"read"});
    QProcess read;
    QProcess apply;
    read.setStandardOutputProcess(&apply);
    read.start(QStringLiteral(ZORVANCTL_PATH), On(cli, {"--json", "read"}));
    apply.start(QStringLiteral(ZORVANCTL_PATH), On(cli, {"apply", "-"}));
    ASSERT_TRUE(read.waitForFinished(60000));
    ASSERT_TRUE(apply.waitForFinished(60000));
    EXPECT_EQ(apply.exitCode(), 0) << apply.readAllStandardError().toStdString();
    EXPECT_TRUE(apply.readAllStandardOutput().startsWith("nothing to change"));
}

TEST(ApplyCommandDocuments, WrongDocumentsAreRefusedNamingTheFieldWithNothingWritten)
{
    ZorvanctlRunner cli;
    const QJsonObject read = cli.Json({"read"});
    ASSERT_FALSE(read.isEmpty());
    const Bytes before = cli.Memory(0, kProfileSize);
    const auto withRecord = [&read](const std::function<void(QJsonObject&)>& edit) {
        QJsonObject document = read;
        QJsonObject record = document.value("record").toObject();
        edit(record);
        document.insert("record", record);
        return QJsonDocument(document).toJson();
    };
    const auto setKey = [](QJsonObject& record, int k, qint64 funId) {
        QJsonArray sets = record.value("keys").toArray();
        QJsonArray keys = sets[0].toArray();
        QJsonObject key = keys[k].toObject();
        key.insert("dwFunID", funId);
        keys[k] = key;
        sets[0] = keys;
        record.insert("keys", sets);
    };
    struct Case {
        const char* name;
        QByteArray document;
        const char* says;
    };
    const Case cases[] = {
        {"not JSON", "{", "not JSON"},
        {"unknown field", withRecord([](QJsonObject& r) { r.insert("colour", 1); }), "record.colour: not a field"},
        {"wrong type", withRecord([](QJsonObject& r) { r.insert("polling_rate", "fast"); }),
         "record.polling_rate: expected an integer"},
        {"wrong type deep",
         withRecord([](QJsonObject& r) {
             QJsonArray levels = r.value("dpi_levels").toArray();
             QJsonObject level = levels[2].toObject();
             level.insert("x", 800.5);
             levels[2] = level;
             r.insert("dpi_levels", levels);
         }),
         "record.dpi_levels[2].x: expected an integer"},
        {"no left click left",
         withRecord([&](QJsonObject& r) { setKey(r, 0, 0x01000013); }),  // key 1 becomes a right click
         "record.keys[0][0]"},
        {"a DPI value the sensor does not offer",
         withRecord([](QJsonObject& r) {
             QJsonArray levels = r.value("dpi_levels").toArray();
             QJsonObject level = levels[0].toObject();
             level.insert("x", 123457);
             level.insert("y", 123457);
             levels[0] = level;
             r.insert("dpi_levels", levels);
         }),
         "record.dpi_levels[0]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = cli.File("bad.json");
        WriteFile(path, c.document);
        const CliResult result = cli.Run({"-v", "apply", path});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.contains(QLatin1String(c.says))) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("nothing was changed"))) << result.err.toStdString();
        EXPECT_TRUE(Requests(result.err).isEmpty());
        EXPECT_EQ(cli.Memory(0, kProfileSize), before);
    }
}

TEST(ApplyCommandDocuments, SeveralChangesAreWrittenAndReadBack)
{
    ZorvanctlRunner cli;
    QJsonObject document = cli.Json({"read"});
    QJsonObject record = document.value("record").toObject();
    record.insert("polling_rate", 0x250);
    record.insert("name", "Work");
    QJsonObject effect = record.value("dpi_effect").toObject();
    effect.insert("mode", 1);
    effect.insert("speed", 3);
    record.insert("dpi_effect", effect);
    document.insert("record", record);
    const QString path = cli.File("doc.json");
    WriteFile(path, QJsonDocument(document).toJson());
    const CliResult result = cli.Run({"-v", "apply", path});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(result.err.contains(QStringLiteral("Write check"))) << "the read-back found no difference";
    const QJsonObject after = cli.Json({"read"}).value("record").toObject();
    EXPECT_EQ(after.value("polling_rate").toInt(), 0x250);
    EXPECT_EQ(after.value("name").toString(), QStringLiteral("Work"));
    EXPECT_EQ(after.value("dpi_effect").toObject().value("speed").toInt(), 3);
    EXPECT_EQ(cli.Memory(0x00, 2), (Bytes{0x04, 0x51}));
}

}  // namespace
}  // namespace zorvan
