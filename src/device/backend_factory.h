#pragma once
// The one place where the program chooses its HID backend. A normal start talks to real
// devices only (hidraw); the emulated mouse is chosen explicitly: `--emulate[=FILE]` on
// zorvanctl's command line, ZORVAN_EMULATE for the GUI ("1", or the path of a state file).
// Both programs call CreateDeviceBackend after the configuration has been loaded.
#include "app/device_description.h"
#include "device/eeprom_map.h"
#include "device/emulated/emulated_bus.h"
#include "device/hid_transport.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zorvan {

struct BackendChoice {
    bool emulate = false;
    QString stateFile;                         // empty: factory content, forgotten at exit
    std::optional<std::pair<int, int>> model;  // CID, MID the emulated mouse reports
    bool secondProductId = false;              // it appears under PID2 instead of PID
    bool unlessMousePresent = false;           // a real mouse present is used instead
};

// From ZORVAN_EMULATE: unset, empty or "0" chooses the real devices; otherwise the emulated
// mouse stands in while no real one is present. ZORVAN_EMULATE_PID2=1 makes it appear under
// PID2.
BackendChoice BackendChoiceFromEnvironment();

// The factory content of a model's four on-board profiles, eeprom::kProfileSize bytes each
// (the profile layer's BuildFactoryImages).
using FactoryImageBuilder =
    std::function<std::array<std::vector<uint8_t>, eeprom::kOnBoardProfiles>(const DeviceDescription&)>;

class DeviceBackend {
public:
    DeviceBackend(std::unique_ptr<HidBackend> hid, EmulatedBus* bus, QString stateFile);

    HidBackend& Hid() { return *hid_; }
    // The emulated bus and its mouse; null for real devices.
    EmulatedBus* Emulator() { return bus_; }
    MouseFirmware* EmulatedMouse() { return bus_ ? &bus_->Mouse(0) : nullptr; }
    // Writes the emulated mouse's state file, when one was chosen (call it at exit).
    bool SaveState(QString* error = nullptr);
    // The emulated mouse's state file; empty for real devices or a mouse forgotten at exit.
    const QString& StateFile() const { return stateFile_; }

private:
    std::unique_ptr<HidBackend> hid_;
    EmulatedBus* bus_;
    QString stateFile_;
};

// The emulated mouse's firmware for `choice`: it reports `choice.model` (default: the first
// device section); its memory comes from the state file when it holds the same model, else
// from `factoryImages`. Null with `error` set when that is impossible. The emulated bus and the
// /dev/uhid front end both serve the firmware made here.
std::shared_ptr<MouseFirmware> MakeEmulatedFirmware(const BackendChoice& choice,
                                                    const FactoryImageBuilder& factoryImages, QString* error);

// The emulated mouse (MakeEmulatedFirmware) appears with the configured VID and PID (or PID2).
std::unique_ptr<DeviceBackend> CreateDeviceBackend(const BackendChoice& choice,
                                                   const FactoryImageBuilder& factoryImages, QString* error);

}  // namespace zorvan
