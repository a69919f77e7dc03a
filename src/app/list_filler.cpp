#include "app/list_filler.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "app/list_palette.h"
#include "editor/tessary_doc.h"

namespace tessary {

namespace {

// The next batch, scaled so that a slice takes about kSliceMs.
std::int64_t Adapt(std::int64_t batch, qint64 elapsedMs) {
  const std::int64_t scaled = batch * CListFiller::kSliceMs / std::max<qint64>(1, elapsedMs);
  return std::clamp<std::int64_t>(std::clamp(scaled, batch / 2, batch * 2), 50, 500000);
}

}  // namespace

CListFiller::CListFiller(CTessaryDoc& doc, std::int64_t nLines, PieceFn piece, bool bFormat, bool bUnicodeList,
                         QObject* parent)
    : QObject(parent),
      m_pDoc(&doc),
      m_nLines(nLines),
      m_fnPiece(std::move(piece)),
      m_bFormat(bFormat),
      m_bUnicodeList(bUnicodeList) {}

CListFiller::~CListFiller() { Release(); }

void CListFiller::Release() {
  if (m_bReleased) return;
  m_bReleased = true;
  if (!m_pDoc) return;
  m_pDoc->Document()->setUndoRedoEnabled(true);
  m_pDoc->m_bBusy = false;
}

void CListFiller::Start() {
  m_pDoc->m_bBusy = true;
  QTextDocument* document = m_pDoc->Document();
  // Filling is not an edit the user could undo.
  document->setUndoRedoEnabled(false);
  document->clear();
  FillSlice();
}

void CListFiller::StartFormatting(std::vector<CRenderedRange> ranges) {
  m_pDoc->m_bBusy = true;
  m_pDoc->Document()->setUndoRedoEnabled(false);
  m_arrRanges = std::move(ranges);
  m_bFormatting = true;
  m_nBatch = 500;
  emit Formatted(0, static_cast<std::int64_t>(m_arrRanges.size()));
  Next(&CListFiller::FormatSlice);
}

void CListFiller::Next(void (CListFiller::*step)()) {
  QTimer::singleShot(0, this, step);
}

void CListFiller::FillSlice() {
  if (!m_pDoc) return Finish(false, false);
  if (m_bStop) return Finish(false, false);
  QElapsedTimer timer;
  timer.start();
  const std::int64_t last = std::min(m_nLines, m_nNextLine + m_nBatch);
  CListPiece piece = m_fnPiece(m_nNextLine, last);
  QTextCursor cursor(m_pDoc->Document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(piece.m_text);
  if (m_bFormat) {
    for (CRenderedRange& r : piece.m_arrRanges) {
      r.m_nStart += m_nChars;
      m_arrRanges.push_back(r);
    }
  }
  m_nChars += piece.m_text.size();
  m_nNextLine = last;
  m_nBatch = Adapt(m_nBatch, timer.elapsed());
  emit Filled(m_nNextLine, m_nLines);
  if (m_nNextLine < m_nLines) return Next(&CListFiller::FillSlice);
  if (!m_bFormat) return Finish(true, false);
  m_bFormatting = true;
  m_nBatch = 500;
  emit Formatted(0, static_cast<std::int64_t>(m_arrRanges.size()));
  Next(&CListFiller::FormatSlice);
}

void CListFiller::FormatSlice() {
  if (!m_pDoc) return Finish(true, false);
  if (m_bStop) return Finish(true, false);
  QElapsedTimer timer;
  timer.start();
  QTextDocument* document = m_pDoc->Document();
  QTextCursor cursor(document);
  const std::int64_t end = document->characterCount() - 1;
  const std::size_t last = std::min(m_arrRanges.size(), m_nNextRange + static_cast<std::size_t>(m_nBatch));
  cursor.beginEditBlock();
  for (; m_nNextRange < last; ++m_nNextRange) {
    const CRenderedRange& r = m_arrRanges[m_nNextRange];
    const int from = static_cast<int>(std::min(r.m_nStart, end));
    const int to = static_cast<int>(std::min(r.m_nStart + r.m_nLength, end));
    if (to <= from) continue;
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(ListRangeFormat(r.m_format.m_kind, m_bUnicodeList));
  }
  cursor.endEditBlock();
  m_nBatch = Adapt(m_nBatch, timer.elapsed());
  emit Formatted(static_cast<std::int64_t>(m_nNextRange), static_cast<std::int64_t>(m_arrRanges.size()));
  if (m_nNextRange < m_arrRanges.size()) return Next(&CListFiller::FormatSlice);
  Finish(true, true);
}

void CListFiller::Finish(bool bFilled, bool bFormatted) {
  // The program's own list is not a change the user could lose; the user's edits are.
  if (m_pDoc) m_pDoc->Document()->setModified(false);
  Release();
  m_arrRanges.clear();
  m_arrRanges.shrink_to_fit();
  emit Done(bFilled, bFormatted);
}

}  // namespace tessary
