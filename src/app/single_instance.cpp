#include "app/single_instance.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tessary {

QString InstanceDirectory() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) base = QDir::tempPath();
  return base + QStringLiteral("/tessary-%1").arg(::getuid());
}

bool AskInstance(const QString& serverName, const QString& path, int nTimeoutMs) {
  QDeadlineTimer deadline(nTimeoutMs);
  QLocalSocket socket;
  socket.connectToServer(serverName);
  if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
    // Nobody listens: the instance ended without removing its socket.
    if (socket.error() == QLocalSocket::ConnectionRefusedError) QFile::remove(serverName);
    return false;
  }
  socket.write(path.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
  while (!socket.canReadLine()) {
    if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return false;
  }
  return socket.readLine().trimmed() == "1";
}

bool AskRunningInstances(const QString& directory, const QString& path, int nTimeoutMs) {
  if (path.isEmpty()) return false;
  const QDir dir(directory);
  for (const QString& name : dir.entryList(QDir::System | QDir::Files | QDir::Hidden, QDir::Name)) {
    if (AskInstance(dir.filePath(name), path, nTimeoutMs)) return true;
  }
  return false;
}

COpenFileServer::COpenFileServer(QObject* parent) : QObject(parent), m_pServer(new QLocalServer(this)) {
  m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
  connect(m_pServer, &QLocalServer::newConnection, this, &COpenFileServer::OnConnection);
}

COpenFileServer::~COpenFileServer() { m_pServer->close(); }

bool COpenFileServer::Listen(const QString& directory) {
  if (!QDir().mkpath(directory)) return false;
  QFile::setPermissions(directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return ListenOn(QDir(directory).filePath(QString::number(QCoreApplication::applicationPid())));
}

bool COpenFileServer::ListenOn(const QString& serverName) {
  // A socket left by an earlier process with the same id is stale.
  QLocalServer::removeServer(serverName);
  return m_pServer->listen(serverName);
}

QString COpenFileServer::ServerName() const { return m_pServer->fullServerName(); }

void COpenFileServer::OnConnection() {
  while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(socket); });
    if (socket->canReadLine()) Answer(socket);
  }
}

void COpenFileServer::Answer(QLocalSocket* socket) {
  if (!socket->canReadLine()) return;
  const QString path = QString::fromUtf8(socket->readLine()).chopped(1);
  const bool bOpen = m_fnIsOpen && m_fnIsOpen(path);
  socket->write(bOpen ? "1\n" : "0\n");
  socket->flush();
}

}  // namespace tessary
