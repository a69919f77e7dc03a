#include "engine/search_request.h"

#include "engine/codepage.h"

namespace tessary {

int CTextLanguage::TextCodePage() const {
  switch (m_kind) {
    case TextLanguageKind::kBig5: return 950;
    case TextLanguageKind::kGb: return 936;
    case TextLanguageKind::kJapanese: return 932;
    case TextLanguageKind::kCodePage: break;
  }
  return m_nCodePage;
}

CSearchRequest CSearchRequest::FromSettings(const CSearchSettings& s) {
  CSearchRequest r;
  r.m_bUnicode = s.m_bUnicode;
  r.m_nMatchMode = s.m_nMatchMode;
  r.m_nLineWidth = s.m_nLineWidth;
  r.m_strSortMode = s.m_strSortMode;
  r.m_nSortDistance = s.m_nSortDistance;
  r.m_bLineNumbers = s.m_bLineNumbers;
  r.m_bFileReference = s.m_bFileReference;
  r.m_language.m_kind = s.m_language;
  // Byte texts are in the ANSI code page unless a double-byte set is chosen.
  r.m_language.m_nCodePage = ResolveCodePage(0, s.m_nAnsiCodePage);
  r.m_nAnsiCodePage = s.m_nAnsiCodePage;
  r.m_bSentences = s.m_bSentences;
  r.m_bTestMode = s.m_bTestMode;
  return r;
}

}  // namespace tessary
