#include "app/text_snapshot.h"

#include <QElapsedTimer>
#include <QTextDocument>
#include <QTimer>

#include "editor/list_lines.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"

namespace tessary {

CTextSnapshot::CTextSnapshot(std::vector<CTessaryDoc*> docs, QObject* parent) : QObject(parent) {
  for (CTessaryDoc* doc : docs) m_arrDocs.emplace_back(doc);
  m_arrTexts.resize(m_arrDocs.size());
}

CTextSnapshot::~CTextSnapshot() { EndDocument(); }

void CTextSnapshot::Start() {
  BeginDocument();
  Slice();
}

void CTextSnapshot::BeginDocument() {
  while (m_nDoc < m_arrDocs.size() && !m_arrDocs[m_nDoc]) ++m_nDoc;
  if (m_nDoc >= m_arrDocs.size()) return;
  CTessaryDoc* doc = m_arrDocs[m_nDoc];
  // A text still loading in pieces is finished first: the rest is already in memory.
  doc->EnsureLoaded();
  if ((m_pLines = doc->SharedLines())) {
    m_nLine = 0;
    return;
  }
  for (CTessaryView* view : doc->Views()) {
    if (view->IsReadOnly()) continue;
    view->SetReadOnly(true);
    m_arrLocked.emplace_back(view);
  }
  m_block = doc->Document()->begin();
  m_arrTexts[m_nDoc].reserve(doc->Document()->characterCount());
}

void CTextSnapshot::EndDocument() {
  for (const QPointer<QObject>& locked : m_arrLocked)
    if (auto* view = qobject_cast<CTessaryView*>(locked.data())) view->SetReadOnly(false);
  m_arrLocked.clear();
}

bool CTextSnapshot::SliceOfLines(QString& text, const QElapsedTimer& timer) {
  constexpr std::int64_t kPiece = 1024;
  while (m_nLine < m_pLines->Count()) {
    m_pLines->AppendText(text, m_nLine, m_nLine + kPiece);
    m_nLine += kPiece;
    if (timer.elapsed() >= kSliceMs) {
      QTimer::singleShot(0, this, &CTextSnapshot::Slice);
      return false;
    }
  }
  m_pLines.reset();
  return true;
}

void CTextSnapshot::Slice() {
  QElapsedTimer timer;
  timer.start();
  while (m_nDoc < m_arrDocs.size()) {
    if (!m_arrDocs[m_nDoc]) m_block = QTextBlock();  // closed meanwhile: what was taken stays
    QString& text = m_arrTexts[m_nDoc];
    if (m_pLines && !SliceOfLines(text, timer)) return;
    for (int n = 0; m_block.isValid(); m_block = m_block.next()) {
      if (m_block != m_block.document()->begin()) text += QLatin1Char('\n');
      const qsizetype from = text.size();
      text += m_block.text();
      // Line breaks inside a paragraph are line feeds to a search too.
      for (qsizetype i = from; i < text.size(); ++i)
        if (text[i] == QChar::LineSeparator || text[i] == QChar::ParagraphSeparator) text[i] = QLatin1Char('\n');
      if (++n % 256 == 0 && timer.elapsed() >= kSliceMs) {
        m_block = m_block.next();
        QTimer::singleShot(0, this, &CTextSnapshot::Slice);
        return;
      }
    }
    EndDocument();
    ++m_nDoc;
    BeginDocument();
  }
  emit Done();
}

}  // namespace tessary
