#pragma once
// Takes documents' plain text (one line feed per paragraph, as a search reads it) a
// slice of paragraphs at a time between events, so that a long text never stalls the
// window. Each document's windows are read-only while its text is taken, so the text
// is the one at the start; a document closed meanwhile gives what was taken of it.
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBlock>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessary {

class CListLines;
class CTessaryDoc;

class CTextSnapshot : public QObject {
  Q_OBJECT
 public:
  explicit CTextSnapshot(std::vector<CTessaryDoc*> docs, QObject* parent = nullptr);
  ~CTextSnapshot() override;  // gives back the windows it made read-only

  void Start();
  // The texts in the order of the documents given; complete once Done was emitted.
  std::vector<QString>& Texts() { return m_arrTexts; }

  static constexpr qint64 kSliceMs = 15;

 signals:
  void Done();

 private:
  void Slice();
  void BeginDocument();
  void EndDocument();
  bool SliceOfLines(QString& text, const QElapsedTimer& timer);

  std::vector<QPointer<CTessaryDoc>> m_arrDocs;
  std::vector<QString> m_arrTexts;
  std::size_t m_nDoc = 0;
  QTextBlock m_block;
  // A list window whose lines are not in its text is read from its store, which never
  // changes: its windows stay as they are.
  std::shared_ptr<const CListLines> m_pLines;
  std::int64_t m_nLine = 0;
  std::vector<QPointer<QObject>> m_arrLocked;  // views made read-only by this snapshot
};

}  // namespace tessary
