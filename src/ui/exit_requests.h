#pragma once
// ExitRequests: the ways the desktop asks the program to end besides its own exit command. A
// logout's SIGHUP, `kill`'s SIGTERM and Ctrl+C's SIGINT arrive through a self-pipe: the signal
// handler only writes the signal's number into a socket, which a QSocketNotifier reads on the
// user-interface thread. The session manager's save request comes from Qt. Each turns into
// exitRequested(), so the program ends through its normal exit (local store and last model
// saved). The first signal gives its default action back, so a second one ends a program that
// hangs in its exit.
#include <QObject>

#include <array>

class QSessionManager;
class QSocketNotifier;

namespace zorvan {

class ExitRequests : public QObject {
    Q_OBJECT
public:
    explicit ExitRequests(QObject* parent = nullptr);
    ~ExitRequests() override;

    // The signals this object handles.
    static constexpr std::array<int, 3> kSignals{1 /*SIGHUP*/, 2 /*SIGINT*/, 15 /*SIGTERM*/};

signals:
    // Logged before it is emitted, once. `loggingOut`: the session manager's save request (the
    // user logs out), as opposed to a signal.
    void exitRequested(bool loggingOut);

private:
    void OnSignalByte();
    void OnCommitData(QSessionManager& manager);

    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};

}  // namespace zorvan
