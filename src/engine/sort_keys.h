#pragma once
// Sort keys of concordance lines: the right or left collocate of the keyword at a
// distance of one to three words, and the characters that follow it (at most 20).
//
// Every builder takes the line body without any number prefix (a file reference may
// follow it) and the keyword's column in that body, so m_nKeyOffset is always a
// column of the body. Scans stop at the line's ends; a line without a collocate gets
// an empty key (sorting first), m_nKeyLength 0 and m_nKeyOffset where the scan ended.
// Distances outside 1..3 are clamped.
#include <cstdint>
#include <string_view>

#include "engine/codepage.h"
#include "engine/concordance_entry.h"
#include "engine/search_settings.h"

namespace tessary {


// Byte text. Letters are the code page's alphabetic bytes; the right key's probes
// also take the letter-like bytes (A-Z and every byte from 0x61 up).
void BuildRightKey(CConcordanceEntry& entry, std::string_view line, std::int64_t nKeyColumn,
                   std::int64_t nKeyLength, int nDistance, int nMatchMode, const CCodePage& cp);
void BuildLeftKey(CConcordanceEntry& entry, std::string_view line, std::int64_t nKeyColumn,
                  int nDistance, const CCodePage& cp);

// Double-byte text (Big5, GB, Japanese): the first two key characters after the
// keyword, or the two before it (within kMaxSortKey bytes). Chinese keys are the Han
// characters of the set; Japanese ones every Shift-JIS double-byte character and each
// half-width katakana byte. Sets m_strSortKey only.
void BuildDoubleByteRightKey(CConcordanceEntry& entry, std::string_view line,
                             std::int64_t nKeyColumn, std::int64_t nKeyLength, DoubleByteKeys keys);
void BuildDoubleByteLeftKey(CConcordanceEntry& entry, std::string_view line,
                            std::int64_t nKeyColumn, DoubleByteKeys keys);

// 16-bit text: letters by the wide-character classification (ICU).
void BuildWideRightKey(CWideConcordanceEntry& entry, std::u16string_view line,
                       std::int64_t nKeyColumn, std::int64_t nKeyLength, int nDistance,
                       int nMatchMode);
void BuildWideLeftKey(CWideConcordanceEntry& entry, std::u16string_view line,
                      std::int64_t nKeyColumn, int nDistance);

}  // namespace tessary
