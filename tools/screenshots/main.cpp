// Renders what a user sees, offscreen, into PNG files: the main window on each page, the tray
// menu, the progress, about and message dialogs; in the first language into OUTPUT_DIR, in each
// other one into OUTPUT_DIR/<its folder>/. With --doubled the screen is 3840 x 2160, so the
// window takes its doubled (4K) size; with --qt-scaled Qt scales that screen by 2 (as a
// desktop at 200 % does), so the window keeps its normal size with pictures twice as sharp.
// Either renders only the first language.
//   zorvan_screenshots APP_DIR OUTPUT_DIR [--doubled | --qt-scaled]
#include "dpi_lighting_shots.h"
#include "key_shots.h"
#include "render.h"

#include "app/configuration.h"
#include "app/paths.h"
#include "text/language_choice.h"
#include "text/language_texts.h"
#include "macro_shots.h"
#include "ui/about_dlg.h"
#include "ui/live_device_port.h"
#include "ui/pages/power_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/progress_dlg.h"
#include "ui/zorvan_dlg.h"
#include "skin/display_scale.h"
#include "skin/skin_files.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

QString g_output;

void Save(const QImage& image, const QString& name)
{
    const QString path = g_output + name + QStringLiteral(".png");
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%s\n", qPrintable(path));
}

void Shoot(QWidget& widget, const QString& name)
{
    Save(RenderWidget(widget), name);
}

// The main window on each page, the tray menu and the dialogs, as "<prefix><name>.png".
void ShootEverything(zorvan::CZorvanDlg& window, zorvan::DevicePort& session, const QString& prefix)
{
    using namespace zorvan;
    ShootMacroPictures(window, session, prefix, Shoot);
    const char* pages[] = {"", "main-keys", "main-macros", "main-dpi", "main-lighting"};
    for (int page : {1, 3, 2, 4}) {
        window.SwitchPage(page);
        Shoot(window, prefix + QString::fromLatin1(pages[page]));
    }
    ShootKeyPage(window, prefix, Save);

    if (QMenu* menu = window.TrayMenu()) {
        menu->adjustSize();
        menu->show();
        Shoot(*menu, prefix + QStringLiteral("tray-menu"));
        menu->hide();
    }

    CProgressDlg::Setup setup{SkinFile(QStringLiteral("progress_nr.png")), SkinFile(QStringLiteral("progress_ov.png")),
                              0, 100, 0, 45, 486, GetText("tc_msg12"), QRect(15, 12, 440, 20)};
    CProgressDlg progress(&window, setup);
    progress.SetPosition(50);
    progress.show();
    Shoot(progress, prefix + QStringLiteral("progress"));
    progress.hide();

    CAboutDlg about(&window, session.Connected() ? session.FirmwareVersion() : std::nullopt);
    about.show();
    Shoot(about, prefix + QStringLiteral("about"));
    about.hide();

    CMsgDlg message(&window, CMsgDlg::kMessage, GetText("tc_msg15"), QString(), false);
    message.show();
    Shoot(message, prefix + QStringLiteral("message"));
    message.hide();

    CMsgDlg confirm(&window, CMsgDlg::kConfirm, GetText("tc_msg5"), QString(), false);
    confirm.show();
    Shoot(confirm, prefix + QStringLiteral("confirm"));
    confirm.hide();

    ShootDpiAndLighting(window.windowTitle(), Shoot, prefix);
}

}  // namespace

// The offscreen platform with one screen of `size`, described in a file in `dir`.
void UseOffscreenScreen(const QTemporaryDir& dir, const QSize& size)
{
    const QString path = dir.filePath(QStringLiteral("screens.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    file.write(QStringLiteral(R"({"screens": [{"name": "shot", "x": 0, "y": 0, "width": %1, "height": %2}]})")
                   .arg(size.width())
                   .arg(size.height())
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
}

int main(int argc, char** argv)
{
    const bool doubled = argc == 4 && std::strcmp(argv[3], "--doubled") == 0;
    const bool qtScaled = argc == 4 && std::strcmp(argv[3], "--qt-scaled") == 0;
    if (argc != 3 && !doubled && !qtScaled) {
        std::fprintf(stderr, "usage: %s APP_DIR OUTPUT_DIR [--doubled | --qt-scaled]\n", argv[0]);
        return 2;
    }
    QTemporaryDir data;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A 4K screen: at its own size the window doubles; scaled by Qt it is 1920 x 1080 to the
    // program, which keeps the window at normal size.
    if (doubled || qtScaled)
        UseOffscreenScreen(data, QSize(3840, 2160));
    if (qtScaled)
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    using namespace zorvan;
    Paths().appDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    Paths().dataDir = data.path() + QLatin1Char('/');
    g_output = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QLatin1Char('/');
    QDir().mkpath(g_output);
    LoadLanguageTexts(Paths().appDir + QStringLiteral("text.xml"));
    if (!LoadConfiguration(Paths().appDir + QStringLiteral("cfg.ini"), data.path() + QStringLiteral("/Log.txt"))) {
        std::fprintf(stderr, "cannot load %scfg.ini\n", qPrintable(Paths().appDir));
        return 1;
    }
    const QString title = WindowTitle(Options().Title, GetText("tc_title"));

    // The emulated mouse, connected, even where a real one is: the same pictures everywhere.
    BackendChoice choice = BackendChoiceFromEnvironment();
    choice.emulate = true;
    choice.unlessMousePresent = false;
    QString error;
    auto port = LiveDevicePort::Create(choice, &error);
    if (!port) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    DevicePort& session = *port;
    DecidePictureRatio(app.primaryScreen()->devicePixelRatio());
    bool profileShown = false;
    QObject::connect(&session, &DevicePort::profileRead, [&profileShown] { profileShown = true; });
    CZorvanDlg window(session, false, title);
    if (!window.Init())
        return 1;
    window.ShowMainWindow();
    QElapsedTimer clock;
    clock.start();
    while (!(profileShown && !session.Reading() && window.PowerIndicator()->isVisible()) && clock.elapsed() < 15000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!profileShown)
        std::fprintf(stderr, "the emulated mouse's profile was not read\n");
    ShootEverything(window, session, QString());
    if (doubled || qtScaled)
        return 0;
    // The other languages, switched at run time as a user would, each into a folder of its own:
    // longer German texts and Chinese characters must fit the same places.
    for (int index = 1; index < Options().LanguageCount(); ++index) {
        const QString folder = Options().Languages[size_t(index)].folder;
        if (folder.isEmpty() || !SwitchLanguage(index))
            continue;
        QDir().mkpath(g_output + folder);
        ShootEverything(window, session, folder + QLatin1Char('/'));
    }
    return 0;
}
