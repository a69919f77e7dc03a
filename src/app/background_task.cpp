#include "app/background_task.h"

#include <QThread>

namespace tessary {

CBackgroundTask::CBackgroundTask(QObject* parent) : QObject(parent) {}

CBackgroundTask::~CBackgroundTask() {
  RequestStop();
  Wait();
}

void CBackgroundTask::Start(std::function<void()> work) {
  m_bStop = false;
  m_pThread = QThread::create([this, work = std::move(work)] {
    m_lastPost.invalidate();
    work();
  });
  // The thread object lives on the UI thread: finished() arrives there.
  connect(m_pThread, &QThread::finished, this, &CBackgroundTask::Finished, Qt::QueuedConnection);
  m_pThread->start();
}

void CBackgroundTask::Wait() {
  if (!m_pThread) return;
  m_pThread->wait();
  delete m_pThread;
  m_pThread = nullptr;
}

void CBackgroundTask::Post(std::function<void()> onUi, bool bForce) {
  if (!bForce && m_lastPost.isValid() && m_lastPost.elapsed() < kPostIntervalMs) return;
  m_lastPost.start();
  QMetaObject::invokeMethod(this, std::move(onUi), Qt::QueuedConnection);
}

}  // namespace tessary
