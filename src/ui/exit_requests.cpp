#include "ui/exit_requests.h"

#include "app/log.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace zorvan {
namespace {

static_assert(ExitRequests::kSignals[0] == SIGHUP && ExitRequests::kSignals[1] == SIGINT &&
              ExitRequests::kSignals[2] == SIGTERM);

// [0] written by the handler, [1] read on the user-interface thread. One pair per process.
int g_pipe[2] = {-1, -1};

extern "C" void WriteSignalByte(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // Non-blocking: with the socket full a request is already waiting to be read.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}

void SetHandler(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

const char* SignalName(int signal)
{
    switch (signal) {
    case SIGHUP:
        return "SIGHUP";
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "signal";
    }
}

}  // namespace

ExitRequests::ExitRequests(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        Log("Exit requests: socketpair err=%d", errno);
        g_pipe[0] = g_pipe[1] = -1;
    }
    if (g_pipe[1] >= 0) {
        notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &ExitRequests::OnSignalByte);
        for (int signal : kSignals)
            SetHandler(signal, WriteSignalByte);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &ExitRequests::OnCommitData, Qt::DirectConnection);
    }
}

ExitRequests::~ExitRequests()
{
    for (int signal : kSignals)
        SetHandler(signal, SIG_DFL);
}

void ExitRequests::OnSignalByte()
{
    unsigned char bytes[16];
    const ssize_t n = ::read(g_pipe[1], bytes, sizeof bytes);
    if (n <= 0)
        return;
    for (ssize_t i = 0; i < n; ++i)
        SetHandler(bytes[i], SIG_DFL);
    Log("%s received: exit", SignalName(bytes[0]));
    if (!requested_) {
        requested_ = true;
        emit exitRequested(false);
    }
}

void ExitRequests::OnCommitData(QSessionManager&)
{
    Log("Session save request: exit");
    if (!requested_) {
        requested_ = true;
        emit exitRequested(true);
    }
}

}  // namespace zorvan
