#include "ui/live_device_port.h"

#include "app/configuration.h"
#include "app/log.h"
#include "profile/factory_image.h"
#include "profile/profile_state.h"

namespace zorvan {

std::unique_ptr<LiveDevicePort> LiveDevicePort::Create(const BackendChoice& choice, QString* error)
{
    std::unique_ptr<DeviceBackend> backend = CreateDeviceBackend(choice, &BuildFactoryImages, error);
    if (!backend)
        return nullptr;
    return std::unique_ptr<LiveDevicePort>(new LiveDevicePort(std::move(backend)));
}

LiveDevicePort::LiveDevicePort(std::unique_ptr<DeviceBackend> backend)
    : backend_(std::move(backend)),
      discovery_(std::make_unique<DeviceDiscovery>(backend_->Hid(), table_, link_, notifier_)),
      session_(std::make_unique<DeviceSession>(table_, link_, notifier_, *discovery_)),
      editor_(std::make_unique<SettingsEditor>(*session_))
{
    if (MouseFirmware* mouse = backend_->EmulatedMouse(); mouse && !backend_->StateFile().isEmpty())
        follower_ = std::make_unique<StateFileFollower>(*mouse, backend_->StateFile());
    DeviceSession* s = session_.get();
    connect(s, &DeviceSession::readStarted, this, &DevicePort::readStarted);
    connect(s, &DeviceSession::readFinished, this, &DevicePort::readFinished);
    connect(s, &DeviceSession::profileRead, this, &DevicePort::profileRead);
    connect(s, &DeviceSession::deviceChanged, this, &DevicePort::deviceChanged);
    connect(s, &DeviceSession::powerRead, this, &DevicePort::powerRead);
    connect(s, &DeviceSession::linkRead, this, &DevicePort::linkRead);
    connect(s, &DeviceSession::deviceLost, this, &DevicePort::deviceLost);
    connect(s, &DeviceSession::closeRequested, this, &DevicePort::closeRequested);
    connect(s, &DeviceSession::progress, this, &DevicePort::progress);
    connect(s, &DeviceSession::progressEnded, this, &DevicePort::progressEnded);
    connect(s, &DeviceSession::dpiLevelChanged, this, &DevicePort::dpiLevelChanged);
    connect(s, &DeviceSession::pollingRateChanged, this, &DevicePort::pollingRateChanged);
    connect(s, &DeviceSession::lightingChanged, this, &DevicePort::lightingChanged);
    connect(s, &DeviceSession::dpiLightingChanged, this, &DevicePort::dpiLightingChanged);
    connect(s, &DeviceSession::pendingChanged, this, &DevicePort::pendingChanged);
    connect(discovery_.get(), &DeviceDiscovery::searchEnded, this, &DevicePort::searchChanged);
    connect(&notifier_, &DeviceNotifier::identificationEnded, this, &DevicePort::searchChanged);
}

LiveDevicePort::~LiveDevicePort()
{
    follower_.reset();
    editor_.reset();
    session_.reset();
    discovery_->ClearThread();
    discovery_.reset();
    QString error;
    if (!backend_->SaveState(&error))
        Log("Emulated mouse state not saved: %s", error.toUtf8().constData());
}

bool LiveDevicePort::ReceiverWithoutMouse() const
{
    if (Connected())
        return false;
    for (int i = 0; i < kDeviceTableSlots; ++i)
        if (!table_.Get(i).Free())
            return true;
    return false;
}

const DeviceDescription* LiveDevicePort::CurrentDevice() const
{
    return zorvan::CurrentDevice();
}

std::optional<ProfileRecord> LiveDevicePort::CurrentProfile() const
{
    return CurrentProfileCopy();
}

int LiveDevicePort::CurrentProfileIndex() const
{
    ProfileState& state = Profiles();
    std::lock_guard lock(state.profileLock);
    return state.profiles.CurrentIndex();
}

}  // namespace zorvan
