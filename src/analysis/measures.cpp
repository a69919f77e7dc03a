#include "analysis/measures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

namespace tessary {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

double Term(double o, double e) { return o > 0 && e > 0 ? o * std::log(o / e) : 0.0; }

}  // namespace

double LogLikelihood(double o11, double o12, double o21, double o22) {
  o11 = std::max(o11, 0.0), o12 = std::max(o12, 0.0), o21 = std::max(o21, 0.0), o22 = std::max(o22, 0.0);
  const double n = o11 + o12 + o21 + o22;
  if (n <= 0) return 0;
  const double r1 = o11 + o12, r2 = o21 + o22, c1 = o11 + o21, c2 = o12 + o22;
  const double g = 2 * (Term(o11, r1 * c1 / n) + Term(o12, r1 * c2 / n) + Term(o21, r2 * c1 / n) + Term(o22, r2 * c2 / n));
  return std::max(g, 0.0);  // rounding may leave a tiny negative for a table of no association
}

CAssociation Associate(double o11, double r1, double c1, double n) {
  CAssociation a;
  a.m_dE11 = n > 0 ? r1 * c1 / n : 0;
  const double e = a.m_dE11;
  a.m_dMI = o11 > 0 && e > 0 ? std::log2(o11 / e) : -kInf;
  a.m_dMI3 = o11 > 0 && e > 0 ? std::log2(o11 * o11 * o11 / e) : -kInf;
  a.m_dT = o11 > 0 ? (o11 - e) / std::sqrt(o11) : -kInf;
  a.m_dZ = e > 0 ? (o11 - e) / std::sqrt(e) : std::numeric_limits<double>::quiet_NaN();
  a.m_dDice = r1 + c1 > 0 ? 2 * o11 / (r1 + c1) : 0;
  a.m_dLogDice = a.m_dDice > 0 ? 14 + std::log2(a.m_dDice) : -kInf;
  a.m_dLL = LogLikelihood(o11, r1 - o11, c1 - o11, n - r1 - c1 + o11);
  return a;
}

const std::vector<CMeasureInfo>& Measures() {
  static const std::vector<CMeasureInfo> kMeasures = {
      {Measure::kFrequency, "freq", "Freq", "O11: how often the collocate stands in the node's spans"},
      {Measure::kMI, "mi", "MI", "MI = log2(O11·N / (R1·C1))"},
      {Measure::kMI3, "mi3", "MI3", "MI3 = log2(O11³·N / (R1·C1))"},
      {Measure::kT, "t", "T-score", "T = (O11 − E11) / √O11, E11 = R1·C1 / N"},
      {Measure::kLL, "ll", "Log-likelihood",
       "G² = 2 Σ Oij·ln(Oij / Eij) over the two-by-two table O11, R1 − O11, C1 − O11, N − R1 − C1 + O11"},
      {Measure::kLogDice, "logdice", "logDice", "logDice = 14 + log2(2·O11 / (R1 + C1))"},
      {Measure::kDice, "dice", "Dice", "Dice = 2·O11 / (R1 + C1)"},
      {Measure::kZ, "z", "z-score", "z = (O11 − E11) / √E11, E11 = R1·C1 / N"},
  };
  return kMeasures;
}

const CMeasureInfo* FindMeasure(const std::string& key) {
  for (const CMeasureInfo& m : Measures())
    if (key == m.m_pszKey) return &m;
  return nullptr;
}

double MeasureValue(const CAssociation& a, double o11, Measure m) {
  switch (m) {
    case Measure::kFrequency: return o11;
    case Measure::kMI: return a.m_dMI;
    case Measure::kMI3: return a.m_dMI3;
    case Measure::kT: return a.m_dT;
    case Measure::kLL: return a.m_dLL;
    case Measure::kLogDice: return a.m_dLogDice;
    case Measure::kDice: return a.m_dDice;
    case Measure::kZ: return a.m_dZ;
  }
  return 0;
}

const char* const kKeynessLLFormula =
    "G² = 2 Σ Oij·ln(Oij / Eij) over the table a, c − a, b, d − b (a, b: the word in the study texts and the "
    "reference; c, d: their sizes in words)";
const char* const kLogRatioFormula = "Log ratio = log2((a / c) / (b / d)), a frequency of 0 taken as 0.5";
const char* const kSignificanceFormula = "p: the chance of a G² this large with one degree of freedom, erfc(√(G² / 2))";

CKeyness Keyness(double a, double b, double c, double d) {
  CKeyness k;
  k.m_dLL = LogLikelihood(a, c - a, b, d - b);
  k.m_dP = std::erfc(std::sqrt(k.m_dLL / 2));
  if (c > 0 && d > 0) {
    k.m_dLogRatio = std::log2((std::max(a, 0.5) / c) / (std::max(b, 0.5) / d));
    const double left = a * d, right = b * c;  // a/c against b/d without rounding
    k.m_nSign = left > right ? 1 : left < right ? -1 : 0;
  }
  return k;
}

std::string FormatMeasure(double value, int decimals) {
  if (std::isnan(value)) return {};
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  if (std::string_view(buf).find_first_not_of("-0.") == std::string_view::npos && buf[0] == '-') return buf + 1;
  return buf;
}

}  // namespace tessary
