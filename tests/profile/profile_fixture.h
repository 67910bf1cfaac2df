#pragma once
// The process-wide configuration, macro library and log as one test needs them, put back
// afterwards: built-in sensor tables, device 0 as the current device, captured log lines (the
// log hands them over from whichever thread logs, so the capture has a lock of its own).
#include "app/configuration.h"
#include "app/log.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace zorvan::test {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config();
        Config().sensors.Build(0, 12000, 32000);
        Macros().Clear();
        SetLogEcho([this](const std::string& line) {
            std::lock_guard lock(logMutex_);
            log_.push_back(line);
        });
    }

    void TearDown() override
    {
        SetLogEcho({});
        Macros().Clear();
        Config() = saved_;
    }

    // Device record 0, cleared, with `sensor`, made the current device.
    DeviceDescription& UseDevice(int32_t sensor)
    {
        DeviceDescription& device = Config().devices[0];
        device = DeviceDescription{};
        device.CID = 0x1A;
        device.MID = 0x05;
        device.Sensor = sensor;
        Config().SetCurrentDeviceIndex(0);
        return device;
    }

    // A library macro with this id, name and repeat settings.
    static StMacro AddMacro(uint32_t id, const QString& name, uint32_t loopMode = kLoopCount, uint16_t repeatCount = 1)
    {
        StMacro macro{};
        macro.magic = kMacroMagic;
        macro.id = id;
        macro.loopMode = loopMode;
        macro.repeatCount = repeatCount;
        SetMacroName(macro, name);
        EXPECT_TRUE(Macros().AddCopy(macro));
        return macro;
    }

    // The log lines captured so far, in order.
    std::vector<std::string> LogLines() const
    {
        std::lock_guard lock(logMutex_);
        return log_;
    }

    void ClearLog()
    {
        std::lock_guard lock(logMutex_);
        log_.clear();
    }

    bool Logged(const std::string& line) const
    {
        const std::vector<std::string> lines = LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

private:
    Configuration saved_;
    mutable std::mutex logMutex_;
    std::vector<std::string> log_;
};

}  // namespace zorvan::test
