#include "profile/settings_editor.h"

#include "device/post_to_thread.h"
#include "profile/profile_state.h"

namespace zorvan {
namespace {

void Report(DeviceSession& session, const ChangeDone& done, ChangeResult result)
{
    if (done)
        PostToThread(&session, [done, result] { done(result); });
}

}  // namespace

std::optional<Edit> SettingsEditor::EditCurrent(const ProfileEdit& edit, bool allowed)
{
    if (!allowed)
        return std::nullopt;
    Edit result = Edit::Refused(QStringLiteral("there is no current profile"));
    EditCurrentProfile([&](ProfileRecord& profile) { result = edit(profile); });
    return result;
}

void SettingsEditor::ChangeSetting(const ProfileEdit& edit, ChangeDone done)
{
    Change(edit, session_.SettingsChangeAllowed(), done);
}

void SettingsEditor::ChangeDesktopSetting(const ProfileEdit& edit, ChangeDone done)
{
    Change(edit, session_.DesktopChangeAllowed(), done);
}

void SettingsEditor::Change(const ProfileEdit& edit, bool allowed, const ChangeDone& done)
{
    const std::optional<Edit> result = EditCurrent(edit, allowed);
    const bool made = result && session_.Apply(*result);
    Report(session_, done, made ? ChangeResult::kMade : ChangeResult::kRefused);
}

void SettingsEditor::ChangeLighting(const ProfileEdit& edit, ChangeDone done)
{
    const std::optional<Edit> result = EditCurrent(edit, session_.SettingsChangeAllowed());
    if (!result) {
        Report(session_, done, ChangeResult::kRefused);
        return;
    }
    const bool changed = result->IsChanged();
    session_.ApplyLighting(*result, [done, changed](bool through) {
        if (done)
            done(!changed ? ChangeResult::kRefused : through ? ChangeResult::kMade : ChangeResult::kNotTaken);
    });
}

void SettingsEditor::SelectProfile(int index, ChangeDone done)
{
    if (!session_.SettingsChangeAllowed()) {
        Report(session_, done, ChangeResult::kRefused);
        return;
    }
    session_.SelectProfile(index, [done](bool switched) {
        if (done)
            done(switched ? ChangeResult::kMade : ChangeResult::kNotTaken);
    });
}

void SettingsEditor::Repair(const ProfileEdit& edit)
{
    EditCurrentProfile([&edit](ProfileRecord& profile) { edit(profile); });
}

bool SettingsEditor::Post(const ApplyRequest& request)
{
    return session_.Post(request);
}

void SettingsEditor::AfterWrites(DeviceSession::Done done)
{
    session_.AfterWrites(std::move(done));
}

}  // namespace zorvan
