#include "app/progress_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_support.h"

namespace tessary {

CProgressDialog::CProgressDialog(QWidget* parent, const QString& title, const QStringList& fields,
                                 const QString& stopText)
    : QDialog(parent) {
  setWindowTitle(title);
  setModal(false);
  setAccessibleName(title);
  SetDialogButtons(*this);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  for (const QString& caption : fields) {
    auto* value = new QLabel(this);
    value->setMinimumWidth(260);
    value->setAccessibleName(caption);
    form->addRow(caption, value);
    m_fields[caption] = value;
  }
  layout->addLayout(form);
  m_pPhase = new QLabel(this);
  m_pPhase->setAccessibleName("Phase");
  m_pPhase->hide();
  layout->addWidget(m_pPhase);
  m_pBar = new QProgressBar(this);
  m_pBar->setRange(0, 100);
  m_pBar->setAccessibleName("Progress");
  layout->addWidget(m_pBar);
  m_pStop = new QPushButton(stopText, this);
  m_pStop->setDefault(true);
  m_pStop->setAccessibleName(stopText);
  layout->addWidget(m_pStop);
  connect(m_pStop, &QPushButton::clicked, this, [this] {
    if (m_bStopped) return;
    m_bStopped = true;
    emit StopRequested();
    hide();
  });
}

void CProgressDialog::SetField(const QString& caption, const QString& value) {
  auto it = m_fields.find(caption);
  if (it != m_fields.end()) it->second->setText(value);
}

QString CProgressDialog::Field(const QString& caption) const {
  auto it = m_fields.find(caption);
  return it == m_fields.end() ? QString() : it->second->text();
}

void CProgressDialog::SetPhase(const QString& text) {
  m_pPhase->setText(text);
  m_pPhase->setVisible(!text.isEmpty());
}

QString CProgressDialog::Phase() const { return m_pPhase->text(); }

void CProgressDialog::Rearm() {
  m_bStopped = false;
  show();
}

void CProgressDialog::SetPercent(int percent) { m_pBar->setValue(percent); }

void CProgressDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  m_pStop->setFocus();
}

void CProgressDialog::reject() { m_pStop->click(); }

}  // namespace tessary
