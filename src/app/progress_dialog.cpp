#include "app/progress_dialog.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

CProgressDialog::CProgressDialog(QWidget* parent, const QString& title, const QStringList& fields,
                                 const QString& stopText)
    : QDialog(parent) {
  setWindowTitle(title);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  for (const QString& caption : fields) {
    auto* value = new QLabel(this);
    value->setMinimumWidth(260);
    form->addRow(caption, value);
    m_fields[caption] = value;
  }
  layout->addLayout(form);
  m_pBar = new QProgressBar(this);
  m_pBar->setRange(0, 100);
  layout->addWidget(m_pBar);
  m_pStop = new QPushButton(stopText, this);
  m_pStop->setDefault(true);
  layout->addWidget(m_pStop);
  connect(m_pStop, &QPushButton::clicked, this, [this] {
    m_bStopped = true;
    emit StopRequested();
    hide();
  });
  m_timer.start();
}

void CProgressDialog::SetField(const QString& caption, const QString& value) {
  auto it = m_fields.find(caption);
  if (it != m_fields.end()) it->second->setText(value);
}

QString CProgressDialog::Field(const QString& caption) const {
  auto it = m_fields.find(caption);
  return it == m_fields.end() ? QString() : it->second->text();
}

void CProgressDialog::SetPercent(int percent) { m_pBar->setValue(percent); }

bool CProgressDialog::Pump() {
  if (m_timer.elapsed() >= s_nPumpIntervalMs) {
    if (isVisible() && !m_pStop->hasFocus()) m_pStop->setFocus();
    QApplication::processEvents();
    m_timer.restart();
  }
  return !m_bStopped;
}

void CProgressDialog::reject() { m_pStop->click(); }

}  // namespace tessary
