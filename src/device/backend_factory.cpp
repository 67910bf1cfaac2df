#include "device/backend_factory.h"

#include "app/configuration.h"
#include "app/log.h"
#include "device/device_discovery.h"
#include "device/emulated/firmware_state.h"
#include "device/hidraw/hidraw_backend.h"

#include <QFileInfo>

#include <algorithm>

namespace zorvan {
namespace {

const DeviceDescription* FirstModel()
{
    for (const DeviceDescription& device : Config().devices)
        if (device.HoldsModel())
            return &device;
    return nullptr;
}

eeprom::ProfileImages ToImages(const std::array<std::vector<uint8_t>, eeprom::kOnBoardProfiles>& built)
{
    eeprom::ProfileImages images{};
    for (size_t p = 0; p < images.size(); ++p)
        std::copy_n(built[p].begin(), std::min(built[p].size(), images[p].size()), images[p].begin());
    return images;
}

std::unique_ptr<DeviceBackend> CreateEmulated(const BackendChoice& choice, const FactoryImageBuilder& factoryImages,
                                              QString* error)
{
    std::shared_ptr<MouseFirmware> firmware = MakeEmulatedFirmware(choice, factoryImages, error);
    if (!firmware)
        return nullptr;
    auto bus = std::make_unique<EmulatedBus>();
    bus->AddMouse(firmware, Options().VID, choice.secondProductId ? Options().PID2 : Options().PID);
    EmulatedBus* busView = bus.get();
    return std::make_unique<DeviceBackend>(std::move(bus), busView, choice.stateFile);
}

}  // namespace

std::shared_ptr<MouseFirmware> MakeEmulatedFirmware(const BackendChoice& choice,
                                                    const FactoryImageBuilder& factoryImages, QString* error)
{
    const auto fail = [error](const QString& text) -> std::shared_ptr<MouseFirmware> {
        if (error)
            *error = text;
        return nullptr;
    };
    std::optional<FirmwareState> saved;
    if (!choice.stateFile.isEmpty() && QFileInfo::exists(choice.stateFile)) {
        QString reason;
        saved = LoadFirmwareStateFile(choice.stateFile, &reason);
        if (!saved)
            return fail(QStringLiteral("%1: %2").arg(choice.stateFile, reason));
    }
    const DeviceDescription* first = FirstModel();
    if (first == nullptr || !factoryImages)
        return fail(QStringLiteral("cfg.ini describes no mouse model to emulate"));
    std::pair<int, int> model{first->CID, first->MID};
    if (choice.model)
        model = *choice.model;
    else if (saved)
        model = {saved->cid, saved->mid};
    if (saved && (saved->cid != model.first || saved->mid != model.second)) {
        Log("Emulated mouse: the state file holds model %x:%x, starting model %x:%x from factory content",
            saved->cid, saved->mid, unsigned(model.first), unsigned(model.second));
        saved.reset();
    }
    // A model without a device section still gets memory (of the first model), so the
    // program's handling of an unsupported mouse can be tried.
    const DeviceDescription* described = FindDeviceByIds(model.first, model.second);
    auto firmware = std::make_shared<MouseFirmware>(uint8_t(model.first), uint8_t(model.second),
                                                    ToImages(factoryImages(described ? *described : *first)));
    if (saved)
        firmware->Restore(*saved);
    return firmware;
}

BackendChoice BackendChoiceFromEnvironment()
{
    BackendChoice choice;
    const QString value = qEnvironmentVariable("ZORVAN_EMULATE");
    if (value.isEmpty() || value == QStringLiteral("0"))
        return choice;
    choice.emulate = true;
    if (value != QStringLiteral("1"))
        choice.stateFile = value;
    choice.secondProductId = qEnvironmentVariable("ZORVAN_EMULATE_PID2") == QStringLiteral("1");
    choice.unlessMousePresent = true;
    return choice;
}

DeviceBackend::DeviceBackend(std::unique_ptr<HidBackend> hid, EmulatedBus* bus, QString stateFile)
    : hid_(std::move(hid)), bus_(bus), stateFile_(std::move(stateFile))
{
}

bool DeviceBackend::SaveState(QString* error)
{
    if (bus_ == nullptr || stateFile_.isEmpty())
        return true;
    return SaveFirmwareStateFile(stateFile_, EmulatedMouse()->State(), error);
}

std::unique_ptr<DeviceBackend> CreateDeviceBackend(const BackendChoice& choice,
                                                   const FactoryImageBuilder& factoryImages, QString* error)
{
    auto hidraw = std::make_unique<HidrawBackend>();
    if (choice.emulate && choice.unlessMousePresent && MousePresent(*hidraw))
        Log("A mouse is present: the emulated mouse is not used");
    else if (choice.emulate)
        return CreateEmulated(choice, factoryImages, error);
    return std::make_unique<DeviceBackend>(std::move(hidraw), nullptr, QString());
}

}  // namespace zorvan
