#pragma once
// The operating system's pointer settings that a profile carries (double-click time, wheel
// lines, pointer speed, enhanced precision, trails). The settings writer hands them to the
// process's SystemPointerSettings, which must return at once: applying them never blocks the
// writer.
#include "profile/profile_record.h"

#include <memory>

namespace zorvan {

struct PointerSettings {
    int doubleClickTime = 0;   // milliseconds
    int wheelLines = 0;
    int pointerSpeed = 0;      // 1..20
    int enhancePrecision = 0;  // 0/1: acceleration thresholds 6, 10 and 1, or 0, 0, 0
    int pointerTrails = 0;
    friend bool operator==(const PointerSettings&, const PointerSettings&) = default;
};

PointerSettings PointerSettingsOf(const ProfileRecord& profile);

class SystemPointerSettings {
public:
    virtual ~SystemPointerSettings() = default;
    // Applies the values that differ from the system's; returns without waiting.
    virtual void Apply(const PointerSettings& settings) = 0;
};

// The desktop's settings where a supported desktop runs (GNOME through gsettings, KDE Plasma
// through kwriteconfig), otherwise nothing.
std::unique_ptr<SystemPointerSettings> MakeDesktopPointerSettings();

// The process's implementation (by default MakeDesktopPointerSettings()).
SystemPointerSettings& SystemPointer();
// Replaces it (tests); returns the previous one.
std::unique_ptr<SystemPointerSettings> SetSystemPointer(std::unique_ptr<SystemPointerSettings> settings);

}  // namespace zorvan
