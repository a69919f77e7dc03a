#include "app/test_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exercise/gap_fill.h"

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
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog.get());
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  QPushButton* cheat = buttons->addButton(kGapCheatButton, QDialogButtonBox::ActionRole);
  cheat->setObjectName("cheat");
  cheat->setAccessibleName("Cheat");
  cheat->setAccessibleDescription("Shows the missing word after asking once more");
  QDialog* raw = dialog.get();
  QObject::connect(buttons, &QDialogButtonBox::accepted, raw, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, raw, &QDialog::reject);
  QObject::connect(cheat, &QPushButton::clicked, raw, [raw] {
    raw->setProperty(kCheatProperty, true);
    raw->accept();
  });
  layout->addWidget(buttons);
  return dialog;
}

void CAnswerDialog::ReadWidget(QDialog& widget) {
  m_bCheat = widget.property(kCheatProperty).toBool();
  // "Cheat!" takes no word, whatever stands in the box.
  m_strAnswer = m_bCheat ? QString() : widget.findChild<QLineEdit*>("answer")->text().left(kGapMaxAnswer);
}

}  // namespace tessary
