// The DPI and lighting pages as the screenshots show them: each in a window of its own over a
// steered session (the test suite's FakeDevicePort) with a model of cfg.ini, so that models
// the emulated mouse is not (separate X/Y, the logo zone) and the older DPI layout appear too.
#include "dpi_lighting_shots.h"

#include "app/configuration.h"
#include "profile/profile_defaults.h"
#include "text/language_texts.h"
#include "ui/fake_device_port.h"
#include "ui/pages/menu_dlg.h"
#include "ui/zorvan_dlg.h"

#include <QColorDialog>

namespace zorvan {
namespace {

// The first model of cfg.ini that `wanted` accepts, else the first model.
const DeviceDescription& Model(const std::function<bool(const DeviceDescription&)>& wanted)
{
    for (const DeviceDescription& device : Config().devices) {
        if (device.HoldsModel() && wanted(device))
            return device;
    }
    return Config().devices[0];
}

struct Shot {
    const char* name;
    int page;
    std::function<bool(const DeviceDescription&)> model;
    std::function<void(ProfileRecord&)> profile;
    bool olderLayout = false;
};

void ShootInWindow(const Shot& shot, const QString& title, const ShootFn& shoot, const QString& prefix)
{
    test::FakeDevicePort port;
    DeviceDescription device = Model(shot.model);
    port.device = &device;
    port.profile = MakeNewProfile(u"shot", device, Config().opt, device.KeyTables);
    if (shot.profile)
        shot.profile(*port.profile);
    const int32_t older = std::exchange(Config().opt.OldAdvDlg, shot.olderLayout ? 1 : 0);
    {
        CZorvanDlg window(port, false, title);
        if (window.Init()) {
            window.ShowMainWindow();
            window.SwitchPage(shot.page);
            shoot(window, prefix + QString::fromLatin1(shot.name));
        }
    }
    // Its end released the function menu's pictures, which the main window goes on using (in
    // the next language's pictures).
    CMenuDlg::LoadPictures();
    Config().opt.OldAdvDlg = older;
}

}  // namespace

void ShootDpiAndLighting(const QString& title, const ShootFn& shoot, const QString& prefix)
{
    const auto any = [](const DeviceDescription&) { return true; };
    const Shot shots[] = {
        {"dpi", CZorvanDlg::kDpiPage, any, [](ProfileRecord& p) { p.xySeparate = 0; }},
        {"dpi-xy", CZorvanDlg::kDpiPage, [](const DeviceDescription& d) { return d.ShowXY != 0; },
         [](ProfileRecord& p) {
             p.xySeparate = 1;
             for (int i = 0; i < kDpiLevels; ++i)
                 p.dpiLevels[size_t(i)].y = p.dpiLevels[size_t(i)].x * 2;
         }},
        {"dpi-older", CZorvanDlg::kDpiPage, [](const DeviceDescription& d) { return d.Sensor == 0x3104; },
         {}, true},
        {"lighting-main", CZorvanDlg::kLightingPage,
         [](const DeviceDescription& d) { return d.ShowMainEffect != 0 && d.ShowLogoEffect == 0; },
         [](ProfileRecord& p) {
             // Breathing: speed, brightness and colour.
             p.mainLight = {2, 6, 8, Rgb(0, 190, 255), {}};
         }},
        {"lighting-logo", CZorvanDlg::kLightingPage,
         [](const DeviceDescription& d) { return d.ShowMainEffect == 0 && d.ShowLogoEffect != 0; },
         [](ProfileRecord& p) { p.logoLight = {2, 3, 9, Rgb(255, 60, 60), {}}; }},
    };
    for (const Shot& shot : shots)
        ShootInWindow(shot, title, shoot, prefix);

    QColorDialog dialog(QColor(0, 190, 255));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.show();
    shoot(dialog, prefix + QStringLiteral("colour-dialog"));
}

}  // namespace zorvan
