#pragma once
// What the main window needs of the device session: the mouse's state, the actions the window
// starts (telling the mouse whether the window is shown, the settings-change check, restore
// defaults, exit) and the session's news as signals on the user-interface thread.
#include <QObject>
#include <QString>

#include <optional>

namespace zorvan {

class DevicePort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Counts the connected mice at start-up (the device search); the number found.
    virtual int CountDevices() = 0;
    // After the window is built: timers, apply worker, device notifications, the layout for
    // the current device.
    virtual void Start() = 0;

    // Interfaces of the mouse's ids that the user may not open (at the last count).
    virtual int DeniedInterfaces() const = 0;

    // A mouse is connected (its command interface is open).
    virtual bool Connected() const = 0;
    // A profile read is running (pages may not change settings).
    virtual bool Reading() const = 0;
    // The connected mouse's firmware version.
    virtual std::optional<int> FirmwareVersion() const = 0;

    // Tells the mouse whether the configuration window is on screen (only with a mouse; sent
    // in the background).
    virtual void TellDrvStatus(int shown) = 0;
    // May a page change a setting now? Shows the refusal itself.
    virtual bool SettingsChangeAllowed() = 0;
    // Profile 0 back to its defaults as the current profile, the DPI level to the default
    // level, the reset time noted.
    virtual void ResetProfileToDefaults() = 0;
    // Has the whole profile written to the mouse and the mouse reset, reporting progress().
    virtual void WriteDefaultsToMouse() = 0;
    // The program exits: stops the device search, saves the profile store and the last model.
    virtual void Exit() = 0;

signals:
    // A profile read started; the wait message stays until readFinished().
    void readStarted();
    void readFinished();
    // The current profile was read from the mouse: the pages show it.
    void profileRead();
    // The current device changed: the pages lay themselves out for it.
    void deviceChanged();
    // A battery reading (level at most 100).
    void powerRead(bool charging, int level);
    // The mouse is gone: the battery indicator hides.
    void deviceLost();
    // The session asks the program to end after showing the language text `textKey`.
    void closeRequested(const QString& textKey);
    // Progress of a whole-profile write (0..100) and its end.
    void progress(int position);
    void progressEnded();
    // What the mouse reported by itself: its DPI level (0-based), a polling-rate code (1, 2, 4,
    // 8); its main or logo lighting, or its DPI lighting effect, read back into the current
    // profile (the lighting page, the DPI pages show it).
    void dpiLevelChanged(int level);
    void pollingRateChanged(int code);
    void lightingChanged();
    void dpiLightingChanged();
};

}  // namespace zorvan
