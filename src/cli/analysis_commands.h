#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli collocation|ngrams|keywords|plot ...`: the analyses, as TSV or CSV
// tables (the plot as SVG).
int RunCollocation(const std::vector<std::string>& args);
int RunNgrams(const std::vector<std::string>& args);
int RunKeywords(const std::vector<std::string>& args);
int RunPlot(const std::vector<std::string>& args);
void PrintCollocationUsage();
void PrintNgramsUsage();
void PrintKeywordsUsage();
void PrintPlotUsage();

}  // namespace tessary::cli
