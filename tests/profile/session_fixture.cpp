#include "session_fixture.h"

#include "app/configuration.h"
#include "profile/factory_image.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <memory>

namespace zorvan::test {
namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "profile_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

}  // namespace

void SessionTest::SetUp()
{
    ProfileTest::SetUp();
    App();
    savedPaths_ = Paths();
    messages_.emplace();
    ASSERT_TRUE(LoadConfiguration(DefaultDataDir() + "cfg.ini", dir_.File("Log.txt"), Config()));
    ResetLog();
    SetLogEcho([this](const std::string& line) {
        std::lock_guard lock(logMutex_);
        lines_.push_back(line);
    });
    ASSERT_TRUE(LoadLanguageTexts(DefaultDataDir() + "text.xml"));
    Paths().dataDir = dir_.Path();
    ProfileState& state = zorvan::Profiles();
    {
        std::lock_guard lock(state.profileLock);
        state.profiles.Clear();
        state.macroNames = {};
    }
    state.syncFlag = true;
    g_nCurDpiLevel = -1;
}

void SessionTest::TearDown()
{
    DropSession();
    {
        std::lock_guard lock(zorvan::Profiles().profileLock);
        zorvan::Profiles().profiles.Clear();
    }
    messages_.reset();
    SetLogEcho({});
    Texts().SetAll(LanguageTextTable{});
    Paths() = savedPaths_;
    ProfileTest::TearDown();
}

void SessionTest::DropSession()
{
    session_.reset();
    if (discovery_)
        discovery_->ClearThread();
    discovery_.reset();
    notifier_.reset();
    link_.reset();
    table_.reset();
    backend_.reset();
}

void SessionTest::MakeSession(std::optional<std::pair<int, int>> model)
{
    DropSession();
    BackendChoice choice;
    choice.emulate = true;
    choice.model = model;
    QString error;
    backend_ = CreateDeviceBackend(choice, &BuildFactoryImages, &error);
    ASSERT_TRUE(backend_) << error.toStdString();
    table_ = std::make_unique<DeviceTable>();
    link_ = std::make_unique<CUSBDriver>(table_.get());
    notifier_ = std::make_unique<DeviceNotifier>();
    discovery_ = std::make_unique<DeviceDiscovery>(backend_->Hid(), *table_, *link_, *notifier_);
    // Sanitizer builds on a loaded machine: the mouse's answer to the probe may take longer
    // than the 100 ms the search waits.
    discovery_->timing.probeWait = std::chrono::milliseconds(400);
    session_ = std::make_unique<DeviceSession>(*table_, *link_, *notifier_, *discovery_);
    DeviceSession& s = *session_;
    QObject::connect(&s, &DeviceSession::readStarted, [this] { ++counts_.readStarted; });
    QObject::connect(&s, &DeviceSession::readFinished, [this] { ++counts_.readFinished; });
    QObject::connect(&s, &DeviceSession::profileRead, [this] { ++counts_.profileRead; });
    QObject::connect(&s, &DeviceSession::deviceChanged, [this] { ++counts_.deviceChanged; });
    QObject::connect(&s, &DeviceSession::powerRead, [this] { ++counts_.power; });
    QObject::connect(&s, &DeviceSession::deviceLost, [this] { ++counts_.deviceLost; });
    QObject::connect(&s, &DeviceSession::progressEnded, [this] { ++counts_.progressEnded; });
}

bool SessionTest::Connect()
{
    int pairs = 0;
    for (int attempt = 0; attempt < 3 && pairs <= 0; ++attempt)
        pairs = session_->CountDevices();
    if (pairs <= 0)
        return false;
    session_->Start();
    return RunUntil([this] { return counts_.profileRead > 0 && !session_->Reading(); });
}

bool SessionTest::RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    return true;
}

void SessionTest::Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    RunUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

bool SessionTest::Settle(int timeoutMs)
{
    const bool idle = RunUntil([this] { return !session_->Reading() && counts_.readFinished >= counts_.readStarted; },
                               timeoutMs);
    return idle && session_->Worker().WaitIdle(std::chrono::milliseconds(timeoutMs));
}

std::optional<bool> SessionTest::Await(const std::function<void(DeviceSession::Done)>& start, int timeoutMs)
{
    const auto result = std::make_shared<std::optional<bool>>();
    start([result](bool ok) { *result = ok; });
    RunUntil([&] { return result->has_value(); }, timeoutMs);
    return *result;
}

bool SessionTest::Shown(const QString& text) const
{
    for (const ShownMessage& m : messages_->Messages()) {
        if (m.text == text)
            return true;
    }
    return false;
}

bool SessionTest::LogHas(const std::string& line) const
{
    return LogCount(line) > 0;
}

int SessionTest::LogCount(const std::string& line) const
{
    std::lock_guard lock(logMutex_);
    return int(std::count(lines_.begin(), lines_.end(), line));
}

}  // namespace zorvan::test
