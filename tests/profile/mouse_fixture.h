#pragma once
// The profile read and write tests: the default cfg.ini loaded, one of its models made the
// current device, an emulated mouse of that model with its factory content and its link open
// (command and notify handles, a reader thread), the session state cleared, a temporary data
// folder, and every message collected.
#include "app/message_box.h"
#include "app/paths.h"
#include "device/device_table.h"
#include "device/emulated/emulated_bus.h"
#include "device/reply_queue.h"
#include "device/thread_set.h"
#include "device/usb_driver.h"
#include "profile_fixture.h"
#include "support/test_support.h"

#include <chrono>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace zorvan::test {

// An emulated mouse and the device link to it.
class EmulatedMouse {
public:
    EmulatedMouse(const DeviceDescription& model, std::chrono::milliseconds latency);
    ~EmulatedMouse();
    EmulatedMouse(const EmulatedMouse&) = delete;
    EmulatedMouse& operator=(const EmulatedMouse&) = delete;

    MouseFirmware& Firmware() { return *firmware_; }
    CUSBDriver& Link() { return link_; }

    // The active profile's EEPROM bytes as the mouse holds them.
    std::vector<uint8_t> Memory(int address, int length) const;
    // Sets bytes of the active profile directly (the mouse's content before a test).
    void Poke(int address, std::initializer_list<uint8_t> bytes);
    // EEPROM writes since the last call, as (address, bytes).
    std::vector<std::pair<int, std::vector<uint8_t>>> TakeWrites();
    // Requests since the last call, as (command, address, length).
    std::vector<std::tuple<int, int, int>> TakeRequests();
    int RequestCount() const { return firmware_->RequestCount(); }

    // After an unplug: plugs the mouse back and opens its interfaces anew.
    void Reconnect();

private:
    void Open();
    void Close();

    EmulatedBus bus_;
    std::shared_ptr<MouseFirmware> firmware_;
    ReplyQueue replies_;
    CUSBDriver link_{nullptr, replies_};
    HidHandlePtr notify_;
    std::shared_ptr<SlotControl> control_;
    ThreadSet reader_;
    size_t seen_ = 0;
};

class MouseTest : public ProfileTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes model `index` of cfg.ini current (its key tables the default keys), builds its
    // emulated mouse and loads four new profiles for it.
    void UseModel(int index, std::chrono::milliseconds latency = std::chrono::milliseconds(1));
    // The indexes of the models cfg.ini holds.
    static std::vector<int> Models();

    EmulatedMouse& Mouse() { return *mouse_; }
    CUSBDriver& Link() { return mouse_->Link(); }
    // The answer wait shortened, so lost answers cost little test time.
    void ShortenAnswerWait();

    bool Shown(const QString& text) const;

    std::optional<MessageCollector> messages_;
    TempDir dir_;

private:
    std::unique_ptr<EmulatedMouse> mouse_;
    AppPaths savedPaths_;
};

}  // namespace zorvan::test
