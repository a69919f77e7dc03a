#pragma once
// What every dialog of the program shares beyond its model: the window's buttons, the
// keyboard's way into radio groups, answers checked while the dialog stays open, and
// the names a screen reader reads for its controls.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLayout>
#include <QString>
#include <QStringList>
#include <functional>

namespace tessary {

// A dialog's title bar holds its title and a close button, never minimise or maximise.
void SetDialogButtons(QWidget& dialog);
// Each radio group is reached with Tab at its checked choice, and a dialog that would
// open on an unchecked choice opens on the checked one, so no key press changes the
// choice by accident.
void FocusCheckedChoices(QWidget& root);
// Names the controls of Qt's print dialog that it leaves without one.
void NamePrintDialogControls(QWidget& dialog);
// OK and Cancel, named for a screen reader and wired to accept and reject, added to the
// end of layout.
QDialogButtonBox* AddOkCancel(QDialog& dialog, QLayout& layout);
// Both of the first two, for a dialog about to be shown.
void PrepareDialog(QWidget& dialog);

// A dialog whose OK asks a check first; a refusal keeps it open (the check says why
// and selects the control in question).
class CCheckedDialog : public QDialog {
 public:
  explicit CCheckedDialog(QWidget* parent) : QDialog(parent) {}
  void SetCheck(std::function<bool()> check) { m_fnCheck = std::move(check); }
  void accept() override;

 private:
  std::function<bool()> m_fnCheck;
};

// The name a screen reader reads for a control, as Qt gives it: its accessible name or
// a button's text, else the label whose buddy it is; without mnemonics.
QString ControlName(const QWidget& control);
// Names a control that has no label beside it, in the way a screen reader reads it for
// its kind (a combo box through a hidden label).
void NameControl(QWidget& control, const QString& name);
// The input controls under root (edits, lists, boxes, sliders, choices) that have no
// such name, and the radio groups whose box has none, each as "class 'object name'"
// with the window's title.
QStringList UnnamedControls(const QWidget& root);

}  // namespace tessary
