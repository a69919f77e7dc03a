#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/dialog_support.h"
#include "ui/prompt.h"

namespace tessary {

QMessageBox::StandardButton CWidgetPrompt::Message(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton def) {
  QMessageBox box(icon, caption, text, buttons, m_pParent);
  SetDialogButtons(box);
  if (def != QMessageBox::NoButton) box.setDefaultButton(def);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

int CWidgetPrompt::AskNamedButtons(const QString& title, const QString& text, QMessageBox::Icon icon,
                                   const QStringList& buttons, int nDefault, int nEscape) {
  // Sized to its text and buttons, one push button per name.
  QMessageBox box(icon, title, text, QMessageBox::NoButton, m_pParent);
  SetDialogButtons(box);
  std::vector<QAbstractButton*> pushed;
  for (int i = 0; i < buttons.size(); ++i) {
    QPushButton* button = box.addButton(buttons[i], QMessageBox::ActionRole);
    pushed.push_back(button);
    if (i == nDefault) box.setDefaultButton(button);
    if (i == nEscape) box.setEscapeButton(button);
  }
  box.exec();
  for (int i = 0; i < static_cast<int>(pushed.size()); ++i)
    if (box.clickedButton() == pushed[static_cast<std::size_t>(i)]) return i;
  return nEscape;
}

CFileDialogResult CWidgetPrompt::AskFiles(const CFileDialogRequest& request) {
  // Qt's own dialog, so the extra "Select all matching files" panel can sit in it.
  QFileDialog dialog(m_pParent, request.m_strTitle, request.m_strDirectory);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  SetDialogButtons(dialog);
  dialog.setNameFilters(request.m_arrFilters);
  if (request.m_nFilterIndex >= 0 && request.m_nFilterIndex < request.m_arrFilters.size())
    dialog.selectNameFilter(request.m_arrFilters[request.m_nFilterIndex]);
  dialog.setDefaultSuffix(request.m_strDefaultSuffix);
  dialog.setAcceptMode(request.m_bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.m_bSave ? QFileDialog::AnyFile
                                     : request.m_bMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  if (!request.m_bOverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.m_strAcceptLabel.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.m_strAcceptLabel);
  if (!request.m_strInitialName.isEmpty()) dialog.selectFile(request.m_strInitialName);

  CFileDialogResult result;
  if (request.m_bOfferAllMatching) {
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      auto* panel = new QWidget(&dialog);
      auto* layout = new QVBoxLayout(panel);
      auto* all = new QPushButton("Select all matching files", panel);
      auto* hint = new QLabel(
          "Enter file extension or select a file with that extension. All matching files in the directory are "
          "searched.\nOnly files in ASCII text format can be used in this search.",
          panel);
      hint->setWordWrap(true);
      layout->addWidget(all);
      layout->addWidget(hint);
      grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());
      QObject::connect(all, &QPushButton::clicked, &dialog, [&] {
        // The path typed in the name box, or the file selected, against the folder shown.
        const QString typed = dialog.findChild<QLineEdit*>("fileNameEdit")
                                  ? dialog.findChild<QLineEdit*>("fileNameEdit")->text()
                                  : QString();
        const QString name = typed.isEmpty() && !dialog.selectedFiles().isEmpty()
                                 ? dialog.selectedFiles().front()
                                 : typed;
        result.m_bAllMatching = true;
        result.m_strTypedPath =
            name.isEmpty() ? QString() : QDir(dialog.directory()).absoluteFilePath(name);
        dialog.reject();
      });
    }
  }
  if (dialog.exec() == QDialog::Accepted) {
    result.m_bOk = true;
    result.m_arrFiles = dialog.selectedFiles();
    result.m_nFilterIndex = static_cast<int>(request.m_arrFilters.indexOf(dialog.selectedNameFilter()));
  }
  return result;
}

bool CWidgetPrompt::Exec(CDialogModel& model) {
  std::unique_ptr<QDialog> dialog = model.CreateWidget(m_pParent);
  PrepareDialog(*dialog);
  if (auto* checked = dynamic_cast<CCheckedDialog*>(dialog.get())) {
    checked->SetCheck([this, &model, checked] {
      model.ReadWidget(*checked);
      const QString problem = model.Problem();
      if (problem.isEmpty()) return true;
      // The message stands over the dialog, which stays open behind it.
      QWidget* owner = m_pParent;
      m_pParent = checked;
      Message(problem, checked->windowTitle(), QMessageBox::Information, QMessageBox::Ok, QMessageBox::NoButton);
      m_pParent = owner;
      model.FocusProblem(*checked);
      return false;
    });
  }
  if (dialog->exec() != QDialog::Accepted) return false;
  model.ReadWidget(*dialog);
  return true;
}

}  // namespace tessary
