#include "app/associated_request.h"

#include <algorithm>

#include "app/associated_dialogs.h"
#include "app/concordance_dialogs.h"
#include "app/search_string_edit.h"
#include "app/tessary_app.h"
#include "engine/codepage.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

const char* const kPlexonCaption = "Associated Word Plexon Search";

AssocZone ZoneOf(const CSearchSettings& s) {
  // The first setting that is on, in the dialog's order.
  if (s.m_nNearAnywhere) return AssocZone::kAnywhere;
  if (s.m_nNearLeft) return AssocZone::kLeft;
  if (s.m_nNearRight) return AssocZone::kRight;
  return AssocZone::kAnywhere;
}

void RememberZone(CSearchSettings& s, AssocZone zone) {
  s.m_nNearAnywhere = zone == AssocZone::kAnywhere;
  s.m_nNearLeft = zone == AssocZone::kLeft;
  s.m_nNearRight = zone == AssocZone::kRight;
}

// What every associated-word request shares once the dialog is confirmed.
CSearchRequest NewRequest(const CSearchSettings& s) {
  CSearchRequest r = CSearchRequest::FromSettings(s);
  r.m_bSentences = false;
  r.m_bTestMode = false;
  r.m_assocZone = ZoneOf(s);
  r.m_source = s.m_bDirectory ? SearchSource::kFiles : SearchSource::kOpenDocuments;
  return r;
}

std::optional<CSearchRequest> AskByteRequest(CTessaryApp& app, QString& lastByteSearch) {
  CSearchSettings& s = app.m_settings;
  const CTextLanguage language = CSearchRequest::FromSettings(s).m_language;
  auto cp = CCodePage::Open(language.TextCodePage());
  if (!cp) {
    app.Prompt().Message(QString::fromStdString(cp.Error()), kPlexonCaption, QMessageBox::Warning);
    return std::nullopt;
  }
  CPlexonDialog dialog;
  dialog.m_strNode = lastByteSearch;
  dialog.m_strAssocWord1 = FromU16((*cp)->ToUnicode(s.m_strAssocWord1));
  dialog.m_strAssocWord2 = FromU16((*cp)->ToUnicode(s.m_strAssocWord2));
  dialog.m_strAssocWord3 = FromU16((*cp)->ToUnicode(s.m_strAssocWord3));
  dialog.m_zone = ZoneOf(s);
  dialog.m_bDirectory = s.m_bDirectory;
  dialog.m_nMatchMode = s.m_nMatchMode;
  dialog.m_strDistance = QString::number(s.m_nSortDistance);
  dialog.m_strSortMode = kUnsorted;  // proposed: associated words read best in the order found
  dialog.m_strLineNumbers = s.m_bLineNumbers ? "Yes" : "No";
  if (!app.Prompt().Exec(dialog)) return std::nullopt;

  s.m_bDirectory = dialog.m_bDirectory;
  s.m_nMatchMode = dialog.m_nMatchMode;
  s.m_nSortDistance = std::clamp(dialog.m_strDistance.trimmed().toInt(), 1, 3);
  s.m_strSortMode = dialog.m_strSortMode.toStdString();
  s.m_bLineNumbers = dialog.m_strLineNumbers == "Yes";
  RememberZone(s, dialog.m_zone);
  const bool bDoubleByte = language.IsDoubleByte();
  auto bytes = [&](const QString& typed) {
    return TrimSearchString((*cp)->FromUnicode(ToU16(OneLineSearchString(typed))), bDoubleByte);
  };
  lastByteSearch = OneLineSearchString(dialog.m_strNode);
  s.m_strSearch = bytes(dialog.m_strNode);
  s.m_strAssocWord1 = bytes(dialog.m_strAssocWord1);
  s.m_strAssocWord2 = bytes(dialog.m_strAssocWord2);
  s.m_strAssocWord3 = bytes(dialog.m_strAssocWord3);
  s.m_bAssocWord2 = !s.m_strAssocWord2.empty();
  s.m_bAssocWord3 = s.m_bAssocWord2 && !s.m_strAssocWord3.empty();
  if (s.m_strSearch.empty()) return std::nullopt;
  if (s.m_strAssocWord1.empty()) {
    app.Prompt().Message("Please type associated word (1): the search keeps the lines where it stands near the "
                         "node word.",
                         kPlexonCaption, QMessageBox::Information);
    return std::nullopt;
  }

  CSearchRequest r = NewRequest(s);
  r.m_bUnicode = false;
  r.m_wstrTyped = ToU16(lastByteSearch.trimmed());
  r.m_strSearch = s.m_strSearch;
  // Every word typed is looked for: a third word counts even when the second box is empty.
  for (const std::string* word : {&s.m_strAssocWord1, &s.m_strAssocWord2, &s.m_strAssocWord3})
    if (!word->empty()) r.m_arrAssocWords.push_back(*word);
  return r;
}

}  // namespace

std::optional<CSearchRequest> AskUnicodeAssociatedRequest(CTessaryApp& app) {
  CSearchSettings& s = app.m_settings;
  CUnicodeAssociatedDialog dialog;
  dialog.m_strSearch = FromU16(s.m_wstrSearch);
  dialog.m_strAssocWord = FromU16(s.m_wstrAssocWord);
  dialog.m_zone = ZoneOf(s);
  dialog.m_bDirectory = s.m_bDirectory;
  dialog.m_nMatchMode = s.m_nMatchMode;
  if (!app.Prompt().Exec(dialog)) return std::nullopt;

  s.m_bUnicode = true;
  s.m_bDirectory = dialog.m_bDirectory;
  s.m_nMatchMode = dialog.m_nMatchMode;
  // This dialog has no sort list: its lines stand in the order found.
  s.m_strSortMode = kUnsorted;
  RememberZone(s, dialog.m_zone);
  s.m_wstrSearch = ToU16(OneLineSearchString(dialog.m_strSearch));
  s.m_wstrAssocWord = ToU16(OneLineSearchString(dialog.m_strAssocWord));
  if (s.m_wstrSearch.empty()) return std::nullopt;
  if (s.m_wstrAssocWord.empty()) {
    app.Prompt().Message("Please type the associated word: the search keeps the lines where it stands near the "
                         "search string.",
                         "Associated words (Unicode)", QMessageBox::Information);
    return std::nullopt;
  }

  CSearchRequest r = NewRequest(s);
  r.m_bUnicode = true;
  r.m_wstrTyped = r.m_wstrSearch = s.m_wstrSearch;
  r.m_wstrAssocWord = s.m_wstrAssocWord;
  return r;
}

std::optional<CSearchRequest> AskPlexonRequest(CTessaryApp& app, QString& lastByteSearch) {
  CSearchSettings& s = app.m_settings;
  CCodeSetDialog codeSet;
  codeSet.m_bUnicode = s.m_bUnicode;
  if (!app.Prompt().Exec(codeSet)) return std::nullopt;
  s.m_bUnicode = codeSet.m_bUnicode;
  return s.m_bUnicode ? AskUnicodeAssociatedRequest(app) : AskByteRequest(app, lastByteSearch);
}

QString NoConcordancesText(const QString& search) {
  return QStringLiteral("No concordances found for < %1 >").arg(search);
}

}  // namespace tessary
