#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "cli/json_profile.h"
#include "cli/key_functions.h"
#include "cli/model_check.h"
#include "macro/macro_library.h"
#include "profile/function_name.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "text/language_choice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <memory>
#include <optional>

namespace zorvan::cli {
namespace {

// Identification: a linked mouse answers within a second; a receiver whose mouse is off keeps
// its identification waiting, so the wait is bounded.
constexpr int kTakeOverTimeoutMs = 5000;
constexpr int kReadTimeoutMs = 60000;

QString Hex6(int32_t colour)
{
    const int rgb = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    return QStringLiteral("%1").arg(rgb, 6, 16, QLatin1Char('0'));
}

QString RateText(int32_t rate)
{
    return QString::number(rate, 16) + QStringLiteral(" Hz");
}

QString OnOff(int32_t value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}

// A lighting zone as its effect's name and what that effect shows.
QString Light(LightZone zone, const LightingBlock& light)
{
    if (light.mode == 0)
        return EffectName(zone, 0);
    return QStringLiteral("%1 (%2), speed %3, brightness %4, colour %5")
        .arg(EffectName(zone, light.mode))
        .arg(light.mode)
        .arg(light.speed)
        .arg(light.brightness)
        .arg(Hex6(light.colour));
}

QString DpiLight(const ProfileRecord& p)
{
    QString text = QStringLiteral("%1 (%2)").arg(EffectName(LightZone::kDpi, p.dpiEffectMode)).arg(p.dpiEffectMode);
    if (p.dpiEffectMode == 1)
        text += QStringLiteral(", speed %1").arg(p.dpiEffectSpeed);
    else if (p.dpiEffectMode == 2)
        text += QStringLiteral(", parameter %1").arg(p.dpiEffectParameter);
    return text;
}

// The verdict every model of cfg.ini gives, when they all give the same: what the arguments
// are worth whichever mouse answers. Nothing when they differ or no model is described.
std::optional<ModelVerdict> VerdictOfEveryModel(const std::function<ModelVerdict(const DeviceDescription&)>& check)
{
    std::optional<ModelVerdict> common;
    for (const DeviceDescription& device : Config().devices) {
        if (!device.HoldsModel())
            continue;
        const ModelVerdict verdict = check(device);
        if (common && !(*common == verdict))
            return std::nullopt;
        common = verdict;
    }
    return common;
}

}  // namespace

std::unique_ptr<MouseCommand> MouseCommand::Open(CliContext& ctx, int& exitCode, const MouseNeeds& needs)
{
    exitCode = kFailed;
    if (!LoadProductData(ctx))
        return nullptr;
    LoadChosenLanguage();
    LoadMacroLibrary();
    const auto refused = [&](const ModelVerdict& verdict) {
        exitCode = verdict.exitCode == kUsage ? ctx.UsageError(verdict.message) : ctx.Fail(verdict.message);
    };
    std::unique_ptr<MouseAccess> access = MouseAccess::Open(ctx, exitCode);
    if (!access)
        return nullptr;
    const DeviceDescription* emulated = access->EmulatedModel();
    if (needs.checkModel) {
        const std::optional<ModelVerdict> verdict =
            emulated != nullptr ? needs.checkModel(*emulated) : VerdictOfEveryModel(needs.checkModel);
        if (verdict && !verdict->Ok()) {
            refused(*verdict);
            return nullptr;
        }
    }
    std::unique_ptr<MouseCommand> mouse(new MouseCommand(ctx, std::move(access)));
    const ReadScope scope = Options().ApplyNow == 0 && !needs.scope.ReadsNothing() ? ReadScope::Whole() : needs.scope;
    if (!mouse->TakeOver(scope)) {
        exitCode = kFailed;
        return nullptr;
    }
    if (emulated == nullptr && needs.checkModel) {
        if (const ModelVerdict verdict = needs.checkModel(mouse->Device()); !verdict.Ok()) {
            mouse->Finish();
            refused(verdict);
            return nullptr;
        }
    }
    exitCode = kOk;
    return mouse;
}

MouseCommand::MouseCommand(CliContext& ctx, std::unique_ptr<MouseAccess> access)
    : ctx_(ctx), access_(std::move(access))
{
    previousHandler_ = SetMessageHandler([this](const ShownMessage& message) {
        ++shown_;
        std::fprintf(stderr, "zorvanctl: %s\n", message.text.trimmed().toUtf8().constData());
    });
    session_ = std::make_unique<DeviceSession>(access_->Table(), access_->Link(), access_->Notifier(),
                                               access_->Discovery());
    editor_ = std::make_unique<SettingsEditor>(*session_);
    QObject::connect(session_.get(), &DeviceSession::readStarted, [this] { ++reads_; });
    // A successful read reports "profile read" before its end, so the end knows how it went.
    QObject::connect(session_.get(), &DeviceSession::profileRead, [this] { readOk_ = true; });
    QObject::connect(session_.get(), &DeviceSession::profilePartRead, [this] { readOk_ = true; });
    QObject::connect(session_.get(), &DeviceSession::readFinished, [this] {
        ++readsFinished_;
        lastReadOk_ = readOk_;
        readOk_ = false;
    });
}

MouseCommand::~MouseCommand()
{
    editor_.reset();
    session_.reset();
    access_.reset();
    SetMessageHandler(previousHandler_);
}

const DeviceDescription& MouseCommand::Device() const
{
    static const DeviceDescription none;
    const DeviceDescription* device = CurrentDevice();
    return device ? *device : none;
}

bool MouseCommand::TakeOver(const ReadScope& scope)
{
    // zorvanctl takes the one mouse over as soon as it is identified: no burst of arrivals to
    // wait for.
    session_->timing.takeOverMs = 0;
    session_->SetReadScope(scope);
    // A mouse slow to answer the search's probe is found by the next search.
    int pairs = session_->CountDevices();
    for (int search = 1; search < 3 && pairs <= 0; ++search) {
        access_->CarefulSearch();
        pairs = session_->CountDevices();
    }
    session_->Start();
    const auto identified = [this] { return reads_ > 0; };
    const auto hopeless = [this] {
        return access_->Discovery().RunningIdentifications() == 0 && access_->Table().CurrentIndex() < 0;
    };
    if (pairs > 0)
        RunUntil([&] { return identified() || hopeless(); }, kTakeOverTimeoutMs);
    if (!identified()) {
        ctx_.Fail(QStringLiteral("no supported mouse found: %1").arg(access_->NoMouseHint()));
        return false;
    }
    if (!WaitForRead()) {
        ctx_.Fail(QStringLiteral("the mouse's active profile could not be read (run with -v for the log)"));
        return false;
    }
    return true;
}

bool MouseCommand::WaitForRead()
{
    const bool ended = RunUntil([this] { return !session_->Reading() && readsFinished_ >= reads_; }, kReadTimeoutMs);
    return ended && lastReadOk_;
}

bool MouseCommand::RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();
    return true;
}

