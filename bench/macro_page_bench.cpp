// The macro page opens with a full library and saves a macro a key uses.
// Targets: opening the page with 2000 macros in 100 folders (its tree read from the folder,
// its first picture drawn) under 50 ms; scrolling that tree by a page and drawing it under
// 16 ms (one frame); saving a macro in use under 5 ms of the UI thread's
// time (the CPU column: the write to the mouse is only asked for, the apply worker makes it).
#include "app/configuration.h"
#include "app/paths.h"
#include "app/function_catalogue.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"
#include "text/language_texts.h"
#include "ui/controls/tree_ctrl_ex.h"
#include "ui/fake_device_port.h"
#include "ui/pages/macro_page.h"

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace zorvan;

// 100 folders of 20 macros each, in the library and on disk.
class FullMacroFolder {
public:
    FullMacroFolder()
    {
        Paths().dataDir = dir_.path() + u'/';
        Macros().Clear();
        uint32_t id = 1;
        for (int folder = 0; folder < 100; ++folder) {
            for (int n = 0; n < 20; ++n, ++id) {
                StMacro m = NewEmptyMacro(QStringLiteral("Macro %1").arg(id));
                m.id = id;
                for (int i = 0; i < 40; ++i)
                    m.events[i] = MacroEvent{uint16_t(0x41 + i % 26), uint16_t(i % 2 == 0 ? 1 : 0), 25};
                WriteMacroFile(QStringLiteral("%1/Folder %2/%3.qxm").arg(MacroFolder()).arg(folder).arg(MacroName(m)), m);
                Macros().AddCopy(m);
            }
        }
    }
    ~FullMacroFolder() { Macros().Clear(); }

private:
    QTemporaryDir dir_;
};

// The device session of the widget tests, with a profile whose first key plays macro 1.
struct PageSetting {
    PageSetting() : context{port, Options(), Texts(), QRect(0, 0, 1017, 530), QFont(), {}, {}, {}, {}, {}}
    {
        port.profile->Key[0][0] = KeyAssignment{kFunMacro, 1, 1, {}, 0, 0};
    }
    test::FakeDevicePort port;
    PageContext context;
};

void BM_OpenMacroPage2000(benchmark::State& state)
{
    FullMacroFolder folder;
    PageSetting setting;
    QImage shown(1017, 530, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        CMacroDlg page(setting.context, nullptr);
        page.TreeView()->expandAll();
        page.render(&shown);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_OpenMacroPage2000)->Unit(benchmark::kMillisecond);

void BM_ScrollMacroTree2000(benchmark::State& state)
{
    FullMacroFolder folder;
    PageSetting setting;
    CMacroDlg page(setting.context, nullptr);
    CTreeCtrlEx* tree = page.TreeView();
    tree->expandAll();
    QImage shown(tree->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = tree->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() + bar->pageStep() > bar->maximum() ? 0 : bar->value() + bar->pageStep());
        tree->viewport()->render(&shown);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_ScrollMacroTree2000)->Unit(benchmark::kMillisecond);

void BM_SaveMacroInUse(benchmark::State& state)
{
    FullMacroFolder folder;
    PageSetting setting;
    CMacroDlg page(setting.context, nullptr);
    page.SelectTreeItem(page.Tree().FindMacro(1));
    for (auto _ : state) {
        page.OnLoopMode(kLoopMode1);
        page.OnSave();
    }
    state.counters["requests"] = double(setting.port.posted.size());
}
BENCHMARK(BM_SaveMacroInUse)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zorvan::SetTimeStampIdPause(std::chrono::milliseconds(0));
    zorvan::Paths().appDir = QStringLiteral(ZORVAN_BINARY_DIR "/bin/");
    zorvan::LoadLanguageTexts(zorvan::Paths().appDir + QStringLiteral("text.xml"));
    zorvan::LoadConfiguration(zorvan::Paths().appDir + QStringLiteral("cfg.ini"), QDir::tempPath() + QStringLiteral("/zorvan-bench-log.txt"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
