#include "ui/zorvan_app.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "text/language_texts.h"
#include "macro/macro_library.h"
#include "ui/exit_requests.h"
#include "ui/freed_memory.h"
#include "ui/gui_messages.h"
#include "ui/live_device_port.h"
#include "ui/single_instance.h"
#include "ui/zorvan_dlg.h"

#include <QApplication>
#include <QDateTime>
#include <QScreen>
#include <QTimer>

namespace zorvan {
namespace {

const QString kInstanceName = QStringLiteral("MUTEX_QX_WIRELESS");

// Once the window is first shown, what its start-up made on the way goes back.
class ReturnFreedMemoryWhenShown : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                ReturnFreedMemory();
                deleteLater();
            });
        }
        return false;
    }
};

}  // namespace

CZorvanApp::CZorvanApp(int argc, char**, QString appDir) : argc_(argc), appDir_(std::move(appDir)) {}

CZorvanApp::~CZorvanApp() = default;

bool CZorvanApp::InitInstance(int& exitCode)
{
    exitCode = 0;
    QApplication::setQuitOnLastWindowClosed(false);
    InstallGuiMessageHandler();
    Paths().appDir = appDir_;
    // Texts before the configuration, so that the title and the first messages have them.
    LoadLanguageTexts(Paths().appDir + QStringLiteral("text.xml"));
    started_ = false;
    Paths().logFile = DefaultLogFile();
    if (!LoadConfiguration(Paths().appDir + QStringLiteral("cfg.ini"), Paths().logFile)) {
        ShowMessage(QStringLiteral("Error"), QStringLiteral("     Data Init failed.     "));
        exitCode = 1;
        return false;
    }
    title_ = WindowTitle(Options().Title, GetText("tc_title"));
    const QDateTime now = QDateTime::currentDateTime();
    Log("--------------------------------------------------");
    Log("Launch %04d-%d-%d %d:%d, v1.0 AppTitle=%s", now.date().year(), now.date().month(), now.date().day(),
        now.time().hour(), now.time().minute(), title_.toUtf8().constData());
    Log("nArgs=%d", argc_);
    hasArguments_ = argc_ > 1;
    Paths().dataDir = DataDirFor(Options().appdir);
    MakeDataDir(Paths().dataDir);

    instance_ = std::make_unique<SingleInstance>(kInstanceName);
    if (!instance_->Acquire()) {
        const bool found = instance_->HandOver(title_);
        Log("ALREADY_EXISTS, hWnd=%x", found ? 1 : 0);
        return false;
    }
    CreateApplicationFont();
    started_ = true;
    return true;
}

int CZorvanApp::Run()
{
    QString error;
    session_ = LiveDevicePort::Create(BackendChoiceFromEnvironment(), &error);
    if (!session_) {
        ShowMessage(QStringLiteral("Error"), error);
        return 1;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        DecidePictureRatio(screen->devicePixelRatio());
    window_ = std::make_unique<CZorvanDlg>(*session_, hasArguments_, title_);
    window_->installEventFilter(new ReturnFreedMemoryWhenShown(window_.get()));
    QObject::connect(instance_.get(), &SingleInstance::showRequested, window_.get(), [this](const QString& title, bool* found) {
        *found = title == window_->windowTitle();
        if (*found)
            window_->OnTrayMessage(514);
    });
    QObject::connect(window_.get(), &CZorvanDlg::exited, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // A signal or the session manager's save request ends the program as its exit command does.
    exitRequests_ = std::make_unique<ExitRequests>();
    QObject::connect(exitRequests_.get(), &ExitRequests::exitRequested, window_.get(), [this](bool loggingOut) {
        if (loggingOut)
            SaveMacroSnapshot();
        window_->ExitProgram();
    });
    window_->Init();
    const int code = QApplication::exec();
    exitRequests_.reset();
    window_.reset();
    session_.reset();
    return code;
}

void CZorvanApp::ExitInstance()
{
    instance_.reset();
    Log("Driver exit");
    if (started_ && !Options().FontName.isEmpty())
        RemoveApplicationFont();
}

}  // namespace zorvan
