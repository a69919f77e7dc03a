#include "app/all_dialogs.h"

#include <QPrinter>

#include "app/analysis_dialogs.h"
#include "app/app_dialogs.h"
#include "app/associated_dialogs.h"
#include "app/big_file_dialogs.h"
#include "app/browser_controller.h"
#include "app/collocates_view.h"
#include "app/concordance_dialogs.h"
#include "app/encoding_dialogs.h"
#include "app/export_dialogs.h"
#include "app/stats_dialogs.h"
#include "app/test_dialogs.h"
#include "editor/editor_dialogs.h"
#include "editor/tessary_view.h"
#include "stats/unique_words.h"

namespace tessary::test {

namespace {

template <class Model, class Set = void (*)(Model&)>
CDialogCase Case(const char* name, const char* form = "", Set set = [](Model&) {}) {
  return {QString::fromLatin1(name), QString::fromLatin1(form),
          [set](IPrompt&, QPrinter&) -> std::unique_ptr<CDialogModel> {
            auto model = std::make_unique<Model>();
            set(*model);
            return model;
          }};
}

CDialogCase System(const char* name) { return {QString::fromLatin1(name), QString(), nullptr}; }

}  // namespace

const std::vector<CDialogCase>& AllDialogs() {
  static const std::vector<CDialogCase> cases = {
      Case<CCodeSetDialog>("CCodeSetDialog", "ANSI checked"),
      Case<CCodeSetDialog>("CCodeSetDialog", "Unicode checked", [](CCodeSetDialog& d) { d.m_bUnicode = true; }),
      Case<CConcordanceSelectionDialog>("CConcordanceSelectionDialog", "byte form",
                                        [](CConcordanceSelectionDialog& d) { d.m_nMatchMode = 3; }),
      Case<CConcordanceSelectionDialog>("CConcordanceSelectionDialog", "Unicode form",
                                        [](CConcordanceSelectionDialog& d) {
                                          d.m_bUnicodeForm = true;
                                          d.m_bDirectory = true;
                                        }),
      Case<CLineWidthDialog>("CLineWidthDialog", "", [](CLineWidthDialog& d) { d.m_strWidth = "35"; }),
      Case<CLeftMarginDialog>("CLeftMarginDialog", "corpus margin", [](CLeftMarginDialog& d) { d.m_nMargin = 27; }),
      Case<CLeftMarginDialog>("CLeftMarginDialog", "other margin", [](CLeftMarginDialog& d) { d.m_nMargin = 4; }),
      Case<CCollocatePositionDialog>("CCollocatePositionDialog"),
      Case<CPlexonDialog>("CPlexonDialog", "", [](CPlexonDialog& d) { d.m_zone = AssocZone::kRight; }),
      Case<CUnicodeAssociatedDialog>("CUnicodeAssociatedDialog"),
      Case<CCodePageDialog>("CCodePageDialog"),
      Case<CEncodingDialog>("CEncodingDialog"),
      Case<CDatabaseKeywordDialog>("CDatabaseKeywordDialog"),
      Case<CProfileStringDialog>("CProfileStringDialog"),
      Case<CAnalysisDialog>("CAnalysisDialog", "collocation form"),
      Case<CCollocationDialog>("CCollocationDialog", "", [](CCollocationDialog& d) { d.m_strMeasure = "ll"; }),
      Case<CNgramDialog>("CNgramDialog", "free n-grams", [](CNgramDialog& d) { d.m_nAttach = 0; }),
      Case<CKeywordsDialog>("CKeywordsDialog", "", [](CKeywordsDialog& d) { d.m_nReference = 2; }),
      Case<CDispersionDialog>("CDispersionDialog", "", [](CDispersionDialog& d) { d.m_bUnicode = true; }),
      Case<CUnicodeStringDialog>("CUnicodeStringDialog", "", [](CUnicodeStringDialog& d) { d.m_bNoSpaces = false; }),
      Case<CAboutDialog>("CAboutDialog"),
      Case<CFindStringDialog>("CFindStringDialog", "", [](CFindStringDialog& d) { d.m_strText = "harbour"; }),
      Case<CGoToDialog>("CGoToDialog", "", [](CGoToDialog& d) { d.m_nLength = 4096; }),
      Case<CAnswerDialog>("CAnswerDialog"),
      Case<CBrowserOptionsDialog>("CBrowserOptionsDialog"),
      Case<CPageSetupModel>("CPageSetupModel"),
      Case<CNewTypeModel>("CNewTypeModel", "", [](CNewTypeModel& d) { d.m_nSelected = 1; }),
      Case<CFontModel>("CFontModel"),
      {"CUniqueWordsDialog", "",
       [](IPrompt& prompt, QPrinter&) -> std::unique_ptr<CDialogModel> {
         return std::make_unique<CUniqueWordsDialog>(prompt, nullptr);
       }},
      {"CCollocatesDialog", "",
       [](IPrompt& prompt, QPrinter&) -> std::unique_ptr<CDialogModel> {
         return std::make_unique<CCollocatesDialog>(prompt, nullptr);
       }},
      {"CPrintSetupDialog", "",
       [](IPrompt&, QPrinter& printer) -> std::unique_ptr<CDialogModel> {
         return std::make_unique<CPrintSetupDialog>(printer);
       }},
      // The platform's own print, page setup and preview dialogs, shown as they come.
      System("CSystemPageSetupModel"),
      System("CPrintModel"),
      System("CPrintPreviewModel"),
  };
  return cases;
}

}  // namespace tessary::test
