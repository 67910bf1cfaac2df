// zorvan-uhid-mouse: the emulated mouse behind /dev/uhid, so that the kernel's HID stack (hidraw,
// its ioctls, input reports and uevents) carries the traffic between zorvanctl and the mouse's
// firmware model. Used by the kernel test in a small VM; needs root (or access to /dev/uhid).
//
//   zorvan-uhid-mouse [--app-dir DIR] [--model CID:MID] [--state FILE] [--control FIFO]
//
// The model and the memory are chosen as `zorvanctl --emulate[=FILE] [--model CID:MID]` chooses
// them; the ids are VID and PID of cfg.ini. Commands arrive on the control FIFO (created when
// missing; see control_command.h). Each one, and each plug change, is reported on standard
// output. SIGINT or SIGTERM unplugs the mouse and ends the program.
#include "uhid-mouse/control_command.h"
#include "uhid-mouse/uhid_mouse.h"

#include "app/configuration.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "device/backend_factory.h"
#include "profile/factory_image.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace zorvan {
namespace {

constexpr size_t kMaxControlLine = 256;

struct ProgramOptions {
    QString appDir;
    QString stateFile;
    QString control;
    std::optional<std::pair<int, int>> model;
};

int Usage(const char* problem)
{
    std::fprintf(stderr,
                 "zorvan-uhid-mouse: %s\n"
                 "usage: zorvan-uhid-mouse [--app-dir DIR] [--model CID:MID] [--state FILE] [--control FIFO]\n",
                 problem);
    return 2;
}

bool ParseOptions(const QStringList& words, ProgramOptions& options)
{
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (i + 1 >= words.size())
            return false;
        const QString value = words[++i];
        if (word == QStringLiteral("--app-dir")) {
            options.appDir = value.endsWith(u'/') ? value : value + u'/';
        } else if (word == QStringLiteral("--state")) {
            options.stateFile = value;
        } else if (word == QStringLiteral("--control")) {
            options.control = value;
        } else if (word == QStringLiteral("--model")) {
            const QStringList parts = value.split(u':');
            bool okCid = false, okMid = false;
            const int cid = parts.value(0).toInt(&okCid, 16);
            const int mid = parts.value(1).toInt(&okMid, 16);
            if (parts.size() != 2 || !okCid || !okMid)
                return false;
            options.model = {cid, mid};
        } else {
            return false;
        }
    }
    return true;
}

bool LoadProductData(const QString& appDir)
{
    MessageCollector messages;
    const bool loaded = LoadConfiguration(appDir + QStringLiteral("cfg.ini"), DefaultLogFile());
    for (const ShownMessage& m : messages.Messages())
        std::fprintf(stderr, "zorvan-uhid-mouse: cfg.ini: %s: %s\n", m.caption.toUtf8().constData(),
                     m.text.toUtf8().constData());
    return loaded;
}

