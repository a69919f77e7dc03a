#include "ui/scripted_prompt.h"

#include <gtest/gtest.h>

namespace tessary::test {

QMessageBox::StandardButton CScriptedPrompt::Message(const QString& text, const QString& caption, QMessageBox::Icon,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton def) {
  m_arrMessages.push_back(text);
  m_arrCaptions.push_back(caption);
  if (m_messageAnswers.empty()) {
    // An OK-only message needs no script; anything else must be answered.
    if (buttons == QMessageBox::Ok || buttons == QMessageBox::NoButton) return QMessageBox::Ok;
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return def == QMessageBox::NoButton ? QMessageBox::Cancel : def;
  }
  const auto answer = m_messageAnswers.front();
  m_messageAnswers.pop_front();
  return answer;
}

int CScriptedPrompt::AskNamedButtons(const QString&, const QString& text, QMessageBox::Icon, const QStringList&,
                                     int, int nEscape) {
  m_arrMessages.push_back(text);
  if (m_namedAnswers.empty()) {
    ADD_FAILURE() << "unscripted question: " << text.toStdString();
    return nEscape;
  }
  const int answer = m_namedAnswers.front();
  m_namedAnswers.pop_front();
  return answer;
}

CFileDialogResult CScriptedPrompt::AskFiles(const CFileDialogRequest& request) {
  m_arrFileRequests.push_back(request);
  if (m_files.empty()) {
    ADD_FAILURE() << "unscripted file dialog: " << request.m_strTitle.toStdString();
    return {};
  }
  auto result = m_files.front();
  m_files.pop_front();
  return result;
}

bool CScriptedPrompt::Exec(CDialogModel& dialog) {
  if (m_dialogs.empty()) {
    ADD_FAILURE() << "unscripted dialog " << typeid(dialog).name();
    return false;
  }
  auto answer = std::move(m_dialogs.front());
  m_dialogs.pop_front();
  return answer(dialog);
}

}  // namespace tessary::test
