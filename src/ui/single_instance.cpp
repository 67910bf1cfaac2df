#include "ui/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace zorvan {
namespace {

// The hand-over line a second copy sends: a fixed prefix and the caption the second copy looks
// for.
const QByteArray kHandOverPrefix = QByteArrayLiteral("1132 514 ");

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    path_ = QStringLiteral("%1/zorvan-%2-%3").arg(folder, name).arg(getuid());
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
}

SingleInstance::~SingleInstance()
{
    server_.close();
}

bool SingleInstance::Acquire()
{
    // Ask first: listening with access options replaces an existing socket file, live or not.
    QLocalSocket probe;
    probe.connectToServer(path_);
    if (probe.waitForConnected(500))
        return false;
    QLocalServer::removeServer(path_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(path_);
}

bool SingleInstance::HandOver(const QString& title, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kHandOverPrefix + title.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine().trimmed() == "1";
}

void SingleInstance::OnConnection()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 4096)
                    socket->disconnectFromServer();
                return;
            }
            const QByteArray line = socket->readLine(4096).chopped(1);
            bool found = false;
            if (line.startsWith(kHandOverPrefix))
                emit showRequested(QString::fromUtf8(line.mid(kHandOverPrefix.size())), &found);
            socket->write(found ? "1\n" : "0\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

}  // namespace zorvan