int OpenControl(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (mkfifo(name.constData(), 0600) < 0 && errno != EEXIST)
        return -1;
    // Read and write: the FIFO never reports the end of input when a writer closes.
    return open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

// Carries out the complete lines that arrived on the control FIFO.
void ReadControl(int fd, std::string& pending, MouseFirmware& firmware, const QString& stateFile)
{
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        pending.append(buffer, size_t(got));
    size_t end = 0;
    while ((end = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        const auto command = ParseControlLine(line);
        QString error;
        if (!command)
            std::printf("zorvan-uhid-mouse: control: %s: not a command\n", line.c_str());
        else if (!RunControlCommand(*command, firmware, stateFile, &error))
            std::printf("zorvan-uhid-mouse: control: %s: failed: %s\n", line.c_str(), error.toUtf8().constData());
        else
            std::printf("zorvan-uhid-mouse: control: %s\n", line.c_str());
    }
    if (pending.size() > kMaxControlLine)
        pending.clear();
}

int Run(const ProgramOptions& options)
{
    if (!LoadProductData(options.appDir)) {
        std::fprintf(stderr, "zorvan-uhid-mouse: %scfg.ini: Data Init failed\n", options.appDir.toUtf8().constData());
        return 1;
    }
    BackendChoice choice;
    choice.emulate = true;
    choice.stateFile = options.stateFile;
    choice.model = options.model;
    QString error;
    const std::shared_ptr<MouseFirmware> firmware = MakeEmulatedFirmware(choice, &BuildFactoryImages, &error);
    if (!firmware) {
        std::fprintf(stderr, "zorvan-uhid-mouse: %s\n", error.toUtf8().constData());
        return 1;
    }

    DevUhidPort ports[kUhidRoles];
    for (const DevUhidPort& port : ports) {
        if (port.Fd() < 0) {
            std::fprintf(stderr, "zorvan-uhid-mouse: cannot open /dev/uhid: %s (is the uhid module loaded?)\n",
                         std::strerror(errno));
            return 1;
        }
    }
    const int control = options.control.isEmpty() ? -1 : OpenControl(options.control);
    if (!options.control.isEmpty() && control < 0) {
        std::fprintf(stderr, "zorvan-uhid-mouse: cannot open the control FIFO %s: %s\n",
                     options.control.toUtf8().constData(), std::strerror(errno));
        return 1;
    }
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::fprintf(stderr, "zorvan-uhid-mouse: signalfd: %s\n", std::strerror(errno));
        return 1;
    }

    const UhidIds ids{Options().VID, Options().PID, 0x0100};
    UhidMouse mouse(firmware, ids, {&ports[0], &ports[1], &ports[2]});
    const FirmwareState state = firmware->State();
    std::printf("zorvan-uhid-mouse: model %x:%x, VID %04x, PID %04x\n", state.cid, state.mid, ids.vendorId,
                ids.productId);
    mouse.Start();

    bool created = false;
    std::string pending;
    for (;;) {
        if (mouse.Created() != created) {
            created = mouse.Created();
            std::printf("zorvan-uhid-mouse: %s\n", created ? "plugged in" : "unplugged");
        }
        const auto next = mouse.SendDue(UhidMouse::Clock::now());
        int timeoutMs = -1;
        if (next) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - UhidMouse::Clock::now());
            timeoutMs = int(std::max<int64_t>(wait.count(), 0));
        }
        pollfd fds[kUhidRoles + 2] = {};
        for (size_t i = 0; i < kUhidRoles; ++i)
            fds[i] = {ports[i].Fd(), POLLIN, 0};
        fds[kUhidRoles] = {control, POLLIN, 0};
        fds[kUhidRoles + 1] = {signalFd, POLLIN, 0};
        if (poll(fds, kUhidRoles + 2, timeoutMs) < 0 && errno != EINTR) {
            std::fprintf(stderr, "zorvan-uhid-mouse: poll: %s\n", std::strerror(errno));
            break;
        }
        if (fds[kUhidRoles + 1].revents != 0)
            break;
        for (size_t i = 0; i < kUhidRoles; ++i) {
            uhid_event event;
            if ((fds[i].revents & POLLIN) && ports[i].Read(event))
                mouse.OnEvent(kAllUhidRoles[i], event);
        }
        if (fds[kUhidRoles].revents & POLLIN)
            ReadControl(control, pending, *firmware, options.stateFile);
    }
    mouse.Stop();
    std::printf("zorvan-uhid-mouse: unplugged, ending\n");
    if (control >= 0)
        close(control);
    return 0;
}

}  // namespace
}  // namespace zorvan

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication app(argc, argv);
    zorvan::ProgramOptions options;
    if (!zorvan::ParseOptions(app.arguments().mid(1), options))
        return zorvan::Usage("unknown option or missing value");
    if (options.appDir.isEmpty())
        options.appDir = zorvan::FindAppDir();
    return zorvan::Run(options);
}
