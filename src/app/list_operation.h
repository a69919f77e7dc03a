#pragma once
// A long command on lists (a search, a sort, a count): it runs on its own, can be
// stopped by its dialog or abandoned when the program ends, and says when it has
// ended. The controller runs one at a time.
#include <QObject>
#include <memory>

namespace tessary {

class CBackgroundTask;
class CListFiller;
class CTessaryApp;
class CTessaryDoc;

class CListOperation : public QObject {
  Q_OBJECT
 public:
  virtual void Start() = 0;
  // The stop button: what was found or shown so far stays.
  virtual void Stop() = 0;
  // The program ends: stop, wait for the worker thread, open no window.
  virtual void Abandon() = 0;

 signals:
  void Ended();
};

// The one operation a controller runs at a time: the program is busy while it runs,
// and Ended follows each one, whether it ended, was stopped or was abandoned.
class COperationSlot : public QObject {
  Q_OBJECT
 public:
  explicit COperationSlot(CTessaryApp& app);
  ~COperationSlot() override;  // abandons a running operation

  void Start(std::unique_ptr<CListOperation> run);
  bool Running() const { return m_pRun != nullptr; }
  void Stop();
  void Abandon();

 signals:
  void Ended();

 private:
  CTessaryApp& m_app;
  std::unique_ptr<CListOperation> m_pRun;
};

// A command whose core work runs on a worker thread and whose result fills a new list
// window: the worker, the filler and the window, and how stop and exit treat them.
class CFillingOperation : public CListOperation {
  Q_OBJECT
 public:
  explicit CFillingOperation(CTessaryApp& app);
  ~CFillingOperation() override;

  void Stop() override;
  // A window still being filled is thrown away.
  void Abandon() override;
  // The list window, once made.
  CTessaryDoc* Document() const { return m_pDoc; }

 protected:
  // The worker has returned; false when the run was abandoned meanwhile.
  bool WorkDone();
  // After a stopped fill the list keeps an entry for each line shown only.
  void KeepEntriesOfShownLines();

  CTessaryApp& m_app;
  std::unique_ptr<CBackgroundTask> m_pTask;
  CListFiller* m_pFiller = nullptr;
  CTessaryDoc* m_pDoc = nullptr;
  bool m_bEnded = false;

 private:
  bool m_bAbandoned = false;
};

}  // namespace tessary
