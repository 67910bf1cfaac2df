#pragma once
// The process-wide configuration, macro library and log as one test needs them, put back
// afterwards: built-in sensor tables, device 0 as the current device, captured log lines.
#include "app/configuration.h"
#include "app/log.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"

#include <gtest/gtest.h>

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
        SetLogEcho([this](const std::string& line) { log_.push_back(line); });
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

    bool Logged(const std::string& line) const
    {
        for (const std::string& l : log_) {
            if (l == line)
                return true;
        }
        return false;
    }

    std::vector<std::string> log_;

private:
    Configuration saved_;
};

}  // namespace zorvan::test
