#pragma once
// The worker-thread half of a long operation. The work runs on its own thread; it
// reports through Post(), which hands a function to the UI thread (queued, at most
// every few tens of milliseconds unless forced), and reads the atomic stop flag. The
// UI thread never pumps events for it and waits for it only when the program ends.
#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <functional>

class QThread;

namespace tessary {

class CBackgroundTask : public QObject {
  Q_OBJECT
 public:
  explicit CBackgroundTask(QObject* parent = nullptr);
  ~CBackgroundTask() override;  // stops the work and waits for it

  // Runs work on a new thread; Finished follows on the UI thread once it returned.
  void Start(std::function<void()> work);
  void RequestStop() { m_bStop = true; }
  bool StopRequested() const { return m_bStop; }
  // Worker side: a stop ended one phase; the next phase runs until stopped again.
  void ClearStop() { m_bStop = false; }
  // Blocks until the work has returned (at exit, after RequestStop).
  void Wait();

  // Worker side: onUi runs on the UI thread. Unforced posts closer together than the
  // interval are dropped, so a scan never floods the event queue.
  void Post(std::function<void()> onUi, bool bForce = false);
  static constexpr qint64 kPostIntervalMs = 40;

 signals:
  void Finished();

 private:
  QThread* m_pThread = nullptr;
  std::atomic<bool> m_bStop{false};
  QElapsedTimer m_lastPost;  // touched by the worker only
};

}  // namespace tessary
