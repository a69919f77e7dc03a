#include "analysis/dispersion.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/measures.h"
#include "engine/text_file.h"

namespace tessary {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string XmlText(std::string_view s) {
  // Paths are the file system's bytes: anything but UTF-8 shows as '?'.
  const bool utf8 = IsValidUtf8(s);
  std::string out;
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else if (c < 0x20 || (c >= 0x80 && !utf8)) out += '?';
    else out += ch;
  }
  return out;
}

std::string Number(double x) { return FormatMeasure(x, 2); }

}  // namespace

const char* const kJuillandFormula = "D = 1 − (σ / μ) / √(n − 1) over the hits' relative frequencies in n equal parts";

double Juilland(const std::vector<double>& f) {
  const std::size_t n = f.size();
  if (n < 2) return kNaN;
  double mean = 0;
  for (double x : f) mean += x;
  mean /= static_cast<double>(n);
  if (mean <= 0) return kNaN;
  double var = 0;
  for (double x : f) var += (x - mean) * (x - mean);
  const double sd = std::sqrt(var / static_cast<double>(n));
  return 1 - (sd / mean) / std::sqrt(static_cast<double>(n - 1));
}

CDispersionResult Dispersion(const CAnalysisCorpus& corpus) {
  CDispersionResult result;
  std::vector<double> perText;
  const auto& texts = corpus.Texts();
  for (std::size_t t = 0; t < texts.size(); ++t) {
    const CCorpusText& text = texts[t];
    CDispersionStrip strip;
    strip.m_strPath = text.m_strPath;
    strip.m_nText = t;
    strip.m_nLength = text.m_nLength;
    strip.m_nWords = text.m_nWords;
    const auto words = static_cast<std::size_t>(text.m_nWords);
    const std::size_t parts = std::min<std::size_t>(kDispersionParts, words);
    std::vector<double> inPart(parts);
    for (const CNodeHit& hit : text.m_arrHits) {
      strip.m_arrOffsets.push_back(hit.m_nOffset);
      strip.m_arrPlaces.push_back(text.m_nLength ? static_cast<double>(hit.m_nOffset) / static_cast<double>(text.m_nLength) : 0);
      // The hit's place among the words: the part of its first word.
      if (parts) inPart[std::min(words - 1, hit.m_nFirst) * parts / words] += 1;
    }
    for (std::size_t p = 0; p < parts; ++p) {
      const std::size_t size = (p + 1) * words / parts - p * words / parts;
      inPart[p] /= static_cast<double>(size);
    }
    const auto hits = static_cast<double>(text.m_arrHits.size());
    strip.m_dPer1000 = words ? hits * 1000 / static_cast<double>(words) : 0;
    strip.m_dJuilland = Juilland(inPart);
    result.m_nHits += static_cast<std::int64_t>(text.m_arrHits.size());
    result.m_nWords += strip.m_nWords;
    if (words) perText.push_back(hits / static_cast<double>(words));
    result.m_arrStrips.push_back(std::move(strip));
  }
  result.m_dPer1000 = result.m_nWords ? static_cast<double>(result.m_nHits) * 1000 / static_cast<double>(result.m_nWords) : 0;
  result.m_dJuilland = Juilland(perText);
  return result;
}

std::string DispersionSvg(const CDispersionResult& result, const std::string& title) {
  constexpr int kLabel = 260, kPlot = 600, kStats = 260, kRow = 36, kTop = 40;
  const int width = kLabel + kPlot + kStats;
  const int height = kTop + kRow * static_cast<int>(result.m_arrStrips.size()) + 30;
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                  std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
                  std::to_string(width) + " " + std::to_string(height) +
                  "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  s += "<title>Dispersion plot: " + XmlText(title) + "</title>\n";
  s += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  s += "<text x=\"10\" y=\"24\" font-size=\"14\">Dispersion of " + XmlText(title) + ": " +
       std::to_string(result.m_nHits) + " hits, " + Number(result.m_dPer1000) + " per 1,000 words, D = " +
       (std::isnan(result.m_dJuilland) ? std::string("–") : Number(result.m_dJuilland)) + "</text>\n";
  int y = kTop;
  for (const CDispersionStrip& strip : result.m_arrStrips) {
    const std::string name = strip.m_strPath.substr(strip.m_strPath.find_last_of('/') + 1);
    s += "<g>\n<text x=\"10\" y=\"" + std::to_string(y + 20) + "\">" + XmlText(name) + "</text>\n";
    s += "<rect x=\"" + std::to_string(kLabel) + "\" y=\"" + std::to_string(y + 4) + "\" width=\"" +
         std::to_string(kPlot) + "\" height=\"" + std::to_string(kRow - 8) + "\" fill=\"none\" stroke=\"black\"/>\n";
    for (double place : strip.m_arrPlaces) {
      const std::string x = FormatMeasure(kLabel + place * kPlot, 1);
      s += "<line x1=\"" + x + "\" y1=\"" + std::to_string(y + 5) + "\" x2=\"" + x + "\" y2=\"" +
           std::to_string(y + kRow - 5) + "\" stroke=\"black\"/>\n";
    }
    s += "<text x=\"" + std::to_string(kLabel + kPlot + 10) + "\" y=\"" + std::to_string(y + 20) + "\">" +
         std::to_string(strip.m_arrPlaces.size()) + " hits, " + Number(strip.m_dPer1000) + " per 1,000, D = " +
         (std::isnan(strip.m_dJuilland) ? std::string("–") : Number(strip.m_dJuilland)) + "</text>\n</g>\n";
    y += kRow;
  }
  s += "</svg>\n";
  return s;
}

}  // namespace tessary
