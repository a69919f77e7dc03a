#pragma once
// The dialogs of an associated-word request, as models the prompt runs.
#include <QString>

#include "engine/associated_words.h"
#include "ui/prompt.h"

namespace tessary {

// "Associated Word Plexon Search": the node word, up to three associated words and
// where they must stand, open documents or a directory, the match mode, the collocate
// distance, the sort mode and numbering.
class CPlexonDialog : public CDialogModel {
 public:
  QString m_strNode;
  QString m_strAssocWord1;
  QString m_strAssocWord2;
  QString m_strAssocWord3;
  AssocZone m_zone = AssocZone::kAnywhere;
  bool m_bDirectory = false;
  int m_nMatchMode = 0;
  QString m_strDistance = "1";
  QString m_strSortMode = "Unsorted";
  QString m_strLineNumbers = "Yes";
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// "Associated words (Unicode)": the search string and one associated word in rich
// edits, open documents or a directory, the match mode and where the word stands.
class CUnicodeAssociatedDialog : public CDialogModel {
 public:
  QString m_strSearch;
  QString m_strAssocWord;
  AssocZone m_zone = AssocZone::kAnywhere;
  bool m_bDirectory = false;
  int m_nMatchMode = 0;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
