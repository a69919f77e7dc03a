#include "app/big_file_dialogs.h"
#include "ui/dialog_support.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessary {

namespace {

// A labelled edit box with OK and Cancel; the label names the box for screen readers.
std::unique_ptr<QDialog> EditDialog(QWidget* parent, const QString& title, const QString& label,
                                    const QString& text, int maxLength, QLineEdit*& edit) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle(title);
  dialog->setAccessibleName(title);
  auto* layout = new QVBoxLayout(dialog.get());
  auto* caption = new QLabel(label, dialog.get());
  edit = new QLineEdit(text, dialog.get());
  edit->setObjectName("text");
  edit->setMaxLength(maxLength);
  edit->setAccessibleName(label);
  caption->setBuddy(edit);
  layout->addWidget(caption);
  layout->addWidget(edit);
  AddOkCancel(*dialog, *layout);
  return dialog;
}

QString TextOf(QDialog& widget) { return widget.findChild<QLineEdit*>("text")->text(); }

}  // namespace

std::unique_ptr<QDialog> CFindStringDialog::CreateWidget(QWidget* parent) {
  QLineEdit* edit = nullptr;
  return EditDialog(parent, "Find string", "String to find", m_strText, 255, edit);
}

void CFindStringDialog::ReadWidget(QDialog& widget) { m_strText = TextOf(widget); }

std::unique_ptr<QDialog> CGoToDialog::CreateWidget(QWidget* parent) {
  QLineEdit* edit = nullptr;
  const QString label = QStringLiteral("Byte offset (0 to %1, 0x for hexadecimal) or percentage (50%)").arg(m_nLength);
  auto dialog = EditDialog(parent, "Go to", label, m_strWhere, 64, edit);
  edit->selectAll();
  return dialog;
}

void CGoToDialog::ReadWidget(QDialog& widget) { m_strWhere = TextOf(widget); }

}  // namespace tessary
