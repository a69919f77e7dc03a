#pragma once
// "Add Line Numbering" and "Concordance String" on a list window that is already
// shown: numbers put in front of every line a slice at a time between events, and
// the key-word formatting of an unformatted list, both behind the "Formatting
// Concordance Strings" dialog whose "Spacebar = Cancel" stops them.
#include <QPointer>
#include <QString>
#include <memory>

#include "app/list_operation.h"

namespace tessary {

class CConcordanceController;
class CListFiller;
class CProgressDialog;
class CTessaryApp;
class CTessaryDoc;
struct CConcordanceList;

// The refusal of "Add Line Numbering" for a window's list (null: not a list), tested
// in the order they are shown; empty when the list can be numbered.
QString NumberingRefusal(const CConcordanceList* list);

class CNumberingRun : public CListOperation {
  Q_OBJECT
 public:
  CNumberingRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& doc);
  ~CNumberingRun() override;

  void Start() override;
  void Stop() override { m_bStop = true; }
  void Abandon() override;

 private:
  void Slice();
  void Finish();

  CTessaryApp& m_app;
  CConcordanceController& m_controller;
  QPointer<CTessaryDoc> m_pDoc;
  std::unique_ptr<CProgressDialog> m_pProgress;
  int m_nLines = 0;     // lines to number: the paragraphs less an empty last one
  int m_nNext = 0;
  int m_nBatch = 200;   // lines per slice, adapted to the slice time
  bool m_bStop = false;
  bool m_bEnded = false;
};

// Key-word formatting of a list window as the search would have applied it.
class CKeywordFormatRun : public CListOperation {
  Q_OBJECT
 public:
  CKeywordFormatRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& doc);
  ~CKeywordFormatRun() override;

  void Start() override;
  void Stop() override;
  void Abandon() override;

 private:
  void Finish(bool bFormatted);

  CTessaryApp& m_app;
  CConcordanceController& m_controller;
  QPointer<CTessaryDoc> m_pDoc;
  std::unique_ptr<CProgressDialog> m_pProgress;
  CListFiller* m_pFiller = nullptr;
  bool m_bEnded = false;
};

}  // namespace tessary
