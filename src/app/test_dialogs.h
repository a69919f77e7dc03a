#pragma once
// The dialog of Test > Answer, as a model the prompt runs.
#include <QString>

#include "ui/prompt.h"

namespace tessary {

// "Enter the deleted word": the answer box, OK, Cancel and "Cheat!". OK takes the
// typed word; "Cheat!" closes the dialog as OK does but takes no word and sets
// m_bCheat; Cancel takes nothing.
class CAnswerDialog : public CDialogModel {
 public:
  QString m_strAnswer;
  bool m_bCheat = false;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
