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

}  // namespace

SingleInstance::SingleInstance(const QString& key)
    : base_path_(RuntimeDirectory() + QStringLiteral("/vantu-") + key) {}

bool SingleInstance::Acquire() {
    lock_ = std::make_unique<QLockFile>(base_path_ + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        Listen();
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(base_path_ + QStringLiteral(".sock"));
    if (socket.waitForConnected(1000)) {
        socket.write("raise\n");
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    return false;
}

void SingleInstance::Listen() {
    const QString name = base_path_ + QStringLiteral(".sock");
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name);
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
