// The SQLite writer: whatever records are written, reading the database back gives
// them again, in order, and appending adds them after those already there.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "export/concordance_db.h"
#include "fuzz_support.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<CConcordanceRecord> records;
  const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 8);
  for (std::size_t i = 0; i < count && in.remaining_bytes() > 0; ++i) {
    CConcordanceRecord r;
    r.m_strKeyword = in.ConsumeRandomLengthString(40);
    r.m_strConcordance = in.ConsumeRandomLengthString(200);
    if (in.ConsumeBool()) r.m_strFile = in.ConsumeRandomLengthString(300);
    if (in.ConsumeBool()) r.m_nPosition = in.ConsumeIntegral<std::int64_t>();
    records.push_back(std::move(r));
  }
  static const std::string dir = [] {
    char pattern[] = "/tmp/tessary-fuzz-db-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    return std::string(pattern);
  }();
  const std::string path = dir + "/list.sqlite";
  ::unlink(path.c_str());
  auto created = CreateConcordanceDatabase(path, records);
  FUZZ_CHECK(created);
  FUZZ_CHECK(created->m_nRecords == static_cast<std::int64_t>(records.size()));
  auto read = ReadConcordanceDatabase(path);
  FUZZ_CHECK(read);
  FUZZ_CHECK(*read == records);
  if (!records.empty()) {
    auto appended = AppendToConcordanceDatabase(path, {records.back()});
    FUZZ_CHECK(appended);
    auto again = ReadConcordanceDatabase(path);
    FUZZ_CHECK(again && again->size() == records.size() + 1 && again->back() == records.back());
  }
  ::unlink(path.c_str());
  return 0;
}
