#pragma once
// The dialogs of the statistics commands, as models the prompt runs: the profile
// strings and the unique-word list with its sorts and its saved file.
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "stats/unique_words.h"
#include "ui/prompt.h"

class QAbstractTableModel;
class QLabel;
class QTableView;

namespace tessary {

// "Enter search string": the byte profile string.
class CProfileStringDialog : public CDialogModel {
 public:
  QString m_strSearch;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Enter unicode string": the 16-bit profile string and whether the texts have spaces
// between words (word profile) or not (character profile).
class CUnicodeStringDialog : public CDialogModel {
 public:
  QString m_strSearch;
  bool m_bNoSpaces = true;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Unique Words View": one row per distinct word with its instances and percentage.
// The table reads the rows through a model, so a list of any length opens and sorts
// at once; the buttons act on this object, so a script presses them as a user would.
class CUniqueWordsDialog : public CDialogModel {
 public:
  // prompt: asks for the file to save; open: opens the saved file in the editor.
  CUniqueWordsDialog(IPrompt& prompt, std::function<void(const QString& path)> open);
  ~CUniqueWordsDialog() override;
  void SetList(CUniqueWordList list, const CTextClasses& classes);

  int RowCount() const;
  QString Word(int row) const;
  QString Instances(int row) const;
  QString Percent(int row) const;
  QString TotalText() const;
  const CUniqueWordList& List() const { return m_list; }

  // Highest count first, and by word; rows with equal keys keep their order.
  void FrequencySort();
  void AlphabeticSort();
  // "Save": asks for the file, writes the rows in their current order and opens the
  // file; "File error" when it cannot be written. False when nothing was written.
  bool Save();
  // "Save to Database": asks for a database file and stores the rows in their current
  // order as its table UniqueWords; "Command failed." when it cannot. False when
  // nothing was written.
  bool SaveToDatabase();

  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog&) override {}

 private:
  void Reordered();

  IPrompt& m_prompt;
  std::function<void(const QString&)> m_fnOpen;
  CUniqueWordList m_list;
  std::optional<CTextClasses> m_classes;
  QPointer<QAbstractTableModel> m_pModel;
};

}  // namespace tessary
