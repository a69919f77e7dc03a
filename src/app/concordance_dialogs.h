#pragma once
// The dialogs of a concordance request, as models the prompt runs.
#include <QString>
#include <cstdint>

#include "ui/prompt.h"

namespace tessary {

// "Select Code Set": Unicode or ANSI files.
class CCodeSetDialog : public CDialogModel {
 public:
  bool m_bUnicode = false;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Concordance Selection" and its Unicode form: the search string, the match mode,
// open documents or a directory, the collocate distance, the sort mode and numbering.
class CConcordanceSelectionDialog : public CDialogModel {
 public:
  bool m_bUnicodeForm = false;
  QString m_strSearch;
  int m_nMatchMode = 0;
  bool m_bDirectory = false;
  QString m_strDistance = "1";
  QString m_strSortMode = "Sort Right";
  QString m_strLineNumbers = "Yes";
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Set line width": an editable list of 25 to 45.
class CLineWidthDialog : public CDialogModel {
 public:
  QString m_strWidth;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
  QString Problem() const override;
  void FocusProblem(QDialog& widget) override;
};

// "Set Left Margin": the corpus margins, or another width typed.
class CLeftMarginDialog : public CDialogModel {
 public:
  std::int64_t m_nMargin = 0;  // in: the current margin; out: the chosen one
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
  QString Problem() const override;
  void FocusProblem(QDialog& widget) override;

 private:
  bool m_bBadOther = false;  // "Other" was chosen with no width typed that can be one
};

// "Collocate position": which collocate a sort command uses.
class CCollocatePositionDialog : public CDialogModel {
 public:
  QString m_strDistance = "1";
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
