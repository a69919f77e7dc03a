#include "engine/file_batches.h"

#include <sys/stat.h>

namespace tessary {

void ForEachFileBatch(const std::vector<std::string>& paths, bool bSideBySide, std::uint64_t shortBytes,
                      std::uint64_t batchBytes, const std::function<bool()>& stopped,
                      const std::function<void(const std::string&)>& single,
                      const std::function<void(const std::vector<std::string>&, std::uint64_t)>& batch) {
  constexpr std::size_t kBatchFiles = 64;
  std::vector<std::string> gathered;
  std::uint64_t bytes = 0;
  auto flush = [&] {
    if (gathered.size() == 1) single(gathered.front());
    else if (!gathered.empty()) batch(gathered, bytes);
    gathered.clear();
    bytes = 0;
  };
  for (const std::string& path : paths) {
    if (stopped()) return;
    struct stat st {};
    const bool regular = bSideBySide && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    const auto size = regular ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (regular && size <= shortBytes) {
      gathered.push_back(path);
      bytes += size;
      if (gathered.size() == kBatchFiles || bytes >= batchBytes) flush();
      continue;
    }
    flush();
    if (stopped()) return;
    single(path);
  }
  if (!stopped()) flush();
}

}  // namespace tessary
