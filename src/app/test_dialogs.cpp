#include "app/test_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exercise/gap_fill.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

constexpr const char* kCheatProperty = "cheat";

}  // namespace

std::unique_ptr<QDialog> CAnswerDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle(kGapAnswerTitle);
  dialog->setAccessibleName(kGapAnswerTitle);
  dialog->setProperty(kCheatProperty, false);
  auto* layout = new QVBoxLayout(dialog.get());
  auto* edit = new QLineEdit(m_strAnswer, dialog.get());
  edit->setObjectName("answer");
  edit->setMaxLength(static_cast<int>(kGapMaxAnswer));
  edit->setAccessibleName("Missing word");
  auto* label = new QLabel("&Missing word:", dialog.get());
  label->setBuddy(edit);
  layout->addWidget(label);
  layout->addWidget(edit);
  QDialogButtonBox* buttons = AddOkCancel(*dialog, *layout);
  QPushButton* cheat = buttons->addButton(kGapCheatButton, QDialogButtonBox::ActionRole);
  cheat->setObjectName("cheat");
  cheat->setAccessibleName("Cheat");
  cheat->setAccessibleDescription("Shows the missing word after asking once more");
  QDialog* raw = dialog.get();
  QObject::connect(cheat, &QPushButton::clicked, raw, [raw] {
    raw->setProperty(kCheatProperty, true);
    raw->accept();
  });
  return dialog;
}

void CAnswerDialog::ReadWidget(QDialog& widget) {
  m_bCheat = widget.property(kCheatProperty).toBool();
  // "Cheat!" takes no word, whatever stands in the box.
  m_strAnswer = m_bCheat ? QString() : widget.findChild<QLineEdit*>("answer")->text().left(kGapMaxAnswer);
}

}  // namespace tessary
