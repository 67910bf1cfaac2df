// zorvanctl watch SECONDS: take the mouse over as the GUI does and report what happens to it,
// one line each, for SECONDS: the profile reads, what the mouse reports by itself (DPI level,
// polling rate, lighting), the battery, its unplugging and its coming back (taken over and read
// again). The device monitor, the find timer and the take-over run as in the GUI.
#include "cli/cli.h"
#include "cli/mouse_command.h"

#include "app/device_description.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QTimer>

#include <cstdio>

namespace zorvan::cli {
namespace {

constexpr int kMaxSeconds = 24 * 3600;

int CurrentProfileIndex()
{
    std::lock_guard lock(Profiles().profileLock);
    return Profiles().profiles.CurrentIndex();
}

int Watch(CliContext& ctx)
{
    const auto seconds = ctx.args.size() == 1 ? ParseNumber(ctx.args[0]) : std::nullopt;
    if (!seconds || *seconds < 1 || *seconds > kMaxSeconds)
        return ctx.UsageError(QStringLiteral("watch wants SECONDS (1..%1)").arg(kMaxSeconds));
    // Each line as it happens, also into a pipe or a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    DeviceSession& session = mouse->Session();

    QJsonArray events;
    const auto report = [&](const QString& text, QJsonObject event) {
        if (ctx.json)
            events.append(event);
        else
            ctx.Print(text);
    };
    const auto profileRead = [&] {
        const int index = CurrentProfileIndex();
        report(QStringLiteral("profile %1 read").arg(index + 1),
               {{QStringLiteral("event"), QStringLiteral("profile-read")}, {QStringLiteral("profile"), index}});
    };
    profileRead();

    QEventLoop loop;
    bool closed = false;
    QObject::connect(&session, &DeviceSession::profileRead, &loop, profileRead);
    QObject::connect(&session, &DeviceSession::deviceLost, &loop, [&] {
        report(QStringLiteral("mouse gone"), {{QStringLiteral("event"), QStringLiteral("gone")}});
    });
    QObject::connect(&session, &DeviceSession::deviceChanged, &loop, [&] {
        const DeviceDescription& device = mouse->Device();
        if (session.Connected())
            report(QStringLiteral("mouse %1:%2 taken over")
                       .arg(device.CID, 2, 16, QLatin1Char('0'))
                       .arg(device.MID, 2, 16, QLatin1Char('0')),
                   {{QStringLiteral("event"), QStringLiteral("taken-over")},
                    {QStringLiteral("cid"), device.CID},
                    {QStringLiteral("mid"), device.MID}});
    });
    QObject::connect(&session, &DeviceSession::dpiLevelChanged, &loop, [&](int level) {
        report(QStringLiteral("DPI level %1").arg(level + 1),
               {{QStringLiteral("event"), QStringLiteral("dpi-level")}, {QStringLiteral("level"), level}});
    });
    QObject::connect(&session, &DeviceSession::pollingRateChanged, &loop, [&](int code) {
        report(QStringLiteral("polling rate code %1").arg(code),
               {{QStringLiteral("event"), QStringLiteral("polling-rate")}, {QStringLiteral("code"), code}});
    });
    QObject::connect(&session, &DeviceSession::lightingChanged, &loop, [&] {
        report(QStringLiteral("lighting changed"), {{QStringLiteral("event"), QStringLiteral("lighting")}});
    });
    QObject::connect(&session, &DeviceSession::dpiLightingChanged, &loop, [&] {
        report(QStringLiteral("DPI lighting changed"), {{QStringLiteral("event"), QStringLiteral("dpi-lighting")}});
    });
    QObject::connect(&session, &DeviceSession::powerRead, &loop, [&](bool charging, int level) {
        report(QStringLiteral("battery %1%%2").arg(level).arg(charging ? QStringLiteral(", charging") : QString()),
               {{QStringLiteral("event"), QStringLiteral("battery")},
                {QStringLiteral("level"), level},
                {QStringLiteral("charging"), charging}});
    });
    QObject::connect(&session, &DeviceSession::closeRequested, &loop, [&](const QString& textKey) {
        ctx.Fail(GetText(textKey.toStdString()).trimmed());
        closed = true;
        loop.quit();
    });
    QTimer::singleShot(int(*seconds) * 1000, &loop, &QEventLoop::quit);
    loop.exec();

    if (ctx.json)
        ctx.PrintJson(QJsonObject{{QStringLiteral("events"), events}});
    const int finished = mouse->Finish();
    return closed ? kFailed : finished;
}

const CommandRegistrar kWatch("watch",
                              "  watch SECONDS       take the mouse over and report what happens to it: profile\n"
                              "                      reads, DPI level, polling rate, lighting, battery, unplug and\n"
                              "                      plug back",
                              Watch);

}  // namespace
}  // namespace zorvan::cli
