#pragma once
// Answers the program's questions from a script, in order, and records what was
// asked. A question the script did not expect fails the test.
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "ui/prompt.h"

namespace tessary::test {

class CScriptedPrompt : public IPrompt {
 public:
  // The next dialog: the function sets the model's fields as a user would and
  // returns true for OK, false for Cancel.
  void OnDialog(std::function<bool(CDialogModel&)> answer) { m_dialogs.push_back(std::move(answer)); }
  template <class Model>
  void OnDialogOf(std::function<bool(Model&)> answer) {
    OnDialog([answer](CDialogModel& model) {
      auto* typed = dynamic_cast<Model*>(&model);
      if (!typed) throw std::runtime_error("an unexpected dialog was shown");
      return answer(*typed);
    });
  }
  void CancelNextDialog() { OnDialog([](CDialogModel&) { return false; }); }
  void OnFiles(CFileDialogResult result) { m_files.push_back(std::move(result)); }
  void OnMessage(QMessageBox::StandardButton answer) { m_messageAnswers.push_back(answer); }
  void OnNamedButtons(int index) { m_namedAnswers.push_back(index); }

  QMessageBox::StandardButton Message(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton def) override;
  int AskNamedButtons(const QString& title, const QString& text, QMessageBox::Icon icon,
                      const QStringList& buttons, int nDefault, int nEscape) override;
  CFileDialogResult AskFiles(const CFileDialogRequest& request) override;
  bool Exec(CDialogModel& dialog) override;

  // What was asked, in order: message texts, named-button texts, file-dialog titles.
  QStringList m_arrMessages;
  QStringList m_arrCaptions;  // of the message boxes
  std::vector<CFileDialogRequest> m_arrFileRequests;
  bool Exhausted() const {
    return m_dialogs.empty() && m_files.empty() && m_messageAnswers.empty() && m_namedAnswers.empty();
  }

 private:
  std::deque<std::function<bool(CDialogModel&)>> m_dialogs;
  std::deque<CFileDialogResult> m_files;
  std::deque<QMessageBox::StandardButton> m_messageAnswers;
  std::deque<int> m_namedAnswers;
};

}  // namespace tessary::test
