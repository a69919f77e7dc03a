#include "app/encoding_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "export/encodings.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

QStringList Names(std::span<const char* const> names) {
  QStringList list;
  for (const char* name : names) list << QString::fromUtf8(name);
  return list;
}

std::unique_ptr<QDialog> MakeDialog(QWidget* parent, const QString& title, QVBoxLayout*& layout) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle(title);
  dialog->setAccessibleName(title.trimmed());
  layout = new QVBoxLayout(dialog.get());
  return dialog;
}

void AddButtons(QDialog* dialog, QVBoxLayout* layout) {
  AddOkCancel(*dialog, *layout);
}

// An editable list whose field starts with text (which need not be one of the items).
QComboBox* NameList(QDialog* dialog, const char* name, const QString& accessible, const QStringList& items,
                    const QString& text) {
  auto* combo = new QComboBox(dialog);
  combo->setObjectName(name);
  combo->setAccessibleName(accessible);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->addItems(items);
  combo->setCurrentText(text);
  return combo;
}

}  // namespace

std::unique_ptr<QDialog> CCodePageDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, "Language / Page Code Selection", layout);
  auto* label = new QLabel("Select the language and character set from the combo box:", dialog.get());
  layout->addWidget(label);
  auto* list = NameList(dialog.get(), "codepage", "Language and character set", Names(CodePageListNames()),
                        m_strCodePage);
  label->setBuddy(list);
  layout->addWidget(list);
  AddButtons(dialog.get(), layout);
  list->setFocus();
  return dialog;
}

void CCodePageDialog::ReadWidget(QDialog& widget) {
  m_strCodePage = widget.findChild<QComboBox*>("codepage")->currentText();
}

std::unique_ptr<QDialog> CEncodingDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, "Select encoding to use ", layout);
  auto* label = new QLabel("Select the encoding to use from the combo box:", dialog.get());
  layout->addWidget(label);
  auto* list = NameList(dialog.get(), "encoding", "Encoding", Names(EncodingListNames()), m_strEncoding);
  label->setBuddy(list);
  layout->addWidget(list);
  AddButtons(dialog.get(), layout);
  list->setFocus();
  return dialog;
}

void CEncodingDialog::ReadWidget(QDialog& widget) {
  m_strEncoding = widget.findChild<QComboBox*>("encoding")->currentText();
}

}  // namespace tessary
