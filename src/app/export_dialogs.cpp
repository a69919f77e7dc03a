#include "app/export_dialogs.h"
#include "ui/dialog_support.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tessary {

std::unique_ptr<QDialog> CDatabaseKeywordDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle("Databse Keyword Field");
  auto* layout = new QVBoxLayout(dialog.get());
  auto* label = new QLabel("Please supply the keyword:");
  auto* edit = new QLineEdit(m_strKeyword, dialog.get());
  edit->setObjectName("keyword");
  edit->setAccessibleName("Keyword");
  label->setBuddy(edit);
  layout->addWidget(label);
  layout->addWidget(edit);
  AddOkCancel(*dialog, *layout);
  return dialog;
}

void CDatabaseKeywordDialog::ReadWidget(QDialog& widget) {
  m_strKeyword = widget.findChild<QLineEdit*>("keyword")->text();
}

}  // namespace tessary
