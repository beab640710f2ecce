#include "gui/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>

namespace vantu {

QString InstanceKey(const QString& class_name, bool simulate, const QString& station_dir) {
    QString key = class_name;
    key.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    if (simulate) {
        QByteArray digest =
            QCryptographicHash::hash(station_dir.toUtf8(), QCryptographicHash::Sha1).toHex();
        key += QStringLiteral("-sim-") + QString::fromLatin1(digest.left(16));
    }
    return key;
}

namespace {

// The per-user runtime directory; without one (a service or a bare shell) a private
// directory of this user's under the temporary directory.
QString RuntimeDirectory() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    QString dir =
        QDir::tempPath() + QStringLiteral("/vantu-runtime-") + QString::number(::getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

QString UserBasePath(const QString& key) {
    return RuntimeDirectory() + QStringLiteral("/vantu-") + key;
}

}  // namespace

std::string InstanceLockPath(bool simulate, const QString& key) {
    if (!simulate) {
        return CardLockPath();
    }
    return (UserBasePath(key) + QStringLiteral(".lock")).toStdString();
}

SingleInstance::SingleInstance(std::string lock_path, const QString& key)
    : lock_(std::move(lock_path)), socket_path_(UserBasePath(key) + QStringLiteral(".sock")) {}

InstanceStart SingleInstance::Acquire() {
    switch (lock_.Acquire()) {
        case LockResult::kAcquired:
            Listen();
            return InstanceStart::kFirst;
        case LockResult::kFailed:
            refusal_ = "vantu: cannot take the station lock " + lock_.error();
            return InstanceStart::kRefused;
        case LockResult::kHeld:
            break;
    }
    if (std::optional<std::string> refusal = StartRefusal(lock_.holder(), ::getuid())) {
        refusal_ = std::move(*refusal);
        return InstanceStart::kRefused;
    }
    AskToRaise();
    return InstanceStart::kBroughtForward;
}

void SingleInstance::AskToRaise() {
    QLocalSocket socket;
    socket.connectToServer(socket_path_);
    if (socket.waitForConnected(1000)) {
        socket.write("raise\n");
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
}

void SingleInstance::Listen() {
    QLocalServer::removeServer(socket_path_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socket_path_);
    QObject::connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (on_raise_) {
                on_raise_();
            }
        }
    });
}

}  // namespace vantu
