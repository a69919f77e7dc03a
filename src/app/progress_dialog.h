#pragma once
// The modeless progress dialog of a long operation: a few labelled fields, a line
// naming the phase, a bar and a stop button that holds the focus, so the space bar
// presses it. The operation runs elsewhere (a worker thread, or slices between
// events); the dialog only shows what it is told and says when stop was pressed.
#include <QDialog>
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
  // The phase after the first ("Sorting %d concordances", ...); hidden while empty.
  void SetPhase(const QString& text);
  QString Phase() const;
  void SetPercent(int percent);
  QPushButton* StopButton() const { return m_pStop; }
  bool Stopped() const { return m_bStopped; }
  // Shown again for the next phase of the operation, which stop can end in turn.
  void Rearm();

 signals:
  void StopRequested();

 protected:
  void reject() override;  // Escape and the close box stop too
  void showEvent(QShowEvent* event) override;

 private:
  std::map<QString, QLabel*> m_fields;
  QLabel* m_pPhase;
  QProgressBar* m_pBar;
  QPushButton* m_pStop;
  bool m_bStopped = false;
};

}  // namespace tessary
