#pragma once
// The request dialogs of the Analysis menu, as models the prompt runs. Each asks for
// the code set, the sources (the open documents or files) and what its analysis needs:
// the node search with its mode, the span, the sizes, the reference, the minimums.
#include <QString>
#include <cstdint>

#include "ui/prompt.h"

namespace tessary {

enum class AnalysisKind { kCollocation, kNgrams, kKeywords, kDispersion };

class CAnalysisDialog : public CDialogModel {
 public:
  explicit CAnalysisDialog(AnalysisKind kind = AnalysisKind::kCollocation) : m_kind(kind) {}
  AnalysisKind Kind() const { return m_kind; }

  bool m_bUnicode = false;
  QString m_strSearch;        // the node (not for keywords and free n-grams)
  int m_nMatchMode = 0;       // as the concordance's: 0 word, 1 prefix, 3 suffix, 2 any string
  bool m_bDirectory = false;  // files chosen in the file dialog instead of the open documents
  // Collocation.
  int m_nLeft = 5;
  int m_nRight = 5;
  QString m_strMeasure = "freq";  // the measure the rows are sorted by (the CLI's key)
  // Collocation, n-grams, keywords.
  std::int64_t m_nMinFreq = 1;
  // N-grams.
  int m_nMinSize = 2;
  int m_nMaxSize = 5;
  int m_nAttach = 3;  // 0 free n-grams, 1 the node first, 2 the node last, 3 either
  std::int64_t m_nMinRange = 1;
  // Keywords: 0 reference files, 1 a directory's files, 2 a saved unique-word list.
  int m_nReference = 0;

  bool NeedsNode() const;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
  QString Problem() const override;
  void FocusProblem(QDialog& widget) override;

 private:
  AnalysisKind m_kind;
};

// "Collocation Strength", "Clusters and N-grams", "Keywords", "Dispersion Plot".
class CCollocationDialog : public CAnalysisDialog {
 public:
  CCollocationDialog() : CAnalysisDialog(AnalysisKind::kCollocation) {}
};
class CNgramDialog : public CAnalysisDialog {
 public:
  CNgramDialog() : CAnalysisDialog(AnalysisKind::kNgrams) {}
};
class CKeywordsDialog : public CAnalysisDialog {
 public:
  CKeywordsDialog() : CAnalysisDialog(AnalysisKind::kKeywords) {}
};
class CDispersionDialog : public CAnalysisDialog {
 public:
  CDispersionDialog() : CAnalysisDialog(AnalysisKind::kDispersion) {}
};

QString AnalysisTitle(AnalysisKind kind);

}  // namespace tessary
