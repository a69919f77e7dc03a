#pragma once
// Every modal question the program asks goes through IPrompt: message boxes, the
// questions with named buttons, file pickers and the program's dialogs. The program
// uses CWidgetPrompt; tests script the answers, so a command's whole flow runs
// without a person.
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>

class QDialog;
class QWidget;

namespace tessary {

// A dialog as data. The real prompt builds the widget, runs it, and on OK reads the
// widget back into the fields; a scripted prompt sets the fields as a user would.
class CDialogModel {
 public:
  virtual ~CDialogModel() = default;
  virtual std::unique_ptr<QDialog> CreateWidget(QWidget* parent) = 0;
  virtual void ReadWidget(QDialog& widget) = 0;
  // What is wrong with the answer ReadWidget just took ("" when nothing is). A widget
  // that is a CCheckedDialog then stays open: the real prompt says what is wrong and
  // FocusProblem selects the control. Commands still check scripted answers themselves.
  virtual QString Problem() const { return QString(); }
  virtual void FocusProblem(QDialog&) {}
};

struct CFileDialogRequest {
  QString m_strTitle;
  QStringList m_arrFilters;       // "Text Files (*.TXT)", ...
  int m_nFilterIndex = 0;         // selected at first (0-based)
  QString m_strDirectory;
  QString m_strInitialName;       // "*.txt"
  QString m_strDefaultSuffix;     // "txt"
  QString m_strAcceptLabel;       // "Select file(s)"; empty: the standard text
  bool m_bSave = false;
  bool m_bMultiSelect = false;
  bool m_bOverwritePrompt = true;
  bool m_bOfferAllMatching = false;  // the "Select all matching files" button
};

struct CFileDialogResult {
  bool m_bOk = false;              // files chosen (false on Cancel)
  QStringList m_arrFiles;          // in the order the dialog returned them
  int m_nFilterIndex = 0;
  bool m_bAllMatching = false;     // "Select all matching files" was pressed
  QString m_strTypedPath;          // with it: the path typed or selected
};

class IPrompt {
 public:
  virtual ~IPrompt() = default;
  // A message box; returns the button pressed.
  virtual QMessageBox::StandardButton Message(const QString& text, const QString& caption,
                                              QMessageBox::Icon icon,
                                              QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                              QMessageBox::StandardButton def = QMessageBox::NoButton) = 0;
  // The program's question with named buttons; returns the index of the button
  // pressed (nEscape when the dialog is closed).
  virtual int AskNamedButtons(const QString& title, const QString& text, QMessageBox::Icon icon,
                              const QStringList& buttons, int nDefault, int nEscape) = 0;
  virtual CFileDialogResult AskFiles(const CFileDialogRequest& request) = 0;
  // Runs a dialog; false on Cancel.
  virtual bool Exec(CDialogModel& dialog) = 0;
  // The window dialogs are centred on.
  virtual void SetParent(QWidget* parent) { m_pParent = parent; }

 protected:
  QWidget* m_pParent = nullptr;
};

// The real dialogs.
class CWidgetPrompt : public IPrompt {
 public:
  QMessageBox::StandardButton Message(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton def) override;
  int AskNamedButtons(const QString& title, const QString& text, QMessageBox::Icon icon,
                      const QStringList& buttons, int nDefault, int nEscape) override;
  CFileDialogResult AskFiles(const CFileDialogRequest& request) override;
  bool Exec(CDialogModel& dialog) override;
};

}  // namespace tessary
