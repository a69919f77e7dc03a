#pragma once
// Filling a list window's document a slice at a time between events, then its
// key-word formatting the same way, so that a million lines never stall the window.
// Only this touches the document; the text comes from a piece function the command
// supplies (rendered from the core's list).
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/assembly.h"

namespace tessary {

class CTessaryDoc;

// Lines [first, last) of a list window's text, each ending in '\n', and the ranges in
// them with positions from the piece's start.
struct CListPiece {
  QString m_text;
  std::vector<CRenderedRange> m_arrRanges;
};

class CListFiller : public QObject {
  Q_OBJECT
 public:
  using PieceFn = std::function<CListPiece(std::int64_t first, std::int64_t last)>;
  // bFormat: collect the pieces' ranges and apply them once the text is in.
  CListFiller(CTessaryDoc& doc, std::int64_t nLines, PieceFn piece, bool bFormat, bool bUnicodeList,
              QObject* parent = nullptr);
  // A filler that goes before it is done lets its document go: no longer busy, undo on.
  ~CListFiller() override;

  void Start();
  // Formats the document's text as it stands with ranges of its own (nLines and the
  // piece function are not used); Done(true, bFormatted) when it ends.
  void StartFormatting(std::vector<CRenderedRange> ranges);
  // The next slice ends the work: the lines (or formats) so far stay.
  void Stop() { m_bStop = true; }
  bool Formatting() const { return m_bFormatting; }

  // How long one slice may take: the window stays responsive between slices.
  static constexpr qint64 kSliceMs = 20;

 signals:
  void Filled(std::int64_t done, std::int64_t total);
  void Formatted(std::int64_t done, std::int64_t total);
  // Every line is in (bFilled) and every range applied (bFormatted).
  void Done(bool bFilled, bool bFormatted);

 private:
  void FillSlice();
  void FormatSlice();
  void Finish(bool bFilled, bool bFormatted);
  void Next(void (CListFiller::*step)());
  void Release();

  QPointer<CTessaryDoc> m_pDoc;
  std::int64_t m_nLines;
  PieceFn m_fnPiece;
  bool m_bFormat;
  bool m_bUnicodeList;
  bool m_bStop = false;
  bool m_bFormatting = false;
  bool m_bReleased = false;
  std::int64_t m_nNextLine = 0;
  std::int64_t m_nChars = 0;          // characters inserted so far
  std::int64_t m_nBatch = 1000;       // lines (or ranges) per slice, adapted to kSliceMs
  std::vector<CRenderedRange> m_arrRanges;
  std::size_t m_nNextRange = 0;
};

}  // namespace tessary
