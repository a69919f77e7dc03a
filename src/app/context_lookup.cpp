#include "app/context_lookup.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/big_file_view.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "engine/context_position.h"
#include "engine/text_file.h"
#include "ui/qt_text.h"

namespace tessary {

CContextLookup::CContextLookup(CTessaryApp& app) : m_app(app) {}

void CContextLookup::Say(const QString& text) {
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, text);
}

void CContextLookup::Request(CTessaryView* view) {
  const CConcordanceList* list = view ? view->List() : nullptr;
  if (!list) return;
  // A test made from open documents would show the hidden keyword in its source.
  if (list->TestMode() && !list->m_bFromFiles) return;
  const std::int64_t line = view->CaretLine();
  // The empty line after the last line break, and lines added by editing, have none.
  if (line >= view->LineCount()) return;
  const CListEntry* entry = list->EntryOfLine(line);
  if (!entry) return;
  const std::string path = list->SourceOf(*entry);
  if (list->m_bBigFile) return ShowBigFileContext(*list, *entry, path);
  if (path.empty()) {
    Say("The source of this line was never saved, so its context cannot be opened.");
    return;
  }
  CPendingContext pending;
  pending.m_list.m_request = list->m_request;
  pending.m_list.m_nKeyLength = list->m_nKeyLength;
  pending.m_list.m_nMatchMode = list->m_nMatchMode;
  pending.m_list.m_bFromFiles = list->m_bFromFiles;
  pending.m_entry = *entry;
  pending.m_strPath = path;
  Open(std::move(pending));
}

void CContextLookup::ShowBigFileContext(const CConcordanceList& list, const CListEntry& entry,
                                        const std::string& path) {
  CMainFrame* frame = m_app.MainFrame();
  CBigFileView* viewer = frame ? frame->BigFileView() : nullptr;
  if (!viewer || path.empty()) return;
  // The viewer reports a file it cannot open; the look-up then ends.
  if (viewer->Path() != path && !viewer->OpenPath(path)) return;
  viewer->ShowContext(list.m_request.m_strSearch, entry.m_nPosition);
}

void CContextLookup::RequestRecord(const std::string& path, std::int64_t position, const std::string& keyword) {
  CPendingContext pending;
  pending.m_strPath = path;
  pending.m_entry.m_nPosition = position;
  const std::u16string key = Utf8ToUtf16(keyword);
  CConcordanceList bytes;
  bytes.m_request.m_language.m_kind = m_app.m_settings.m_language;
  bytes.m_request.m_language.m_nCodePage = ResolveCodePage(0, m_app.m_settings.m_nAnsiCodePage);
  bytes.m_bFromFiles = true;
  bytes.m_nMatchMode = 2;  // the stored keyword as it stands, wherever it stands
  if (auto cp = CCodePage::Open(bytes.Language().TextCodePage())) bytes.m_request.m_strSearch = (*cp)->FromUnicode(key);
  bytes.m_nKeyLength = static_cast<std::int64_t>(bytes.m_request.m_strSearch.size());
  CConcordanceList wide = bytes;
  wide.m_request.m_bUnicode = true;
  wide.m_request.m_wstrSearch = key;
  wide.m_nKeyLength = static_cast<std::int64_t>(key.size());
  pending.m_list = std::move(bytes);
  pending.m_alternative = std::move(wide);
  Open(std::move(pending));
}

void CContextLookup::RequestHit(const CSearchRequest& request, const std::string& source, std::int64_t position,
                                CTessaryDoc* target) {
  CPendingContext pending;
  pending.m_list.m_request = request;
  pending.m_list.m_nMatchMode = request.m_nMatchMode;
  pending.m_list.m_nKeyLength = static_cast<std::int64_t>(request.m_bUnicode ? request.m_wstrSearch.size()
                                                                               : request.m_strSearch.size());
  pending.m_list.m_bFromFiles = request.m_source == SearchSource::kFiles;
  pending.m_entry.m_nPosition = position;
  pending.m_strPath = source;
  if (pending.m_list.m_bFromFiles) return Open(std::move(pending));
  // An open document is named by its title: its window comes forward and gets the selection.
  for (CTessaryDoc* doc : m_app.Documents()) {
    if (doc->List() || doc->Views().empty()) continue;
    if (target ? doc != target : doc->Title().toStdString() != source) continue;
    pending.m_pDoc = doc;
    m_pending = std::move(pending);
    CMainFrame* frame = m_app.MainFrame();
    if (frame) frame->ActivateView(doc->Views().front());
    if (m_pending && frame && frame->ActiveView() && frame->ActiveView()->GetDocument() == doc) Apply(frame->ActiveView());
    return;
  }
  Say(QStringLiteral("%1 is no longer open.").arg(QString::fromStdString(source)));
}

void CContextLookup::Open(CPendingContext pending) {
  const std::string path = pending.m_strPath;
  // A file that cannot be opened is reported by the open itself; nothing then waits.
  m_pending.reset();
  CTessaryDoc* doc = m_app.OpenDocumentFile(FromFsPath(path));
  if (!doc) return;
  pending.m_pDoc = doc;
  m_pending = std::move(pending);
  // The open has already activated the window when the frame gave it the focus.
  CMainFrame* frame = m_app.MainFrame();
  CTessaryView* active = frame ? frame->ActiveView() : nullptr;
  if (active && active->GetDocument() == doc) Apply(active);
}

void CContextLookup::OnViewFocus(CTessaryView* view) {
  if (m_pending && view && m_pending->m_pDoc && view->GetDocument() == m_pending->m_pDoc) Apply(view);
}

void CContextLookup::Apply(CTessaryView* view) {
  const CPendingContext pending = std::move(*m_pending);
  m_pending.reset();
  CTessaryDoc* doc = view->GetDocument();
  const CConcordanceList& list = pending.m_list;
  const QString name = QFileInfo(FromFsPath(pending.m_strPath)).fileName();
  auto ansi = CCodePage::Open(m_app.m_settings.m_nAnsiCodePage);
  auto textCp = CCodePage::Open(list.Language().TextCodePage());
  if (!ansi || !textCp) {
    Say(QString::fromStdString(!ansi ? ansi.Error() : textCp.Error()));
    return;
  }
  // A byte search of a file counted the file's bytes in text mode: the file tells
  // where they stand in the editor's characters.
  std::unique_ptr<CTextFile> file;
  if (!list.Unicode() && list.m_bFromFiles) {
    auto opened = CTextFile::Open(pending.m_strPath);
    if (!opened) {
      Say(QString::fromStdString(opened.Error()));
      return;
    }
    file = std::move(*opened);
  }
  const std::u16string text = ToU16(doc->PlainText());
  auto range = LocateContext(list, pending.m_entry, text, file ? file->Bytes() : std::string_view(), **ansi,
                             **textCp);
  if (!range && pending.m_alternative)
    range = LocateContext(*pending.m_alternative, pending.m_entry, text, std::string_view(), **ansi, **textCp);
  if (!range) {
    // Selecting what stands there now would show the wrong words.
    Say(QStringLiteral("%1 has changed since the search: the keyword is no longer where it was found.").arg(name));
    return;
  }
  QTextCursor cursor(doc->Document());
  cursor.setPosition(static_cast<int>(range->m_nStart));
  cursor.setPosition(static_cast<int>(range->m_nStart + range->m_nLength), QTextCursor::KeepAnchor);
  view->SetTextCursor(cursor);
}

}  // namespace tessary
