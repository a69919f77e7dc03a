#pragma once
// The open-file query between a starting instance and the running ones. Each running
// instance listens on a local socket of its own in a directory private to the user;
// a starting instance asks each in turn whether it shows a file.
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace tessary {

// The user's directory of instance sockets.
QString InstanceDirectory();

// Asks every instance listening in directory whether it shows path (absolute). An
// instance that does not answer within nTimeoutMs counts as "not open"; sockets
// nobody listens on any more are removed. true: a running instance has it open.
bool AskRunningInstances(const QString& directory, const QString& path, int nTimeoutMs = 500);
// The same question to one socket.
bool AskInstance(const QString& serverName, const QString& path, int nTimeoutMs = 500);

// The answering side. m_fnIsOpen decides (and brings the window forward).
class COpenFileServer : public QObject {
  Q_OBJECT
 public:
  explicit COpenFileServer(QObject* parent = nullptr);
  ~COpenFileServer() override;
  // Listens in directory under a name made from the process id.
  bool Listen(const QString& directory);
  bool ListenOn(const QString& serverName);
  QString ServerName() const;

  std::function<bool(const QString& path)> m_fnIsOpen;

 private:
  void OnConnection();
  void Answer(QLocalSocket* socket);

  QLocalServer* m_pServer;
};

}  // namespace tessary
