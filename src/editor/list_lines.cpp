#include "editor/list_lines.h"

#include <algorithm>

#include "ui/qt_text.h"

namespace tessary {

void CListLines::AppendText(QString& text, std::int64_t first, std::int64_t last) const {
  for (std::int64_t i = std::max<std::int64_t>(0, first); i < std::min(last, Count()); ++i) {
    text += Line(i);
    text += QLatin1Char('\n');
  }
}

QString CListLines::Text() const {
  QString text;
  AppendText(text, 0, Count());
  return text;
}

std::u16string CListLines::TextUtf16() const {
  constexpr std::int64_t kPiece = 4096;
  std::u16string text;
  for (std::int64_t first = 0; first < Count(); first += kPiece) {
    QString piece;
    AppendText(piece, first, first + kPiece);
    text.append(reinterpret_cast<const char16_t*>(piece.utf16()), static_cast<std::size_t>(piece.size()));
  }
  return text;
}

namespace {

// Pieces of this many lines are rendered at once when the whole text is asked for.
constexpr std::int64_t kRenderPiece = 4096;

template <class List>
class CAssembledLines final : public CListLines {
 public:
  CAssembledLines(List list, std::shared_ptr<const CCodePage> cp) : m_list(std::move(list)), m_pCp(std::move(cp)) {}

  std::int64_t Count() const override { return m_list.Lines(); }

  QString Line(std::int64_t i) const override {
    if (i < 0 || i >= Count()) return {};
    QString line = Render(i, i + 1);
    line.chop(1);
    return line;
  }

  void AppendText(QString& text, std::int64_t first, std::int64_t last) const override {
    first = std::max<std::int64_t>(0, first);
    last = std::min(last, Count());
    for (std::int64_t from = first; from < last; from += kRenderPiece) text += Render(from, std::min(last, from + kRenderPiece));
  }

 private:
  QString Render(std::int64_t first, std::int64_t last) const {
    static const std::vector<CFormatRange> kNoRanges;
    if constexpr (std::is_same_v<List, CWideAssembledList>) {
      return FromU16(RenderUtf16(m_list, kNoRanges, first, last).m_wstrText);
    } else {
      return FromU16(RenderUtf16(m_list, *m_pCp, kNoRanges, first, last).m_wstrText);
    }
  }

  const List m_list;
  const std::shared_ptr<const CCodePage> m_pCp;
};

class CTextLines final : public CListLines {
 public:
  explicit CTextLines(QString text) : m_text(std::move(text)) {
    qsizetype from = 0;
    while (from < m_text.size()) {
      m_arrStarts.push_back(from);
      const qsizetype lf = m_text.indexOf(QLatin1Char('\n'), from);
      from = lf < 0 ? m_text.size() + 1 : lf + 1;
    }
    m_arrStarts.push_back(from);
  }

  std::int64_t Count() const override { return static_cast<std::int64_t>(m_arrStarts.size()) - 1; }

  QString Line(std::int64_t i) const override {
    if (i < 0 || i >= Count()) return {};
    const auto at = static_cast<std::size_t>(i);
    return m_text.mid(m_arrStarts[at], m_arrStarts[at + 1] - m_arrStarts[at] - 1);
  }

 private:
  const QString m_text;
  std::vector<qsizetype> m_arrStarts;  // of each line, then one past the last line feed
};

class CPermutedLines final : public CListLines {
 public:
  CPermutedLines(std::shared_ptr<const CListLines> base, std::vector<std::int64_t> order)
      : m_pBase(std::move(base)), m_arrOrder(std::move(order)) {}

  std::int64_t Count() const override { return static_cast<std::int64_t>(m_arrOrder.size()); }

  QString Line(std::int64_t i) const override {
    if (i < 0 || i >= Count()) return {};
    return m_pBase->Line(m_arrOrder[static_cast<std::size_t>(i)]);
  }

 private:
  const std::shared_ptr<const CListLines> m_pBase;
  const std::vector<std::int64_t> m_arrOrder;
};

}  // namespace

std::shared_ptr<const CListLines> AssembledLines(CAssembledList list, std::shared_ptr<const CCodePage> cp) {
  return std::make_shared<CAssembledLines<CAssembledList>>(std::move(list), std::move(cp));
}

std::shared_ptr<const CListLines> AssembledLines(CWideAssembledList list) {
  return std::make_shared<CAssembledLines<CWideAssembledList>>(std::move(list), nullptr);
}

std::shared_ptr<const CListLines> TextLines(QString text) { return std::make_shared<CTextLines>(std::move(text)); }

std::shared_ptr<const CListLines> PermutedLines(std::shared_ptr<const CListLines> base,
                                                std::vector<std::int64_t> order) {
  return std::make_shared<CPermutedLines>(std::move(base), std::move(order));
}

}  // namespace tessary
