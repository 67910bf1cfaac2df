// The key page's user-interface thread time, offscreen, over a session the benchmark steers:
// opening the function menu of a key (entries, placement, the pop-up shown and painted),
// building the page the first time it is shown, and switching the main window to it.
// Target: each under 16 ms (one frame) on the CI machine. Nothing here waits on a mouse.
#include "app/configuration.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "profile/profile_defaults.h"
#include "skin/display_scale.h"
#include "text/language_texts.h"
#include "ui/fake_device_port.h"
#include "ui/pages/key_dlg.h"
#include "ui/pages/menu_dlg.h"
#include "ui/zorvan_dlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

namespace {

using namespace zorvan;

struct Setup {
    QTemporaryDir data;
    MessageCollector messages;
    test::FakeDevicePort port;

    Setup()
    {
        SetFourK(false);
        Paths().appDir = QStringLiteral(ZORVAN_BINARY_DIR "/bin/");
        Paths().dataDir = data.path() + QLatin1Char('/');
        LoadLanguageTexts(Paths().appDir + QStringLiteral("text.xml"));
        LoadConfiguration(Paths().appDir + QStringLiteral("cfg.ini"), data.path() + QStringLiteral("/Log.txt"));
        port.device = Config().CurrentDevice();
        port.profile = MakeNewProfile(u"Bench");
    }
};

Setup& Shared()
{
    static Setup setup;
    return setup;
}

void Settle()
{
    QApplication::processEvents();
}

void BM_OpenKeyMenu(benchmark::State& state)
{
    CZorvanDlg window(Shared().port, false, QStringLiteral("Zorvan"));
    if (!window.Init()) {
        state.SkipWithError("the window did not start");
        return;
    }
    window.ShowMainWindow();
    auto* page = dynamic_cast<CKeyDlg*>(window.PageAt(CZorvanDlg::kKeyPage));
    Settle();
    for (auto _ : state) {
        page->OpenKeyMenu(1);
        Settle();  // shown and painted
        CMenuDlg::CloseOpen();
        Settle();
    }
}
BENCHMARK(BM_OpenKeyMenu)->Unit(benchmark::kMillisecond);

// The page built as the window builds it when it is first shown: widgets, pictures, layout for
// the model, key names.
void BM_BuildKeyPage(benchmark::State& state)
{
    CMenuDlg::LoadPictures();
    QWidget parent;
    const PageContext context{Shared().port, Options(), Texts(), QRect(0, 0, 1020, 520), QFont(), [](int) {},
                              [] {}, [] {}, [] {}, [] {}};
    for (auto _ : state) {
        CKeyDlg page(context, &parent);
        page.LayoutForDevice();
        page.RefreshFromProfile();
        benchmark::DoNotOptimize(page.ShownKeyCount());
    }
}
BENCHMARK(BM_BuildKeyPage)->Unit(benchmark::kMillisecond);

// From another page back to the key page, painted.
void BM_SwitchToKeyPage(benchmark::State& state)
{
    CZorvanDlg window(Shared().port, false, QStringLiteral("Zorvan"));
    if (!window.Init()) {
        state.SkipWithError("the window did not start");
        return;
    }
    window.ShowMainWindow();
    window.SwitchPage(CZorvanDlg::kDpiPage);
    Settle();
    for (auto _ : state) {
        state.PauseTiming();
        window.SwitchPage(CZorvanDlg::kDpiPage);
        Settle();
        state.ResumeTiming();
        window.SwitchPage(CZorvanDlg::kKeyPage);
        window.repaint();
    }
}
BENCHMARK(BM_SwitchToKeyPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
