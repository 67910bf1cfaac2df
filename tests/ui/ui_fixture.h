#pragma once
// What every widget test starts from: the build's application folder, a fresh data folder,
// the default configuration and the English texts; messages are collected, not shown.
#include "app/message_box.h"
#include "ui/live_device_port.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace zorvan {
class CZorvanDlg;
}

namespace zorvan::test {

class UiFixture {
public:
    UiFixture();
    ~UiFixture();

    // The application folder (bin/ of the build), ending with '/'.
    static QString BuildAppDir();
    QString DataDir() const { return data_.path() + QLatin1Char('/'); }
    std::vector<ShownMessage> Messages() const { return messages_->Messages(); }
    // A copy of the build's skins in a folder of its own; Paths().appDir then points to it.
    QString UseSkinCopy();

private:
    QTemporaryDir data_;
    QTemporaryDir app_;
    std::unique_ptr<MessageCollector> messages_;
};

// The real device session over a fresh emulated mouse (not yet started); null, with the
// failure logged as a test warning, when it cannot be made.
std::unique_ptr<LiveDevicePort> EmulatedPort();

// Asks the started window to show and waits until it is on the screen: with the real session
// it shows once the device search has let the program run and the initialisation wait is over.
bool ShowStartedWindow(CZorvanDlg& window);

// Closes the next modal dialog that opens (the dialogs run their own loops) with `result`.
void CloseNextModal(int result, int delayMs = 50);

}  // namespace zorvan::test
