#pragma once
// What the mouse reports by itself: a DPI level chosen with its button, a polling rate, a
// profile switch or reset, a lighting change. A lighting change is read back from the mouse:
// one table gives, per event kind, the EEPROM area and its length, the lighting zone, whether
// the model shows that zone and the signal that tells the pages.
//
// Lives on the user-interface thread; the read-backs go through the session's short exchanges.
// What a report changes while a profile read runs is kept for the read's commit (see
// EditCurrentProfileFromMouse), because it is newer than what the read brings back.
#include "device/usb_driver.h"
#include "profile/apply_request.h"
#include "profile/session_timing.h"
#include "profile/short_exchanges.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

namespace zorvan {

struct ReportedArea;

class MouseReports : public QObject {
    Q_OBJECT
public:
    // `timing` and `tickCount` belong to the session (tests replace them) and outlive this.
    MouseReports(CUSBDriver& link, ShortExchanges& exchanges, const SessionTiming& timing,
                 const std::function<int64_t()>& tickCount, QObject* parent = nullptr);

    // One event of the mouse: `kind` a MouseEventKind, `value` as the kind says.
    void OnDeviceBehavior(int value, int kind);
    // Restore defaults was asked for now: the mouse's own reset event that follows within the
    // reset window is not read.
    void NoteReset();
    // A page changed the lighting zones `request` writes: a read-back asked for before is older
    // than the change, which its request writes to the mouse, and is dropped.
    void NotePageEdit(const ApplyRequest& request);

signals:
    // The DPI level (0-based), a polling-rate code (1, 2, 4, 8); lighting read back into the
    // current profile (the lighting page, the DPI pages show it).
    void dpiLevelChanged(int level);
    void pollingRateChanged(int code);
    void lightingChanged();
    void dpiLightingChanged();
    // A profile switch or reset that is to be read.
    void profileSwitched();

private:
    void OnProfileEvent();
    void ReadBack(const ReportedArea& area);

    CUSBDriver& link_;
    ShortExchanges& exchanges_;
    const SessionTiming& timing_;
    const std::function<int64_t()>& tickCount_;
    int64_t resetTime_ = 0;
    bool resetNoted_ = false;  // no restore-defaults yet: every profile/reset event is read
    // Page changes of the logo, main and DPI lighting (bits 0, 1, 2 of a lighting request).
    std::array<unsigned, 3> pageEdits_{};
};

}  // namespace zorvan
