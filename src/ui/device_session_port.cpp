#include "ui/device_session_port.h"

#include "app/log.h"
#include "profile/factory_image.h"

namespace zorvan {

std::unique_ptr<DeviceSessionPort> DeviceSessionPort::Create(const BackendChoice& choice, QString* error)
{
    std::unique_ptr<DeviceBackend> backend = CreateDeviceBackend(choice, &BuildFactoryImages, error);
    if (!backend)
        return nullptr;
    return std::unique_ptr<DeviceSessionPort>(new DeviceSessionPort(std::move(backend)));
}

DeviceSessionPort::DeviceSessionPort(std::unique_ptr<DeviceBackend> backend)
    : backend_(std::move(backend)),
      discovery_(std::make_unique<DeviceDiscovery>(backend_->Hid(), table_, link_, notifier_)),
      session_(std::make_unique<DeviceSession>(table_, link_, notifier_, *discovery_))
{
    DeviceSession* s = session_.get();
    connect(s, &DeviceSession::readStarted, this, &SessionPort::readStarted);
    connect(s, &DeviceSession::readFinished, this, &SessionPort::readFinished);
    connect(s, &DeviceSession::profileRead, this, &SessionPort::profileRead);
    connect(s, &DeviceSession::deviceChanged, this, &SessionPort::deviceChanged);
    connect(s, &DeviceSession::powerRead, this, &SessionPort::powerRead);
    connect(s, &DeviceSession::deviceLost, this, &SessionPort::deviceLost);
    connect(s, &DeviceSession::closeRequested, this, &SessionPort::closeRequested);
    connect(s, &DeviceSession::progress, this, &SessionPort::progress);
    connect(s, &DeviceSession::progressEnded, this, &SessionPort::progressEnded);
    connect(s, &DeviceSession::dpiLevelChanged, this, &SessionPort::dpiLevelChanged);
    connect(s, &DeviceSession::pollingRateChanged, this, &SessionPort::pollingRateChanged);
    connect(s, &DeviceSession::lightingChanged, this, &SessionPort::lightingChanged);
    connect(s, &DeviceSession::dpiLightingChanged, this, &SessionPort::dpiLightingChanged);
}

DeviceSessionPort::~DeviceSessionPort()
{
    session_.reset();
    discovery_->ClearThread();
    discovery_.reset();
    QString error;
    if (!backend_->SaveState(&error))
        Log("Emulated mouse state not saved: %s", error.toUtf8().constData());
}

}  // namespace zorvan
