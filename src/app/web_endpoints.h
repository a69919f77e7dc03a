#pragma once
// The web addresses the browser commands go to: options kept with the others, edited
// in "Browser Options", never fixed in the program.
#include <QString>

class QSettings;

namespace tessary {

struct CWebEndpoints {
  QString m_strHome = "https://en.wikipedia.org/wiki/Concordance_(publishing)";
  QString m_strConcordancer = "https://en.wikipedia.org/wiki/Key_Word_in_Context";
  QString m_strConcordancerHelp = "https://en.wikipedia.org/wiki/Concordancer";
  QString m_strTutorial = "https://en.wikipedia.org/wiki/Corpus_linguistics";
  // The word goes in place of "{word}", or at the end when there is none.
  QString m_strDictionary = "https://en.wiktionary.org/w/index.php?search=";

  bool operator==(const CWebEndpoints&) const = default;
};

// Read from and written to the open group of settings ("Options"). A stored value that
// is no web address leaves its default.
void ReadWebEndpoints(const QSettings& settings, CWebEndpoints& endpoints);
void WriteWebEndpoints(QSettings& settings, const CWebEndpoints& endpoints);

}  // namespace tessary
