// The DPI and lighting pages on the user-interface thread, offscreen, with the default skin
// and cfg.ini over a steered session (no mouse, so only the window's own work is measured).
// Targets: a slider drag of 200 mouse moves under 2 ms of UI-thread time per move, including
// the redraw; switching to either page under 16 ms (built the first time it is shown, and
// when already built).
#include "app/configuration.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "profile/profile_defaults.h"
#include "skin/picture_cache.h"
#include "text/language_texts.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/fake_device_port.h"
#include "ui/pages/new_adv_dlg.h"
#include "ui/zorvan_dlg.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

using namespace zorvan;

// The UI thread's CPU time in seconds.
double ThreadCpu()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void Send(QWidget* widget, QEvent::Type type, const QPoint& at)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

struct Session {
    Session()
    {
        port.device = &device;
        port.profile = MakeNewProfile(u"bench", device, Config().opt, device.KeyTables);
    }
    MessageCollector quiet;
    test::FakeDevicePort port;
    DeviceDescription device = Config().devices[0];
};

// One drag of a DPI level's thumb over 200 pixels and back, each move followed by the redraw.
void BM_DpiSliderDrag(benchmark::State& state)
{
    Session session;
    CZorvanDlg window(session.port, false, QStringLiteral("bench"));
    window.Init();
    window.ShowMainWindow();
    window.SwitchPage(CZorvanDlg::kDpiPage);
    auto* page = static_cast<DpiPage*>(window.PageAt(CZorvanDlg::kDpiPage));
    CPngSlider* thumb = page->LevelSlider(2)->Thumb(1);
    QApplication::processEvents();
    constexpr int kMoves = 200;
    double cpu = 0;
    int64_t moves = 0;
    for (auto _ : state) {
        const double start = ThreadCpu();
        const QPoint from(thumb->Centre(), thumb->y() + thumb->height() / 2);  // on the bar
        Send(thumb, QEvent::MouseButtonPress, thumb->mapFromParent(from));
        for (int i = 1; i <= kMoves; ++i) {
            // Out and back would end where it started: each drag goes the other way instead.
            const int dx = (moves / kMoves % 2 == 0 ? 1 : -1) * i;
            Send(thumb, QEvent::MouseMove, thumb->mapFromParent(from + QPoint(dx, 0)));
            QApplication::processEvents();
        }
        Send(thumb, QEvent::MouseButtonRelease, thumb->rect().center());
        QApplication::processEvents();
        cpu += ThreadCpu() - start;
        moves += kMoves;
    }
    state.counters["cpu_ms_per_move"] = benchmark::Counter(cpu * 1000.0 / double(moves));
    state.counters["requests"] = benchmark::Counter(double(session.port.posted.size()) / double(state.iterations()));
}
BENCHMARK(BM_DpiSliderDrag)->Unit(benchmark::kMillisecond);

// From the key page to `page` and back; the first switch of each window builds the page.
void PageSwitch(benchmark::State& state, int target, bool built)
{
    Session session;
    std::unique_ptr<CZorvanDlg> window;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!built || !window) {
            window.reset();
            QApplication::processEvents();
            ReleaseUnusedPictures();  // the page's pictures are decoded again, as at its first show
            window = std::make_unique<CZorvanDlg>(session.port, false, QStringLiteral("bench"));
            window->Init();
            window->ShowMainWindow();
            if (built)
                window->SwitchPage(target);
        }
        window->SwitchPage(CZorvanDlg::kKeyPage);
        QApplication::processEvents();
        state.ResumeTiming();
        const double start = ThreadCpu();
        window->SwitchPage(target);
        window->repaint();
        cpu += ThreadCpu() - start;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000.0 / double(state.iterations()));
}

void BM_SwitchToDpiPageFirstTime(benchmark::State& state)
{
    PageSwitch(state, CZorvanDlg::kDpiPage, false);
}
void BM_SwitchToDpiPage(benchmark::State& state)
{
    PageSwitch(state, CZorvanDlg::kDpiPage, true);
}
void BM_SwitchToLightingPageFirstTime(benchmark::State& state)
{
    PageSwitch(state, CZorvanDlg::kLightingPage, false);
}
void BM_SwitchToLightingPage(benchmark::State& state)
{
    PageSwitch(state, CZorvanDlg::kLightingPage, true);
}
BENCHMARK(BM_SwitchToDpiPageFirstTime)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SwitchToDpiPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToLightingPageFirstTime)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SwitchToLightingPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir data;
    Paths().appDir = QStringLiteral(ZORVAN_BINARY_DIR "/bin/");
    Paths().dataDir = data.path() + QLatin1Char('/');
    LoadLanguageTexts(Paths().appDir + QStringLiteral("text.xml"));
    {
        MessageCollector quiet;
        LoadConfiguration(Paths().appDir + QStringLiteral("cfg.ini"), data.path() + QStringLiteral("/Log.txt"));
    }
    Config().opt.ApplyNow = 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
