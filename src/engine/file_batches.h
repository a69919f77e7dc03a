#pragma once
// Files read side by side: a list of paths in order, with the short regular files
// gathered in batches for the worker pool, so that no more than a batch is held.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessary {

// Goes through paths in order until stopped() says so. Regular files of at most
// shortBytes are gathered, up to 64 files or batchBytes, and a batch of two or more goes
// to batch(paths, bytes), bytes being their sizes' sum (what its progress counts); any
// other file, and a batch of one, goes to single(path). With bSideBySide false every
// file goes to single.
void ForEachFileBatch(const std::vector<std::string>& paths, bool bSideBySide, std::uint64_t shortBytes,
                      std::uint64_t batchBytes, const std::function<bool()>& stopped,
                      const std::function<void(const std::string&)>& single,
                      const std::function<void(const std::vector<std::string>&, std::uint64_t)>& batch);

}  // namespace tessary
