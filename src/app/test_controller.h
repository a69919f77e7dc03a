#pragma once
// The gap-fill test in the program. Test > New marks the next search as a test; its
// worker makes the test with the core, and the window is filled with every keyword
// already blanked, so the keyword never enters the window, its undo history or a
// printout. The blanks then get their format a slice at a time. Test > Answer asks
// for the missing word and, when it is right (or the learner cheats), puts back each
// line's own keyword.
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/list_filler.h"
#include "app/list_operation.h"
#include "engine/assembly.h"
#include "exercise/gap_fill.h"

class QTextBlock;
class QTextCharFormat;
class QTextCursor;
class QWidget;

namespace tessary {

class CConcordanceController;
class CProgressDialog;
class CTessaryApp;
class CTessaryDoc;
class CTessaryView;
struct CSearchRequest;

// Made on a search's worker thread: the test and its window text, cut into lines for
// the filler.
struct CPreparedTest {
  std::shared_ptr<CWideGapFillTest> m_pTest;
  QString m_text;
  std::vector<qsizetype> m_arrLineStarts;  // each line's start, then the text's end
  std::int64_t Lines() const { return static_cast<std::int64_t>(m_arrLineStarts.size()) - 1; }
  CListPiece Piece(std::int64_t first, std::int64_t last) const;
};
// key: the search string as matched (the search's prepared key).
std::shared_ptr<CPreparedTest> PrepareTest(const CAssembledList& list, const CCodePage& cp,
                                           const CSearchRequest& request, const std::string& key);
std::shared_ptr<CPreparedTest> PrepareTest(const CWideAssembledList& list, const CSearchRequest& request,
                                           const std::u16string& key);

// How the blank and a revealed keyword look.
QTextCharFormat GapCharFormat(const CGapFormat& format);

// The test of a list window, owned by its document, so every view of it answers the
// same test.
class CGapTestState : public QObject {
  Q_OBJECT
 public:
  CGapTestState(CTessaryDoc& doc, std::shared_ptr<CWideGapFillTest> test);
  static CGapTestState* Of(const CTessaryDoc* doc);
  CWideGapFillTest& Test() { return *m_pTest; }
  // The list had its numbers when the test was made: numbers added later move the blanks.
  bool Numbered() const { return m_bNumbered; }

 private:
  std::shared_ptr<CWideGapFillTest> m_pTest;
  bool m_bNumbered = false;
};

// Test > Answer is offered: the window is a test with a keyword still hidden and
// nothing runs on it.
bool TestAwaitsAnswer(const CTessaryView* view);

// Applies fn to some lines of a document (ascending), a slice of about 20 ms at a time
// between events. Undo is off meanwhile: the user never undoes part of it.
class CLineSlices : public QObject {
  Q_OBJECT
 public:
  using LineFn = std::function<void(std::size_t line, const QTextBlock& block, QTextCursor& cursor)>;
  CLineSlices(CTessaryDoc& doc, std::vector<std::size_t> lines, LineFn fn, QObject* parent = nullptr);
  ~CLineSlices() override;  // lets the document go
  void Start();
  void Stop() { m_bStop = true; }

 signals:
  void Progress(std::int64_t done, std::int64_t total);
  void Done(bool bComplete);

 private:
  void Slice();
  void Release();

  QPointer<CTessaryDoc> m_pDoc;
  std::vector<std::size_t> m_arrLines;
  LineFn m_fn;
  std::size_t m_nNext = 0;
  std::int64_t m_nBatch = 500;
  bool m_bStop = false;
  bool m_bReleased = true;
};

// The preparation of a test window just filled by its search: the test goes to the
// document and the blanks get their format behind "Formatting Concordance Strings",
// with "Deleting concordance strings" in the status bar. Done when it has ended.
class CTestPreparation : public QObject {
  Q_OBJECT
 public:
  CTestPreparation(CTessaryApp& app, CTessaryDoc& doc, std::shared_ptr<CWideGapFillTest> test,
                   const std::function<void(QWidget*)>& progressShown, QObject* parent = nullptr);
  ~CTestPreparation() override;
  void Start();

 signals:
  void Done();

 private:
  void Finish();

  CTessaryApp& m_app;
  QPointer<CTessaryDoc> m_pDoc;
  std::shared_ptr<CWideGapFillTest> m_pTest;
  std::function<void(QWidget*)> m_fnProgressShown;
  std::unique_ptr<CProgressDialog> m_pProgress;
  CLineSlices* m_pSlices = nullptr;
  bool m_bDone = false;
};

// Test > Answer on the active window: the answer dialog and its verdict. Returns the
// reveal to run when the answer is right or the learner insists on cheating.
std::unique_ptr<CListOperation> AnswerTest(CTessaryApp& app, CConcordanceController& controller);

// Puts back every keyword still hidden, each line its own, in the revealed format.
// Stopped half way, the lines done stay revealed and the test awaits its answer still.
class CTestRevealRun : public CListOperation {
  Q_OBJECT
 public:
  CTestRevealRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& doc);
  ~CTestRevealRun() override;

  void Start() override;
  void Stop() override;
  void Abandon() override;

 private:
  void Finish();

  CTessaryApp& m_app;
  CConcordanceController& m_controller;
  QPointer<CTessaryDoc> m_pDoc;
  std::unique_ptr<CProgressDialog> m_pProgress;
  CLineSlices* m_pSlices = nullptr;
  bool m_bEnded = false;
};

}  // namespace tessary
