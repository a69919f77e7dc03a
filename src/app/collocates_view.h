#pragma once
// "Collocates": how often each collocate of the keyword occurs in a list sorted by
// collocates. The window's lines are keyed again on a worker thread by the side and
// distance the list was sorted with, counted, and shown in the "Collocates View"
// dialog, which re-orders the rows and saves them as a text file.
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/list_operation.h"
#include "engine/collocates.h"
#include "engine/concordance_list.h"
#include "ui/prompt.h"

class QTreeWidget;
class QLabel;

namespace tessary {

class CBackgroundTask;
class CConcordanceController;
class CTessaryApp;
class CTessaryDoc;

// "Collocates View": one row per collocate with its count. The buttons act on the
// model, so a script can press them as a user would.
class CCollocatesDialog : public CDialogModel {
 public:
  // prompt: asks for the file to save; open: opens the saved file in the editor.
  CCollocatesDialog(IPrompt& prompt, std::function<void(const QString& path)> open);
  // A byte list in its code page, or a 16-bit list.
  void SetList(CCollocateList list, std::shared_ptr<const CCodePage> cp);
  void SetList(CWideCollocateList list);

  QString Direction() const;  // "Right collocates for " or "Left collocates for "
  QString Keyword() const;
  int RowCount() const;
  QString Word(int row) const;
  QString Count(int row) const;

  void FrequencySort();
  void StringSort();
  // "Save": asks for the file, writes the rows in their order and opens the file;
  // "File error" when it cannot be written. False when nothing was written.
  bool Save();
  // The file's bytes: the byte list in its code page, a 16-bit list as UTF-8 with a
  // byte-order mark.
  QByteArray FileBytes() const;

  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog&) override {}

 private:
  void FillWidget();

  IPrompt& m_prompt;
  std::function<void(const QString&)> m_fnOpen;
  bool m_bWide = false;
  CCollocateList m_list;
  std::shared_ptr<const CCodePage> m_pCp;
  CWideCollocateList m_wideList;
  QPointer<QTreeWidget> m_pRows;
};

// The command: keying and counting on a worker thread, then the dialog.
class CCollocatesRun : public CListOperation {
  Q_OBJECT
 public:
  CCollocatesRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& source);
  ~CCollocatesRun() override;

  void Start() override;
  void Stop() override;
  void Abandon() override;

 private:
  void Work();
  void OnWorkDone();

  CTessaryApp& m_app;
  CConcordanceController& m_controller;
  const CConcordanceList m_source;
  QString m_text;  // the window's text, taken when the command starts
  CTessaryDoc* m_pSource;  // until then
  std::unique_ptr<CBackgroundTask> m_pTask;
  std::optional<CCollocateList> m_list;
  std::optional<CWideCollocateList> m_wideList;
  std::shared_ptr<const CCodePage> m_pCp;
  std::string m_strError;
  bool m_bAbandoned = false;
};

}  // namespace tessary
