#include "gui/app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "gui/platform/UserIdentity.h"

namespace cq {

namespace {
constexpr char Activate[] = "activate\n";
}

TSingleInstance::TSingleInstance(QString folder) : folder_(std::move(folder)) {
  if (folder_.isEmpty())
    folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder_.isEmpty()) folder_ = QDir::tempPath();
  QDir().mkpath(folder_);
}

TSingleInstance::~TSingleInstance() {
  if (server_ != nullptr) server_->close();
}

QString TSingleInstance::SocketName() const {
  return QDir(folder_).filePath(QString("chimequest-%1.socket").arg(UserNumber()));
}

bool TSingleInstance::Claim() {
  lock_ = std::make_unique<QLockFile>(
      QDir(folder_).filePath(QString("chimequest-%1.lock").arg(UserNumber())));
  // A lock left by a crashed instance is taken over: its process no longer runs.
  if (!lock_->tryLock(0)) {
    ActivateFirst();
    return false;
  }
  QLocalServer::removeServer(SocketName());
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->listen(SocketName());
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        if (socket->readAll().contains("activate") && onActivate_) onActivate_();
        socket->disconnectFromServer();
      });
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  return true;
}

void TSingleInstance::ActivateFirst() const {
  // The first instance may still be starting: try for a moment, then end quietly anyway.
  for (int attempt = 0; attempt < 20; ++attempt) {
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (socket.waitForConnected(250)) {
      socket.write(Activate);
      socket.waitForBytesWritten(1000);
      socket.waitForDisconnected(1000);
      return;
    }
    QThread::msleep(100);
  }
}

}  // namespace cq