int MouseCommand::Change(const ProfileEdit& edit, bool lighting)
{
    TakeShownCount();
    // zorvanctl names a change that changes nothing, which the pages never offer.
    const ProfileEdit named = [&edit](ProfileRecord& profile) {
        Edit result = edit(profile);
        if (!result.IsChanged() && result.message.isEmpty())
            result.message = QStringLiteral("nothing was changed");
        return result;
    };
    const std::optional<ChangeResult> result = Await<ChangeResult>([&](ChangeDone done) {
        if (lighting)
            editor_->ChangeLighting(named, std::move(done));
        else
            editor_->ChangeSetting(named, std::move(done));
    });
    if (result == ChangeResult::kRefused)
        return kFailed;
    // The profile changed even when the mouse refused it (lighting lock): keep it.
    if (result != ChangeResult::kMade) {
        Finish();
        return kFailed;
    }
    if (Options().ApplyNow != 0 && WaitApplied() != kOk) {
        Finish();
        return kFailed;
    }
    return Finish();
}

int MouseCommand::WaitApplied()
{
    const std::optional<bool> written =
        Await<bool>([this](DeviceSession::Done done) { editor_->AfterWrites(std::move(done)); });
    if (written.value_or(false))
        return kOk;
    if (TakeShownCount() == 0)
        ctx_.Fail(QStringLiteral("the mouse did not take the change (run with -v for the log)"));
    return kFailed;
}

int MouseCommand::Finish()
{
    session_->Exit();
    return access_->SaveState() ? kOk : kFailed;
}

int MouseCommand::TakeShownCount()
{
    const int shown = shown_;
    shown_ = 0;
    return shown;
}

void MouseCommand::Report(const QString& text) const
{
    if (ctx_.json) {
        PrintProfile();
        return;
    }
    ctx_.Print(text);
    if (Options().ApplyNow == 0)
        ctx_.Print(QStringLiteral("(ApplyNow is 0 in cfg.ini: kept in the local store, not sent to the mouse)"));
}

