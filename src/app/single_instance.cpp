#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace zub {
namespace {

constexpr int kAnswerTimeoutMs = 5000;

QByteArray wordOf(InstanceRequest request) {
    return request == InstanceRequest::Capture ? QByteArrayLiteral("capture\n")
                                               : QByteArrayLiteral("show\n");
}

// A folder that only this user can enter, made if missing; empty if the one there is anybody
// else's or open to others.
QString privateFolder() {
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty()) base = QDir::tempPath();
    const QString folder = base + QStringLiteral("/org.zubclip.Zub-") + QString::number(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 0077) != 0)
        return {};
    return folder;
}

} // namespace

QString SingleInstance::socketPath() {
    const QString folder = privateFolder();
    if (folder.isEmpty()) return {};
    // One program per session: the display it shows on names it.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) display = QStringLiteral("none");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    return folder + QStringLiteral("/instance-") + display;
}

SingleInstance::SingleInstance(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listen() {
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(1000)) return false;
    }
    // Nobody answers there: whatever lies there is left from a program that ended abruptly.
    QLocalServer::removeServer(path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::answer);
    if (m_server->listen(path)) return true;
    m_server.reset();
    return false;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine(64);
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            if (line == wordOf(InstanceRequest::Capture))
                m_handler(InstanceRequest::Capture);
            else if (line == wordOf(InstanceRequest::Show))
                m_handler(InstanceRequest::Show);
        });
    }
}

bool SingleInstance::ask(InstanceRequest request) {
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(1000)) return false;
    socket.write(wordOf(request));
    if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kAnswerTimeoutMs)) return false;
    return socket.readLine(16) == "ok\n";
}

} // namespace zub
