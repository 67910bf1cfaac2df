#pragma once
// The device session for one zorvanctl command that works on the mouse's settings: product
// data, language texts and macro library loaded as the GUI loads them, the mouse found and
// taken over (the areas of its active profile the command needs read), every message the GUI
// would show printed on standard error. Changes go through the settings editor, the one editing
// path of the GUI; its completion callbacks are waited for in a local event loop.
#include "cli/cli.h"
#include "cli/model_check.h"
#include "cli/mouse_access.h"

#include "app/message_box.h"
#include "profile/device_session.h"
#include "profile/profile_edits.h"
#include "profile/profile_read.h"
#include "profile/settings_editor.h"

#include <functional>
#include <memory>
#include <optional>

namespace zorvan::cli {

// What a command needs of the mouse.
struct MouseNeeds {
    // The areas of the active profile it reads. With ApplyNow 0 in cfg.ini the whole profile is
    // read whatever this says (the change then lives in the local store only), unless it reads
    // nothing (ReadScope::Nothing(): the command replaces the profiles on the mouse itself).
    ReadScope scope = ReadScope::Whole();
    // The arguments checked against a model's description. Runs once the model is known: for
    // the emulated mouse before any request reaches it, for a real mouse once it is identified
    // and read (nothing is written before) - and before the search when every model cfg.ini
    // describes gives the same verdict. It may run more than once; the last run is the mouse's.
    std::function<ModelVerdict(const DeviceDescription&)> checkModel;
};

class MouseCommand {
public:
    // Null with the failure printed and the exit code in `exitCode`.
    static std::unique_ptr<MouseCommand> Open(CliContext& ctx, int& exitCode, const MouseNeeds& needs = {});
    ~MouseCommand();
    MouseCommand(const MouseCommand&) = delete;
    MouseCommand& operator=(const MouseCommand&) = delete;

    DeviceSession& Session() { return *session_; }
    SettingsEditor& Editor() { return *editor_; }
    const DeviceDescription& Device() const;

    // Until no profile read runs; false when the last one failed or on time-out.
    bool WaitForRead();
    // Starts an asynchronous action with the completion callback handed to `start` and runs
    // the event loop until it is called; its result (nothing on time-out).
    template <typename Result>
    std::optional<Result> Await(const std::function<void(std::function<void(Result)>)>& start);

    // A change of the current profile through the settings editor, then a wait for its writes.
    // kOk, or kFailed with the GUI's message printed.
    int Change(const ProfileEdit& edit, bool lighting = false);
    // Waits for the apply worker; kFailed when the last request failed.
    int WaitApplied();
    // Saves the local store, the last model and the emulated mouse's state. kOk or kFailed.
    int Finish();

    // Prints the current profile as `read` does (text, or the JSON document).
    void PrintProfile() const;
    // "text", and a note when the change is only local (ApplyNow 0); nothing with --json
    // (the profile is printed then).
    void Report(const QString& text) const;

    // Messages shown since the last call (the handler has printed them already).
    int TakeShownCount();

private:
    MouseCommand(CliContext& ctx, std::unique_ptr<MouseAccess> access);
    bool TakeOver(const ReadScope& scope);
    // Runs the event loop until `done` or `timeoutMs`.
    static bool RunUntil(const std::function<bool()>& done, int timeoutMs);

    CliContext& ctx_;
    std::unique_ptr<MouseAccess> access_;
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<SettingsEditor> editor_;
    MessageHandler previousHandler_;
    int shown_ = 0;
    int reads_ = 0;
    int readsFinished_ = 0;
    bool readOk_ = false;
    bool lastReadOk_ = false;
};

template <typename Result>
std::optional<Result> MouseCommand::Await(const std::function<void(std::function<void(Result)>)>& start)
{
    // A short exchange behind the apply worker's writes (a profile switch waits for them).
    constexpr int kExchangeTimeoutMs = 120000;
    // Shared with the callback: after a time-out it may still come.
    const auto result = std::make_shared<std::optional<Result>>();
    start([result](Result value) { *result = value; });
    RunUntil([&] { return result->has_value(); }, kExchangeTimeoutMs);
    return *result;
}

// "RRGGBB" (hex) as a stored colour (red in the low byte).
std::optional<int32_t> ParseColour(const QString& text);
// on/off.
std::optional<bool> ParseOnOff(const QString& text);

}  // namespace zorvan::cli
