#include "cli/mouse_access.h"

#include "app/configuration.h"
#include "device/eeprom_map.h"
#include "profile/factory_image.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QFile>
#include <QTimer>

namespace zorvan::cli {
namespace {

// Requests the emulated mice of this run received, counted when each goes.
int emulatorRequests = 0;

}  // namespace

std::unique_ptr<MouseAccess> MouseAccess::Open(CliContext& ctx, int& exitCode)
{
    if (ctx.model && !ctx.emulate) {
        exitCode = ctx.UsageError(QStringLiteral("--model chooses the emulated mouse's model; it needs --emulate"));
        return nullptr;
    }
    if (ctx.secondProductId && !ctx.emulate) {
        exitCode = ctx.UsageError(QStringLiteral("--pid2 chooses the emulated mouse's product id; it needs --emulate"));
        return nullptr;
    }
    BackendChoice choice;
    choice.emulate = ctx.emulate;
    choice.stateFile = ctx.emulateFile;
    choice.model = ctx.model;
    choice.secondProductId = ctx.secondProductId;
    QString error;
    std::unique_ptr<DeviceBackend> backend = CreateDeviceBackend(choice, &BuildFactoryImages, &error);
    if (!backend) {
        exitCode = ctx.Fail(QStringLiteral("cannot start the emulated mouse: %1").arg(error));
        return nullptr;
    }
    exitCode = kOk;
    return std::unique_ptr<MouseAccess>(new MouseAccess(ctx, std::move(backend)));
}

MouseAccess::MouseAccess(CliContext& ctx, std::unique_ptr<DeviceBackend> backend)
    : ctx_(ctx), backend_(std::move(backend)), discovery_(backend_->Hid(), table_, link_, notifier_)
{
    using namespace std::chrono_literals;
    discovery_.timing.notifyOpenPause = 10ms;
    discovery_.timing.probeWait = 30ms;
    discovery_.timing.identifyShortPause = 20ms;
}

MouseAccess::~MouseAccess()
{
    discovery_.ClearThread();
    if (MouseFirmware* mouse = backend_->EmulatedMouse())
        emulatorRequests += mouse->RequestCount();
}

const DeviceDescription* MouseAccess::EmulatedModel()
{
    const MouseFirmware* mouse = backend_->EmulatedMouse();
    if (mouse == nullptr)
        return nullptr;
    const FirmwareState state = mouse->State();
    const DeviceDescription* device = FindDeviceByIds(state.cid, state.mid);
    return device != nullptr && device->HoldsModel() ? device : nullptr;
}

QString MouseAccess::NoMouseHint()
{
    if (const int denied = discovery_.DeniedCount(); denied > 0)
        return QStringLiteral("%1 interface(s) of the mouse could not be opened for lack of permission; "
                              "install the udev rule that grants access to /dev/hidraw*")
            .arg(denied);
    if (const MouseFirmware* mouse = backend_->EmulatedMouse()) {
        const FirmwareState state = mouse->State();
        if (EmulatedModel() == nullptr)
            return QStringLiteral("the emulated mouse reports model %1:%2, which cfg.ini does not describe")
                .arg(state.cid, 2, 16, QLatin1Char('0'))
                .arg(state.mid, 2, 16, QLatin1Char('0'));
        if (discovery_.RunningIdentifications() > 0 || !state.linked)
            return QStringLiteral("the receiver is there but its mouse does not answer (switch the mouse on: "
                                  "zorvanctl --emulate=FILE emulator link on)");
        return QStringLiteral("the emulated mouse did not answer");
    }
    if (discovery_.RunningIdentifications() > 0)
        return QStringLiteral("the receiver is there but its mouse does not answer (switch the mouse on)");
    return QStringLiteral("plug the mouse's receiver or cable in and switch the mouse on");
}

void MouseAccess::Search(int timeoutMs)
{
    int pairs = discovery_.FindDev();
    if (pairs <= 0) {
        CarefulSearch();
        pairs = discovery_.FindDev();
    }
    if (pairs <= 0)
        return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&notifier_, &DeviceNotifier::identificationEnded, &loop, [&] {
        if (discovery_.RunningIdentifications() == 0)
            loop.quit();
    });
    deadline.start(timeoutMs);
    if (discovery_.RunningIdentifications() > 0)
        loop.exec();
}

bool MouseAccess::Connect()
{
    Search();
    const int current = table_.CurrentIndex();
    if (current < 0) {
        ctx_.Fail(QStringLiteral("no supported mouse found: %1").arg(NoMouseHint()));
        return false;
    }
    const DeviceSlot slot = table_.Get(current);
    link_.SetHandles(slot.hCmd, slot.hNotify);
    return true;
}

bool MouseAccess::SaveState()
{
    QString error;
    if (backend_->SaveState(&error))
        return true;
    ctx_.Fail(QStringLiteral("cannot save the emulated mouse to %1: %2").arg(ctx_.emulateFile, error));
    return false;
}

void NoteEmulatorRequests()
{
    const QString path = qEnvironmentVariable("ZORVANCTL_EMULATOR_REQUESTS");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(emulatorRequests) + '\n');
}

int ParseMemoryRange(CliContext& ctx, const QStringList& args, int first, int& address, int& length)
{
    address = 0;
    length = eeprom::kProfileSize;
    const int given = int(args.size()) - first;
    if (given == 0)
        return kOk;
    const auto a = given == 2 ? ParseNumber(args[first]) : std::nullopt;
    const auto n = given == 2 ? ParseNumber(args[first + 1]) : std::nullopt;
    if (!a || !n || *a < 0 || *n < 1 || *a + *n > eeprom::kProfileSize)
        return ctx.UsageError(QStringLiteral("ADDR LEN must name bytes within one profile (0x0000..0x%1)")
                                  .arg(eeprom::kProfileSize - 1, 4, 16, QLatin1Char('0')));
    address = int(*a);
    length = int(*n);
    return kOk;
}

void PrintMemory(const CliContext& ctx, int profile, int address, const std::vector<uint8_t>& bytes)
{
    if (ctx.json) {
        QJsonArray data;
        for (const uint8_t b : bytes)
            data.append(int(b));
        ctx.PrintJson(QJsonObject{{QStringLiteral("profile"), profile},
                                  {QStringLiteral("address"), address},
                                  {QStringLiteral("length"), int(bytes.size())},
                                  {QStringLiteral("data"), data}});
        return;
    }
    for (size_t line = 0; line < bytes.size(); line += 16) {
        QString text = QStringLiteral("%1:").arg(address + int(line), 4, 16, QLatin1Char('0'));
        for (size_t i = line; i < std::min(line + 16, bytes.size()); ++i)
            text += QStringLiteral(" %1").arg(bytes[i], 2, 16, QLatin1Char('0'));
        ctx.Print(text);
    }
}

}  // namespace zorvan::cli
