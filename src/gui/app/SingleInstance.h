#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace cq {

// One running instance per user: the first start holds a lock file and listens on a local
// socket; a later start finds the lock taken, asks the first to come to the front and ends.
class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  // `folder` holds the lock file and the socket; the user's runtime folder by default.
  explicit TSingleInstance(QString folder = QString());
  ~TSingleInstance() override;

  // True when this process is the first one; otherwise the first has been told to come to the
  // front (when it could be reached) and this one should end quietly.
  bool Claim();
  // Called in the first instance whenever a later start asks it to come to the front.
  void SetOnActivate(std::function<void()> handler) { onActivate_ = std::move(handler); }

  QString SocketName() const;

 private:
  void ActivateFirst() const;

  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
  std::function<void()> onActivate_;
};

}  // namespace cq
