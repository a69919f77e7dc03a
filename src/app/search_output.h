#pragma once
// What a search's worker hands back to its run: the list record, the assembled text
// the window is filled from (one of the two), and what to say about the run.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/assembly.h"
#include "engine/codepage.h"
#include "engine/concordance_list.h"

namespace tessary {

class CBackgroundTask;
class CProgressDialog;
struct CPreparedTest;

struct CSearchOutput {
  std::unique_ptr<CConcordanceList> m_pList;
  CAssembledList m_bytes;
  CWideAssembledList m_wide;
  std::shared_ptr<const CCodePage> m_pCp;
  std::vector<CFormatRange> m_arrRanges;
  bool m_bFormat = false;
  std::shared_ptr<CPreparedTest> m_pTest;  // a test: the window is filled from it, blanked
  std::vector<std::string> m_arrSkipped;
  std::string m_strError;    // nothing to show: the message alone
  std::string m_strWarning;  // said before the lines found are shown
  std::int64_t Lines() const { return m_pList && m_pList->Unicode() ? m_wide.Lines() : m_bytes.Lines(); }
};

// The progress dialog's field of a big-file search: "Reading from position %lld to %lld".
inline constexpr const char* kBigFileChunkField = "Position:";

// The worker's side of a big-file search (big_file_run.cpp): reads request's one file
// chunk by chunk (chunkSize 0: the size rule), posting progress to the dialog, and
// assembles the list into out.
void RunBigFileWork(const CSearchRequest& request, std::int64_t chunkSize, CBackgroundTask& task,
                    CProgressDialog* progress, CSearchOutput& out);

}  // namespace tessary
