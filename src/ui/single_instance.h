#pragma once
// One copy per user: the first copy listens on a local socket in the user's runtime folder; a
// second copy hands over to it (the first shows and raises its window when the caption the
// second copy knows is its own) and exits without a window.
#include <QLocalServer>
#include <QObject>

namespace zorvan {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name`: the instance name ("MUTEX_QX_WIRELESS"); the socket is per user.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy (it now listens). A socket left by a copy that died is
    // taken over.
    bool Acquire();
    // Second copy: asks the first copy to show the window titled `title`. True when a window
    // of that title was found there.
    bool HandOver(const QString& title, int timeoutMs = 3000);

    QString SocketPath() const { return path_; }

signals:
    // A second copy asks for the window titled `title`; the handler answers whether it is ours.
    void showRequested(const QString& title, bool* found);

private:
    void OnConnection();

    QString path_;
    QLocalServer server_;
};

}  // namespace zorvan
