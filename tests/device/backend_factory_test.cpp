#include "device/backend_factory.h"
#include "device/device_discovery.h"
#include "device_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zorvan {
namespace {

TEST(BackendChoice, ComesFromZorvanEmulate)
{
    struct Case {
        const char* value;  // null: unset
        bool emulate;
        const char* stateFile;
    };
    const Case cases[] = {
        {nullptr, false, ""}, {"", false, ""}, {"0", false, ""}, {"1", true, ""}, {"/tmp/m.state", true, "/tmp/m.state"},
    };
    for (const Case& c : cases) {
        if (c.value)
            setenv("ZORVAN_EMULATE", c.value, 1);
        else
            unsetenv("ZORVAN_EMULATE");
        const BackendChoice choice = BackendChoiceFromEnvironment();
        EXPECT_EQ(choice.emulate, c.emulate) << (c.value ? c.value : "(unset)");
        EXPECT_EQ(choice.stateFile, QString::fromUtf8(c.stateFile));
        // The GUI's emulated mouse only stands in for a missing one.
        EXPECT_EQ(choice.emulate && choice.unlessMousePresent, c.emulate);
        EXPECT_FALSE(choice.secondProductId);
    }
    setenv("ZORVAN_EMULATE_PID2", "1", 1);
    EXPECT_TRUE(BackendChoiceFromEnvironment().secondProductId);
    unsetenv("ZORVAN_EMULATE_PID2");
    unsetenv("ZORVAN_EMULATE");
}

TEST(MousePresentTest, AnyInterfaceOfTheVendorWithEitherProductId)
{
    test::UseTestConfiguration();
    struct Case {
        uint16_t vendor;
        uint16_t product;
        bool present;
    };
    const Case cases[] = {
        {test::kVid, test::kPid, true},
        {test::kVid, test::kPid2, true},
        {test::kVid, 0x1234, false},
        {0x1234, test::kPid, false},
    };
    for (const Case& c : cases) {
        EmulatedBus bus;
        bus.AddMouse(std::make_shared<MouseFirmware>(test::kCid, test::kMid, test::TestImages()), c.vendor, c.product);
        EXPECT_EQ(MousePresent(bus), c.present) << std::hex << c.vendor << ":" << c.product;
    }
    EmulatedBus empty;
    EXPECT_FALSE(MousePresent(empty));
}

class EmulatedBackendTest : public ::testing::Test {
protected:
    void SetUp() override { test::UseTestConfiguration(); }

    std::unique_ptr<DeviceBackend> Create(const BackendChoice& choice, QString* error = nullptr)
    {
        return CreateDeviceBackend(choice, [this](const DeviceDescription& device) {
            built.push_back(device.MID);
            const eeprom::ProfileImages source = test::TestImages();
            std::array<std::vector<uint8_t>, eeprom::kOnBoardProfiles> images;
            for (size_t p = 0; p < images.size(); ++p)
                images[p].assign(source[p].begin(), source[p].end());
            return images;
        },
                                   error);
    }

    test::TempDir dir;
    std::vector<int> built;
};

TEST_F(EmulatedBackendTest, TheStateFileCarriesTheMouseFromOneRunToTheNext)
{
    const QString file = dir.File(QStringLiteral("mouse.state"));
    {
        auto backend = Create({true, file, std::nullopt});
        ASSERT_TRUE(backend && backend->EmulatedMouse());
        EXPECT_EQ(backend->EmulatedMouse()->State().mid, test::kMid) << "the first device section";
        backend->EmulatedMouse()->Press(MouseButton::kProfileNext);
        backend->EmulatedMouse()->SetBattery(12, false);
        ASSERT_TRUE(backend->SaveState());
    }
    auto again = Create({true, file, std::nullopt});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->EmulatedMouse()->State().activeProfile, 1);
    EXPECT_EQ(again->EmulatedMouse()->State().battery, 12);

    auto otherModel = Create({true, file, std::make_pair(int(test::kCid), 2)});
    ASSERT_TRUE(otherModel);
    EXPECT_EQ(otherModel->EmulatedMouse()->State().activeProfile, 0) << "another model starts from factory content";
    EXPECT_EQ(built.back(), 2);
}

TEST_F(EmulatedBackendTest, ShowsTheConfiguredIdsAndRefusesABrokenStateFile)
{
    auto backend = Create({true, QString(), std::make_pair(0x55, 0x66)});
    ASSERT_TRUE(backend);
    EXPECT_EQ(built.back(), test::kMid) << "an unknown model gets the first model's memory";
    const auto interfaces = backend->Hid().Enumerate();
    ASSERT_EQ(interfaces.size(), 3u);
    EXPECT_NE(interfaces[1].path.find("VID_25a7&PID_fa92"), std::string::npos);
    EXPECT_TRUE(backend->SaveState()) << "nothing to save without a file";

    const QString broken = dir.File(QStringLiteral("broken.state"));
    ASSERT_TRUE(test::WriteFile(broken, "garbage"));
    QString error;
    EXPECT_FALSE(Create({true, broken, std::nullopt}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("broken.state")));
}

}  // namespace
}  // namespace zorvan
