// The rules the macro commands share: the name rule and the reading of a file to import.
#include "macro/macro_rules.h"

#include "macro/macro_file.h"
#include "macro_test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

TEST(MacroName, AcceptsOrRefusesAsTheCommandsDo)
{
    const struct {
        const char* typed;
        const char* accepted;  // null: refused
    } cases[] = {
        {"Reload", "Reload"},    {"a.b", "a"},           {"v1.2.old", "v1.2"},  {"no dot", "no dot"},
        {"my-macro", nullptr},   {"50%", nullptr},       {"a/b", nullptr},      {"a\\b", nullptr},
        {"why?", nullptr},       {"x+y", nullptr},       {"a=b", nullptr},      {"a*", nullptr},
        {"R&D", nullptr},        {"go!", nullptr},       {"#1", nullptr},       {"a;b", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<QString> name = CheckedMacroName(QString::fromUtf8(c.typed));
        if (c.accepted)
            EXPECT_EQ(name, QString::fromUtf8(c.accepted)) << c.typed;
        else
            EXPECT_FALSE(name) << c.typed;
    }
}

TEST(MacroImportRead, RefusesWithTheMessageOfTheFailingStep)
{
    QTemporaryDir dir;
    const auto write = [&dir](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const auto encoded = [](const StMacro& m) {
        const auto bytes = EncodeMacroFile(m);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    };
    const StMacro good = test::MakeMacro(QStringLiteral("Good"), {{kMouseLeft, kActionPress, 10}, {kMouseLeft, kActionRelease, 0}});
    const StMacro wheel = test::MakeMacro(QStringLiteral("Wheel"), {{kWheelUp, kActionPress, 10}});
    // A move's code holds steps, not a pseudo-code: 0xF5 here is a step pair, not the wheel.
    const StMacro move = test::MakeMacro(QStringLiteral("Move"), {{kWheelUp, kActionMove, 10}});
    QByteArray badMagic = encoded(good);
    badMagic[0] = char(badMagic[0] ^ 0x10);

    const struct {
        QString path;
        const char* message;  // empty: accepted
    } cases[] = {
        {dir.filePath(QStringLiteral("missing.qxm")), "Open macro file failed. error=0x2"},
        {write(QStringLiteral("short.qxm"), encoded(good).left(833)), "Read macro file failed. error=0x0"},
        {write(QStringLiteral("magic.qxm"), badMagic), "This is not a valid macro file."},
        {write(QStringLiteral("wheel.qxm"), encoded(wheel)), "This macro contains unsupported key."},
        {write(QStringLiteral("move.qxm"), encoded(move)), ""},
        {write(QStringLiteral("good.qxm"), encoded(good) + QByteArray("trailing")), ""},
    };
    for (const auto& c : cases) {
        const MacroImport read = ReadMacroForImport(c.path);
        EXPECT_EQ(read.message, QString::fromUtf8(c.message)) << c.path.toStdString();
        EXPECT_EQ(read.macro.has_value(), *c.message == 0) << c.path.toStdString();
    }
}

}  // namespace
}  // namespace zorvan