void MouseCommand::PrintProfile() const
{
    int index = -1;
    ProfileRecord p{};
    {
        std::lock_guard lock(zorvan::Profiles().profileLock);
        index = zorvan::Profiles().profiles.CurrentIndex();
        if (const ProfileRecord* current = zorvan::Profiles().profiles.Current())
            p = *current;
    }
    const int level = g_nCurDpiLevel.load();
    if (ctx_.json) {
        ctx_.PrintJson(ReadResultToJson(index, level, p));
        return;
    }
    // Only what the model has: the pages show no control for the rest.
    const DeviceDescription& d = Device();
    const std::u16string_view name = p.Name();
    ctx_.Print(QStringLiteral("Mouse %1:%2, on-board profile %3 \"%4\"")
                   .arg(d.CID, 2, 16, QLatin1Char('0'))
                   .arg(d.MID, 2, 16, QLatin1Char('0'))
                   .arg(index + 1)
                   .arg(QString::fromUtf16(name.data(), qsizetype(name.size()))));
    if (d.ShowUsbRate)
        ctx_.Print(QStringLiteral("  polling rate     %1").arg(RateText(p.pollingRate)));
    if (d.ShowDpi) {
        QString levels;
        for (int i = 0; i < p.LevelCount(); ++i) {
            const DpiLevelRecord& l = p.dpiLevels[i];
            levels += QStringLiteral("  %1%2:%3%4%5")
                          .arg(i == level ? QStringLiteral("*") : QString())
                          .arg(i + 1)
                          .arg(l.x)
                          .arg(d.ShowXY && p.xySeparate ? QStringLiteral("x%1").arg(l.y) : QString())
                          .arg(d.ShowDpiColor ? QStringLiteral(" #") + Hex6(l.colour) : QString());
        }
        ctx_.Print(QStringLiteral("  DPI levels (%1) %2   (* current)").arg(p.LevelCount()).arg(levels));
    }
    if (d.ShowXY)
        ctx_.Print(QStringLiteral("  separate X/Y     %1").arg(OnOff(p.xySeparate)));
    if (d.ShowDpiLED)
        ctx_.Print(QStringLiteral("  DPI lighting     %1").arg(DpiLight(p)));
    if (d.ShowMainEffect)
        ctx_.Print(QStringLiteral("  main lighting    %1").arg(Light(LightZone::kMain, p.mainLight)));
    if (d.ShowLogoEffect)
        ctx_.Print(QStringLiteral("  logo lighting    %1").arg(Light(LightZone::kLogo, p.logoLight)));
    if (d.ShowLOD)
        ctx_.Print(QStringLiteral("  lift-off         %1 mm").arg(p.lod));
    if (d.ShowRipple)
        ctx_.Print(QStringLiteral("  ripple control   %1").arg(OnOff(p.ripple)));
    if (d.ShowFixLine)
        ctx_.Print(QStringLiteral("  angle snapping   %1").arg(OnOff(p.angleSnapping)));
    if (d.ShowDebounce)
        ctx_.Print(QStringLiteral("  debounce         %1 ms").arg(p.debounce));
    if (d.ShowSleep)
        ctx_.Print(QStringLiteral("  sleep            %1 s").arg(p.sleepTime));
    ctx_.Print(QStringLiteral("  light off while moving %1").arg(OnOff(p.lightOffMoving)));
    const int set = p.KeySetIndex();
    ctx_.Print(QStringLiteral("  keys (set %1):").arg(set + 1));
    for (int k = 0; k < std::min(d.KeyCount, kKeysPerSet); ++k) {
        const KeyAssignment& key = p.Key[set][k];
        const QString shown = FunctionName(key, d, Options(), Config().sensors);
        const QString words = FunctionWords(key, d);
        ctx_.Print(shown.isEmpty() ? QStringLiteral("    %1  %2").arg(k + 1, 2).arg(words)
                                   : QStringLiteral("    %1  %2  %3").arg(k + 1, 2).arg(words, -24).arg(shown));
    }
}

std::optional<int32_t> ParseColour(const QString& text)
{
    bool ok = false;
    const uint32_t rgb = text.toUInt(&ok, 16);
    if (!ok || text.size() != 6)
        return std::nullopt;
    return int32_t(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

std::optional<bool> ParseOnOff(const QString& text)
{
    if (text == QStringLiteral("on"))
        return true;
    if (text == QStringLiteral("off"))
        return false;
    return std::nullopt;
}

}  // namespace zorvan::cli
