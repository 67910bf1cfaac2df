// zorvanctl watch against the emulated mouse: what it reports in its time, and its arguments.
// (Unplugging and plugging back while it runs are tested through the kernel in tests/kernel.)
#include "zorvanctl_runner.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::CliResult;
using test::ZorvanctlRunner;

TEST(WatchCommand, ReportsTheTakeOverReadAndEndsAfterItsTime)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"emulator", "press", "profile-next"}).exitCode, 0);
    const CliResult text = cli.Run({"watch", "1"});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.startsWith(QStringLiteral("profile 2 read\n"))) << text.out.toStdString();

    const QJsonArray events = cli.Json({"watch", "1"}).value("events").toArray();
    ASSERT_FALSE(events.isEmpty());
    EXPECT_EQ(events[0].toObject().value("event").toString(), QStringLiteral("profile-read"));
    EXPECT_EQ(events[0].toObject().value("profile").toInt(), 1);
}

TEST(WatchCommand, WantsItsTime)
{
    ZorvanctlRunner cli;
    for (const QStringList& args : {QStringList{"watch"}, QStringList{"watch", "0"}, QStringList{"watch", "soon"},
                                    QStringList{"watch", "1", "2"}, QStringList{"watch", "86401"}}) {
        const CliResult result = cli.Run(args);
        EXPECT_EQ(result.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("watch wants SECONDS"))) << result.err.toStdString();
    }
}

TEST(WatchCommand, WithoutAMouseItFailsInsteadOfWaiting)
{
    ZorvanctlRunner cli;
    ASSERT_EQ(cli.Run({"emulator", "link", "off"}).exitCode, 0);
    const CliResult result = cli.Run({"watch", "30"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("no supported mouse found"))) << result.err.toStdString();
}

}  // namespace
}  // namespace zorvan
