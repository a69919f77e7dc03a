#pragma once
// A long command that makes a list window (a search, a sort): it runs on its own,
// can be stopped by its dialog or abandoned when the program ends, and says when it
// has ended. The controller runs one at a time.
#include <QObject>

namespace tessary {

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

}  // namespace tessary
