#pragma once
// The one path by which the window's pages and zorvanctl change the mouse's settings: the
// settings-change check, the edit of the current profile under its lock, then the apply
// request posted when ApplyNow is set (lighting: once the mouse has said that its lighting
// is not locked). The desktop's pointer settings, which the profile carries too, take the same
// path with a check that needs no mouse. Also the on-board profile switch, a request posted as it is, and a wait for
// the apply worker's writes.
//
// Every result comes through a completion callback, later, on the session's thread: the
// user-interface thread never waits. zorvanctl waits for the callbacks in its own event loop.
#include "profile/apply_request.h"
#include "profile/device_session.h"
#include "profile/profile_edits.h"
#include "profile/profile_record.h"

#include <functional>

namespace zorvan {

// How a change ended.
enum class ChangeResult {
    kRefused,   // not allowed now, or the edit refused: the profile is as it was (the refusal was shown)
    kNotTaken,  // the mouse did not take it: its lighting is locked (the profile keeps the change), the
                // profile switch failed, or the session could not ask
    kMade,      // the profile changed and its request was posted when ApplyNow is set; the profile switched
};

// An edit of the current profile by the editing rules (profile_edits.h).
using ProfileEdit = std::function<Edit(ProfileRecord&)>;
using ChangeDone = std::function<void(ChangeResult)>;

class SettingsEditor {
public:
    explicit SettingsEditor(DeviceSession& session) : session_(session) {}

    // A setting of the current profile.
    void ChangeSetting(const ProfileEdit& edit, ChangeDone done = {});
    // A desktop pointer setting the current profile carries (SetPointerSettings): as
    // ChangeSetting, with the desktop's check, which needs no mouse.
    void ChangeDesktopSetting(const ProfileEdit& edit, ChangeDone done = {});
    // A lighting setting: the request is posted only while the mouse's lighting is not locked
    // (tc_adv_str29 otherwise).
    void ChangeLighting(const ProfileEdit& edit, ChangeDone done = {});
    // Makes on-board profile `index` (0..3) active on the mouse, after the requests posted
    // before it are written; the profile read it starts follows (DeviceSession::Reading()).
    void SelectProfile(int index, ChangeDone done = {});
    // A correction the program makes by itself (a key without a name back to its default):
    // `edit` on the current profile, without the settings-change check and without a request.
    void Repair(const ProfileEdit& edit);
    // Posts `request` whatever ApplyNow says (restore defaults, profile import).
    bool Post(const ApplyRequest& request);
    // `done` once the apply worker has written every request posted so far: the result of the
    // last one.
    void AfterWrites(DeviceSession::Done done);

private:
    // `allowed` (the settings-change check) and `edit` on the current profile; nothing when the
    // check refuses.
    std::optional<Edit> EditCurrent(const ProfileEdit& edit, bool allowed);
    // EditCurrent, then its request posted (ApplyNow) or its refusal shown.
    void Change(const ProfileEdit& edit, bool allowed, const ChangeDone& done);

    DeviceSession& session_;
};

}  // namespace zorvan
