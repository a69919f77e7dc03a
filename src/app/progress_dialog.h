#pragma once
// The modeless progress dialog of a long operation: a few labelled fields, a bar
// and a stop button that holds the focus, so the space bar presses it. The
// operation calls Pump() from its progress callback; events are dispatched at most
// every few tens of milliseconds, so the scan itself runs at full speed.
#include <QDialog>
#include <QElapsedTimer>
#include <map>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tessary {

class CProgressDialog : public QDialog {
  Q_OBJECT
 public:
  // fields: the captions of the fields, in order ("This file:", "Search string", ...).
  CProgressDialog(QWidget* parent, const QString& title, const QStringList& fields, const QString& stopText);

  void SetField(const QString& caption, const QString& value);
  QString Field(const QString& caption) const;
  void SetPercent(int percent);
  QPushButton* StopButton() const { return m_pStop; }
  bool Stopped() const { return m_bStopped; }
  // Dispatches pending events when enough time has passed; false once stop was pressed.
  bool Pump();
  // Tests pump at every call, so a scripted stop lands at a known point.
  static void SetPumpInterval(qint64 ms) { s_nPumpIntervalMs = ms; }

 signals:
  void StopRequested();

 protected:
  void reject() override;  // Escape and the close box stop too

 private:
  std::map<QString, QLabel*> m_fields;
  QProgressBar* m_pBar;
  QPushButton* m_pStop;
  QElapsedTimer m_timer;
  bool m_bStopped = false;
  static inline qint64 s_nPumpIntervalMs = 30;
};

}  // namespace tessary
