#pragma once
// Association measures of a two-by-two table, and keyness of a word in two corpora.
// Every measure comes with the formula the help and the column tool tips show.
#include <cstdint>
#include <string>
#include <vector>

namespace tessary {

// Collocation: O11 the collocate in the node's spans, R1 the node's frequency, C1 the
// collocate's frequency, N the corpus size in words.
struct CAssociation {
  double m_dE11 = 0;      // R1·C1 / N
  double m_dMI = 0;
  double m_dMI3 = 0;
  double m_dT = 0;
  double m_dLL = 0;       // G², always 0 or above
  double m_dLogDice = 0;
  double m_dDice = 0;
  double m_dZ = 0;
};
// Zero cells: log2 0 is -infinity (MI, MI3, logDice when O11 is 0); the T-score is
// -infinity when O11 is 0 and the z-score NaN when E11 is 0; in G² a cell of 0 adds
// nothing (0·ln 0 = 0), and a cell the counts make negative (overlapping spans count a
// word more often than the node or the word occurs) is taken as 0.
CAssociation Associate(double o11, double r1, double c1, double n);

// G² of a table given by its four cells (Dunning 1993): 2 Σ O·ln(O/E), E from the margins.
double LogLikelihood(double o11, double o12, double o21, double o22);

enum class Measure { kFrequency, kMI, kMI3, kT, kLL, kLogDice, kDice, kZ };
struct CMeasureInfo {
  Measure m_measure;
  const char* m_pszKey;      // the CLI's name: freq, mi, mi3, t, ll, logdice, dice, z
  const char* m_pszTitle;    // the column title
  const char* m_pszFormula;  // the formula, for the help and the tool tip
};
const std::vector<CMeasureInfo>& Measures();
const CMeasureInfo* FindMeasure(const std::string& key);
double MeasureValue(const CAssociation& a, double o11, Measure m);

// Keyness of a word with frequency a in the study texts (c words in all) and b in the
// reference (d words): G² of the table a, c − a, b, d − b, and the log ratio (Hardie
// 2014) log2((a/c) / (b/d)), a frequency of 0 taken as 0.5. p is the chance of a G² this
// large with one degree of freedom. m_nSign: +1 relatively more frequent in the study
// texts (a positive keyword), −1 less (negative), 0 equal.
struct CKeyness {
  double m_dLL = 0;
  double m_dLogRatio = 0;
  double m_dP = 1;
  int m_nSign = 0;
};
CKeyness Keyness(double a, double b, double c, double d);

// The formulas as the help and the tool tips show them.
extern const char* const kKeynessLLFormula;
extern const char* const kLogRatioFormula;
extern const char* const kSignificanceFormula;

// A number for the tables: fixed decimals, "-inf" / "inf" for infinities, empty for NaN.
std::string FormatMeasure(double value, int decimals = 4);

}  // namespace tessary
