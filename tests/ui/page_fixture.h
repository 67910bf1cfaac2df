#pragma once
// A page of the main window on its own: the default configuration, a steered device session
// (FakeDevicePort) over a model of cfg.ini that the test may change, a new profile of that
// model, and the page's context.
#include "app/configuration.h"
#include "profile/profile_defaults.h"
#include "profile/profile_state.h"
#include "skin/fonts.h"
#include "text/language_texts.h"
#include "ui/fake_device_port.h"
#include "ui/pages/page_context.h"
#include "ui/ui_fixture.h"

#include <memory>

namespace zorvan::test {

struct PageHarness {
    // `section`: the cfg.ini model, 1 for [DEV_1].
    explicit PageHarness(int section = 1)
        : device(Config().devices[size_t(section - 1)]),
          context{port, Config().opt, Texts(), QRect(0, 0, 1017, 530), ShellFont(24, 700), {}, {}, {}, {}, {}}
    {
        Config().opt.ApplyNow = 1;
        port.device = &device;
        port.profile = MakeNewProfile(u"test", device, Config().opt, device.KeyTables);
        g_nCurDpiLevel.store(device.DefaultLevel);
    }

    // Builds the page `Page` as the window does: made, laid out for the device, filled.
    template <typename Page>
    std::unique_ptr<Page> Make()
    {
        auto page = std::make_unique<Page>(context, nullptr);
        page->LayoutForDevice();
        page->RefreshFromProfile();
        page->show();
        return page;
    }

    ProfileRecord& Profile() { return *port.profile; }

    UiFixture fixture;  // first: the configuration the others copy
    FakeDevicePort port;
    DeviceDescription device;
    PageContext context;
};

}  // namespace zorvan::test
